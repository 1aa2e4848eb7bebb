#include "play/model/Battle.h"

#include "model/core/Text.h"

#include <algorithm>

namespace quillmark::play {

namespace {

const char* const kCommands[] = {"Atacar", "Magia", "Item", "Defender", "Fugir"};

std::string points(int hp, int max) { return std::to_string(hp) + "/" + std::to_string(max); }

}  // namespace

Battle::Battle(GameState& state, const std::vector<const MonsterDef*>& monsters, bool fleeing)
    : state_(state), fleeing_(fleeing) {
    Fighter hero;
    hero.name = state.heroName();  // "MudarNome:" may have changed it
    fighters_.push_back(hero);
    syncHero();
    for (std::size_t i = 0; i < monsters.size() && i < 3; ++i) {
        const MonsterDef* m = monsters[i];
        Fighter f;
        f.def = m;
        f.name = m->name;
        // the same monster twice: "Slime 1", "Slime 2"
        const auto same = std::count(
            monsters.begin(), monsters.begin() + static_cast<long>(std::min<std::size_t>(monsters.size(), 3)), m);
        if (same > 1) {
            const auto before = std::count(monsters.begin(), monsters.begin() + static_cast<long>(i), m);
            f.name += " " + std::to_string(before + 1);
        }
        f.hp = f.maxHp = m->hp;
        f.mp = f.maxMp = m->mp;
        f.strength = m->strength;
        f.defence = m->defence;
        f.agility = m->agility;
        fighters_.push_back(f);
    }
}

void Battle::syncHero() {
    Fighter& h = fighters_[0];
    h.hp = state_.hp();
    h.maxHp = state_.maxHp();
    h.mp = state_.mp();
    h.maxMp = state_.maxMp();
    h.strength = state_.strength();
    h.defence = state_.defence();
    h.agility = state_.agility();
}

void Battle::trace(const std::string& line) {
    message_ = line;
    if (onTrace) onTrace(line);
}

void Battle::say(const std::string& line) { message_ = line; }

std::vector<int> Battle::livingMonsters() const {
    std::vector<int> alive;
    for (std::size_t i = 1; i < fighters_.size(); ++i)
        if (fighters_[i].alive()) alive.push_back(static_cast<int>(i));
    return alive;
}

std::vector<const ItemDef*> Battle::battleItems() const {
    std::vector<const ItemDef*> items;
    for (const auto& [name, count] : state_.inventory()) {
        const ItemDef* def = state_.db().item(name);
        if (def && def->inBattle && count > 0) items.push_back(def);
    }
    return items;
}

std::vector<std::pair<std::string, bool>> Battle::menuEntries() const {
    std::vector<std::pair<std::string, bool>> entries;
    switch (menu_) {
    case Menu::Command:
        for (const char* c : kCommands) entries.emplace_back(c, true);
        entries[1].second = !state_.spells().empty();
        entries[2].second = !battleItems().empty();
        break;
    case Menu::Target:
        for (int i : livingMonsters()) {
            const Fighter& f = fighters_[static_cast<std::size_t>(i)];
            entries.emplace_back(cp1252ToUtf8(f.name) + "  HP " + points(f.hp, f.maxHp), true);
        }
        break;
    case Menu::Spell:
        for (int code : state_.spells()) {
            const SpellDef* s = state_.db().spell(code);
            if (!s) continue;
            entries.emplace_back(cp1252ToUtf8(s->name) + "  " + std::to_string(s->cost) + " MP",
                                 s->cost <= fighters_[0].mp);
        }
        break;
    case Menu::Item:
        for (const ItemDef* item : battleItems())
            entries.emplace_back(cp1252ToUtf8(item->name) + "  x" + std::to_string(state_.count(item->name)), true);
        break;
    }
    return entries;
}

void Battle::press(BattleKey key, int choice) {
    if (!waiting()) return;
    const int count = static_cast<int>(menuEntries().size());
    switch (key) {
    case BattleKey::Up:
        if (count > 0) cursor_ = (cursor_ + count - 1) % count;
        return;
    case BattleKey::Down:
        if (count > 0) cursor_ = (cursor_ + 1) % count;
        return;
    case BattleKey::Back:
        menu_ = Menu::Command;
        cursor_ = 0;
        return;
    case BattleKey::Action:
        choose(cursor_);
        return;
    case BattleKey::Choice:
        if (choice >= 1 && choice <= count) choose(choice - 1);
        return;
    case BattleKey::Attack:
    case BattleKey::Magic:
    case BattleKey::Item:
    case BattleKey::Defend:
    case BattleKey::Flee:
        menu_ = Menu::Command;
        cursor_ = static_cast<int>(key) - static_cast<int>(BattleKey::Attack);
        choose(cursor_);
        return;
    }
}

void Battle::choose(int index) {
    Plan plan;
    plan.actor = 0;
    switch (menu_) {
    case Menu::Command:
        switch (index) {
        case 0:
            pending_ = plan;
            pending_.kind = Plan::Kind::Attack;
            break;
        case 1:
            if (state_.spells().empty()) {
                say("Nenhuma magia");
                return;
            }
            menu_ = Menu::Spell;
            cursor_ = 0;
            return;
        case 2:
            if (battleItems().empty()) {
                say("Nenhum item para a batalha");
                return;
            }
            menu_ = Menu::Item;
            cursor_ = 0;
            {
                std::string line = "itens:";
                for (const ItemDef* item : battleItems())
                    line += " " + cp1252ToUtf8(item->name) + " x" + std::to_string(state_.count(item->name));
                trace(line);
            }
            return;
        case 3:
            plan.kind = Plan::Kind::Defend;
            commit(plan);
            return;
        case 4:
            if (!fleeing_) {
                trace("fuga impossivel nesta batalha");
                return;
            }
            plan.kind = Plan::Kind::Flee;
            commit(plan);
            return;
        default:
            return;
        }
        break;
    case Menu::Spell: {
        std::vector<const SpellDef*> spells;
        for (int code : state_.spells())
            if (const SpellDef* s = state_.db().spell(code)) spells.push_back(s);
        if (index < 0 || index >= static_cast<int>(spells.size())) return;
        const SpellDef* s = spells[static_cast<std::size_t>(index)];
        if (s->cost > fighters_[0].mp) {
            trace("magia " + cp1252ToUtf8(s->name) + " recusada: MP " + std::to_string(fighters_[0].mp) + ", custo " +
                  std::to_string(s->cost));
            return;
        }
        plan.kind = Plan::Kind::Spell;
        plan.spell = s;
        if (s->kind != SpellKind::Damage) {
            commit(plan);
            return;
        }
        pending_ = plan;
        break;
    }
    case Menu::Item: {
        const auto items = battleItems();
        if (index < 0 || index >= static_cast<int>(items.size())) return;
        plan.kind = Plan::Kind::Item;
        plan.item = items[static_cast<std::size_t>(index)];
        commit(plan);
        return;
    }
    case Menu::Target: {
        const auto alive = livingMonsters();
        if (index < 0 || index >= static_cast<int>(alive.size())) return;
        pending_.target = alive[static_cast<std::size_t>(index)];
        commit(pending_);
        return;
    }
    }
    // An attack or a damage spell needs a target; with one monster left it is that one.
    const auto alive = livingMonsters();
    if (alive.size() == 1) {
        pending_.target = alive.front();
        commit(pending_);
        return;
    }
    menu_ = Menu::Target;
    cursor_ = 0;
}

void Battle::commit(Plan plan) {
    menu_ = Menu::Command;
    cursor_ = 0;
    startRound(plan);
}

void Battle::startRound(const Plan& hero) {
    fighters_[0].defending = false;  // a defence lasts until the hero's next turn
    std::vector<Plan> order{hero};
    for (std::size_t i = 1; i < fighters_.size(); ++i) {
        Plan p;
        p.actor = static_cast<int>(i);
        order.push_back(p);
    }
    std::stable_sort(order.begin(), order.end(), [this](const Plan& a, const Plan& b) {
        return fighters_[static_cast<std::size_t>(a.actor)].agility >
               fighters_[static_cast<std::size_t>(b.actor)].agility;
    });
    queue_ = order;
    std::reverse(queue_.begin(), queue_.end());  // taken from the back
    nextAction();
}

void Battle::nextAction() {
    for (Fighter& f : fighters_)
        if (f.alive() && f.pose != Pose::Defending) f.pose = Pose::Standing;
    spell_.reset();
    while (!queue_.empty()) {
        Plan plan = queue_.back();
        queue_.pop_back();
        if (!fighters_[static_cast<std::size_t>(plan.actor)].alive()) continue;
        if (plan.actor != 0) plan = monsterPlan(plan.actor);
        perform(plan);
        acting_ = true;
        actionEnds_ = frame_ + kActionFrames + (spell_ ? kSpellFrames : 0);
        return;
    }
    acting_ = false;
}

Battle::Plan Battle::monsterPlan(int index) {
    const Fighter& m = fighters_[static_cast<std::size_t>(index)];
    Plan plan;
    plan.actor = index;
    plan.target = 0;
    std::vector<const SpellDef*> castable;
    for (int code : m.def->spells) {
        const SpellDef* s = state_.db().spell(code);
        if (!s || s->cost > m.mp) continue;
        if (s->kind == SpellKind::Damage || (s->kind == SpellKind::RestoreHp && m.hp * 2 < m.maxHp) ||
            (s->kind == SpellKind::RestoreMp && m.mp * 2 < m.maxMp))
            castable.push_back(s);
    }
    // a monster that can cast casts one time in three
    if (!castable.empty() && state_.random().below(3) == 0) {
        plan.kind = Plan::Kind::Spell;
        plan.spell = castable[static_cast<std::size_t>(state_.random().below(static_cast<int>(castable.size())))];
        if (plan.spell->kind != SpellKind::Damage) plan.target = index;
    }
    return plan;
}

void Battle::hurt(int target, int damage, const std::string& what) {
    Fighter& t = fighters_[static_cast<std::size_t>(target)];
    if (target == 0) {
        state_.setHp(state_.hp() - damage);
        syncHero();
    } else {
        t.hp = std::max(0, t.hp - damage);
    }
    t.pose = t.alive() ? Pose::Hit : Pose::Dying;
    t.poseSince = frame_;
    trace(what + ": dano " + std::to_string(damage) + ", HP " + points(t.hp, t.maxHp));
    if (!t.alive()) trace(cp1252ToUtf8(t.name) + " derrotado");
}

void Battle::perform(const Plan& plan) {
    Fighter& actor = fighters_[static_cast<std::size_t>(plan.actor)];
    const std::string name = cp1252ToUtf8(actor.name);
    if (plan.actor != 0) actor.defending = false;
    int target = plan.target;
    // a target that fell before its turn came: the next one alive
    if (target != 0 && !fighters_[static_cast<std::size_t>(target)].alive()) {
        const auto alive = livingMonsters();
        if (alive.empty()) return;
        target = alive.front();
    }
    actor.poseSince = frame_;
    switch (plan.kind) {
    case Plan::Kind::Attack: {
        Fighter& t = fighters_[static_cast<std::size_t>(target)];
        int damage = attackDamage(actor.strength, t.defence, state_.random().below(spreadRange(actor.strength) + 1));
        if (t.defending) damage = halved(damage);
        actor.pose = plan.actor == 0 ? Pose::Striking : Pose::Striking;
        if (onSound) onSound("Ataque.wav");
        hurt(target, damage, name + " ataca " + cp1252ToUtf8(t.name) + (t.defending ? " (defendendo)" : ""));
        break;
    }
    case Plan::Kind::Spell: {
        const SpellDef& s = *plan.spell;
        if (s.cost > actor.mp) {  // MP went on something else since the choice
            trace("magia " + cp1252ToUtf8(s.name) + " recusada: MP " + std::to_string(actor.mp) + ", custo " +
                  std::to_string(s.cost));
            return;
        }
        if (plan.actor == 0) {
            state_.setMp(state_.mp() - s.cost);
            syncHero();
        } else {
            actor.mp -= s.cost;
        }
        actor.pose = Pose::Casting;
        spell_ = SpellShow{&s, target, frame_};
        const std::string head = name + " usa " + cp1252ToUtf8(s.name);
        if (s.kind == SpellKind::Damage) {
            Fighter& t = fighters_[static_cast<std::size_t>(target)];
            const int damage = t.defending ? halved(s.amount) : s.amount;
            hurt(target, damage, head + " em " + cp1252ToUtf8(t.name) + (t.defending ? " (defendendo)" : ""));
        } else {
            Fighter& t = fighters_[static_cast<std::size_t>(target)];
            const bool hp = s.kind == SpellKind::RestoreHp;
            const int before = hp ? t.hp : t.mp;
            if (target == 0) {
                if (hp)
                    state_.setHp(state_.hp() + s.amount);
                else
                    state_.setMp(state_.mp() + s.amount);
                syncHero();
            } else if (hp) {
                t.hp = std::min(t.maxHp, t.hp + s.amount);
            } else {
                t.mp = std::min(t.maxMp, t.mp + s.amount);
            }
            const int now = hp ? t.hp : t.mp;
            trace(head + ": " + (hp ? "HP +" : "MP +") + std::to_string(now - before) + ", " + (hp ? "HP " : "MP ") +
                  points(now, hp ? t.maxHp : t.maxMp));
        }
        break;
    }
    case Plan::Kind::Item: {
        std::vector<std::string> levelUps;
        const std::string what = state_.useItem(*plan.item, levelUps);
        syncHero();
        trace(name + " usa o item " + cp1252ToUtf8(plan.item->name) + ": " + what);
        for (const std::string& l : levelUps) trace(l);
        if (onItemEvent) onItemEvent(*plan.item);
        break;
    }
    case Plan::Kind::Defend:
        actor.defending = true;
        actor.pose = Pose::Defending;
        trace(name + " defende");
        break;
    case Plan::Kind::Flee: {
        int fastest = 0;
        for (int i : livingMonsters()) fastest = std::max(fastest, fighters_[static_cast<std::size_t>(i)].agility);
        const int chance = fleeChance(actor.agility, fastest);
        const int roll = state_.random().below(100);
        const bool away = roll < chance;
        trace(std::string("fuga ") + (away ? "conseguida" : "falhou") + ": chance " + std::to_string(chance) +
              "%, sorteio " + std::to_string(roll));
        if (away) {
            queue_.clear();
            fled_ = true;
        }
        break;
    }
    }
}

void Battle::end(Outcome outcome) {
    outcome_ = outcome;
    endedAt_ = frame_;
    acting_ = false;
    queue_.clear();
    switch (outcome) {
    case Outcome::Won: {
        long long experience = 0, money = 0;
        for (std::size_t i = 1; i < fighters_.size(); ++i) {
            experience += fighters_[i].def->experience;
            money += fighters_[i].def->money;
        }
        state_.addMoney(money);
        trace("vitoria: experiencia " + std::to_string(experience) + ", dinheiro " + std::to_string(money));
        for (const std::string& line : state_.gainExperience(experience)) trace(line);
        syncHero();
        if (onSound) onSound("BattleWin.mp3");
        break;
    }
    case Outcome::Lost:
        fighters_[0].pose = Pose::Dying;
        fighters_[0].poseSince = frame_;
        trace("derrota");
        if (onSound) onSound("GameOver.mp3");
        break;
    case Outcome::Fled:
        trace("fim da batalha: fuga");
        break;
    case Outcome::None:
        break;
    }
}

void Battle::tick() {
    ++frame_;
    for (Fighter& f : fighters_)
        if (f.pose == Pose::Dying && frame_ - f.poseSince >= kActionFrames && &f != &fighters_[0]) f.pose = Pose::Dead;
    if (!acting_ || frame_ < actionEnds_) return;
    if (!fighters_[0].alive()) {
        end(Outcome::Lost);
    } else if (livingMonsters().empty()) {
        end(Outcome::Won);
    } else if (fled_) {
        end(Outcome::Fled);
    } else {
        nextAction();
    }
}

}  // namespace quillmark::play

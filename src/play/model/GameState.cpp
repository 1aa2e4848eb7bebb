#include "play/model/GameState.h"

#include "model/core/Text.h"

#include <algorithm>

namespace quillmark::play {

std::uint32_t Random::next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

int Random::below(int n) { return n <= 0 ? 0 : static_cast<int>(next() % static_cast<std::uint32_t>(n)); }

int attributeAt(const Growth& g, int level, int levelStart, int levelMax) {
    if (levelMax <= levelStart) return g.start;
    const int l = std::clamp(level, levelStart, levelMax);
    return g.start +
           static_cast<int>(static_cast<long long>(g.max - g.start) * (l - levelStart) / (levelMax - levelStart));
}

long long experienceFor(int level, int levelStart) {
    const long long n = std::max(0, level - levelStart);
    return 10 * n * (n + 1);
}

int attackDamage(int strength, int defence, int spread) { return std::max(1, strength - defence / 2 + spread); }

int halved(int damage) { return std::max(1, damage / 2); }

int fleeChance(int heroAgility, int fastestMonster) {
    return std::clamp(50 + 2 * (heroAgility - fastestMonster), 10, 95);
}

GameState::GameState(const GameDatabase& db, std::uint32_t seed) : db_(db), random_(seed) {
    level_ = db.hero.levelStart;
    experience_ = 0;
    heroName_ = db.hero.name;
    spells_ = db.hero.spells;
    for (const std::string& item : db.hero.items) addItem(item);
    hp_ = maxHp();
    mp_ = maxMp();
}

namespace {
int held(long long v, int high) { return static_cast<int>(std::clamp<long long>(v, 0, high)); }
}  // namespace

int GameState::maxHp() const {
    const HeroDef& h = db_.hero;
    return std::max(1, held(attributeAt(h.hp, level_, h.levelStart, h.levelMax) + bonusHp_, kMaxPoints));
}
int GameState::maxMp() const {
    const HeroDef& h = db_.hero;
    return held(attributeAt(h.mp, level_, h.levelStart, h.levelMax) + bonusMp_, kMaxPoints);
}
int GameState::strength() const {
    const HeroDef& h = db_.hero;
    return held(attributeAt(h.strength, level_, h.levelStart, h.levelMax) + bonusStrength_, kMaxAttribute);
}
int GameState::defence() const {
    const HeroDef& h = db_.hero;
    return held(attributeAt(h.defence, level_, h.levelStart, h.levelMax) + bonusDefence_, kMaxAttribute);
}
int GameState::agility() const {
    const HeroDef& h = db_.hero;
    return held(attributeAt(h.agility, level_, h.levelStart, h.levelMax) + bonusAgility_, kMaxAttribute);
}

void GameState::setHp(int hp) { hp_ = std::clamp(hp, 0, maxHp()); }
void GameState::setMp(int mp) { mp_ = std::clamp(mp, 0, maxMp()); }

std::string GameState::levelLine() const {
    return "nivel " + std::to_string(level_) + ": HP " + std::to_string(maxHp()) + ", MP " + std::to_string(maxMp()) +
           ", forca " + std::to_string(strength()) + ", defesa " + std::to_string(defence()) + ", agilidade " +
           std::to_string(agility());
}

std::vector<std::string> GameState::gainExperience(long long amount) {
    std::vector<std::string> lines;
    experience_ = std::clamp<long long>(experience_ + amount, 0, 1'000'000'000'000LL);
    while (level_ < db_.hero.levelMax && experience_ >= experienceFor(level_ + 1, db_.hero.levelStart)) {
        const int oldMaxHp = maxHp(), oldMaxMp = maxMp();
        ++level_;
        // what the new level adds to the maxima is added to the current values too
        hp_ = std::clamp(hp_ + maxHp() - oldMaxHp, 1, maxHp());
        mp_ = std::clamp(mp_ + maxMp() - oldMaxMp, 0, maxMp());
        lines.push_back(levelLine());
    }
    return lines;
}

std::string GameState::levelUp() {
    if (level_ >= db_.hero.levelMax) return {};
    const long long need = experienceFor(level_ + 1, db_.hero.levelStart);
    const auto lines = gainExperience(std::max<long long>(0, need - experience_));
    return lines.empty() ? std::string() : lines.front();
}

int GameState::count(std::string_view item) const {
    for (const auto& [name, n] : inventory_)
        if (equalsIgnoreCase(name, item)) return n;
    return 0;
}

void GameState::addItem(const std::string& item, int count) {
    for (auto it = inventory_.begin(); it != inventory_.end(); ++it)
        if (equalsIgnoreCase(it->first, item)) {
            it->second = std::min(it->second + count, 99);
            if (it->second <= 0) inventory_.erase(it);  // taken away: the item goes at zero
            return;
        }
    if (count > 0) inventory_.emplace_back(item, std::min(count, 99));
}

void GameState::setHeroName(std::string name) { heroName_ = std::move(name); }

void GameState::setLevel(int level) {
    const HeroDef& h = db_.hero;
    const int target = std::clamp(level, h.levelStart, std::max(h.levelStart, h.levelMax));
    const int oldMaxHp = maxHp(), oldMaxMp = maxMp();
    level_ = target;
    experience_ = experienceFor(level_, h.levelStart);
    hp_ = std::clamp(hp_ + maxHp() - oldMaxHp, 1, maxHp());
    mp_ = std::clamp(mp_ + maxMp() - oldMaxMp, 0, maxMp());
}

bool GameState::switchOn(int n) const { return switchExists(n) && switches_[static_cast<std::size_t>(n)]; }

void GameState::setSwitch(int n, bool on) {
    if (switchExists(n)) switches_[static_cast<std::size_t>(n)] = on;
}

bool GameState::eventErased(const std::string& map, int row, int column) const {
    return erased_.count({asciiLower(map), row, column}) > 0;
}

void GameState::eraseEvent(const std::string& map, int row, int column) {
    erased_.insert({asciiLower(map), row, column});
}

void GameState::addMoney(long long amount) { money_ = std::clamp<long long>(money_ + amount, 0, 999'999'999LL); }

std::string GameState::useItem(const ItemDef& item, std::vector<std::string>& levelUps) {
    const int a = item.amount;
    std::string what;
    auto bonus = [&](int& b, const char* name) {
        b = std::clamp(b + a, -kMaxPoints, kMaxPoints);
        what = std::string(name) + (a >= 0 ? " +" : " ") + std::to_string(a);
    };
    switch (item.action) {
    case ItemAction::Hp:
        setHp(std::max(1, hp_ + a));  // an item never ends the game
        what = "HP " + std::to_string(hp_) + "/" + std::to_string(maxHp());
        break;
    case ItemAction::Mp:
        setMp(mp_ + a);
        what = "MP " + std::to_string(mp_) + "/" + std::to_string(maxMp());
        break;
    case ItemAction::MaxHp:
        bonus(bonusHp_, "HP maximo");
        setHp(hp_);
        break;
    case ItemAction::MaxMp:
        bonus(bonusMp_, "MP maximo");
        setMp(mp_);
        break;
    case ItemAction::Strength:
        bonus(bonusStrength_, "forca");
        break;
    case ItemAction::Defence:
        bonus(bonusDefence_, "defesa");
        break;
    case ItemAction::Agility:
        bonus(bonusAgility_, "agilidade");
        break;
    case ItemAction::Experience: {
        auto lines = gainExperience(a);
        levelUps.insert(levelUps.end(), lines.begin(), lines.end());
        what = "experiencia " + std::to_string(experience_);
        break;
    }
    case ItemAction::Level:
        for (int i = 0; i < std::clamp(a, 0, kMaxLevel); ++i) {
            std::string line = levelUp();
            if (line.empty()) break;
            levelUps.push_back(std::move(line));
        }
        what = "nivel " + std::to_string(level_);
        break;
    case ItemAction::None:
        what = "nada";
        break;
    }
    for (auto it = inventory_.begin(); it != inventory_.end(); ++it)
        if (equalsIgnoreCase(it->first, item.name)) {
            if (--it->second <= 0) inventory_.erase(it);
            break;
        }
    return what;
}

HeroRecord GameState::record() const {
    HeroRecord r;
    r.level = level_;
    r.experience = experience_;
    r.hp = hp_;
    r.mp = mp_;
    r.bonusHp = bonusHp_;
    r.bonusMp = bonusMp_;
    r.bonusStrength = bonusStrength_;
    r.bonusDefence = bonusDefence_;
    r.bonusAgility = bonusAgility_;
    r.spells = spells_;
    r.inventory = inventory_;
    r.money = money_;
    r.stepsSinceBattle = stepsSinceBattle;
    r.random = random_.state();
    return r;
}

void GameState::restore(const HeroRecord& r) {
    level_ = std::clamp(r.level, db_.hero.levelStart, std::max(db_.hero.levelStart, db_.hero.levelMax));
    experience_ = std::clamp<long long>(r.experience, 0, 1'000'000'000'000LL);
    auto bonus = [](int b) { return std::clamp(b, -kMaxPoints, kMaxPoints); };
    bonusHp_ = bonus(r.bonusHp);
    bonusMp_ = bonus(r.bonusMp);
    bonusStrength_ = bonus(r.bonusStrength);
    bonusDefence_ = bonus(r.bonusDefence);
    bonusAgility_ = bonus(r.bonusAgility);
    spells_ = r.spells;
    inventory_.clear();
    for (const auto& [name, n] : r.inventory)
        if (!name.empty() && n > 0) addItem(name, n);
    money_ = 0;
    addMoney(r.money);
    stepsSinceBattle = std::max(0, r.stepsSinceBattle);
    random_.reseed(r.random);
    hp_ = std::clamp(r.hp, 1, maxHp());
    mp_ = std::clamp(r.mp, 0, maxMp());
}

}  // namespace quillmark::play

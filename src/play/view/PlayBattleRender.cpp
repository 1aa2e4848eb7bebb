// Drawing the battle and the game-over screen, on the
// game's pixels like the map (the window enlarges them).
#include "model/core/Text.h"
#include "play/view/PlayRender.h"

#include <QFont>
#include <QPainter>
#include <algorithm>

namespace quillmark::play {

namespace {

QFont gameFont(int px, bool bold = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(px);
    f.setBold(bold);
    return f;
}

// A framed panel like the message box.
void panel(QPainter& p, const QRect& r) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(235, 230, 200), 2));
    p.setBrush(QColor(16, 24, 64, 230));
    p.drawRoundedRect(QRectF(r).adjusted(1, 1, -1, -1), 6, 6);
    p.setBrush(Qt::NoBrush);
    p.setRenderHint(QPainter::Antialiasing, false);
}

// The frame of a list of frame files shown `since` frames ago, `per` frames
// each, looping or holding the last.
const std::string& frameOf(const std::vector<std::string>& files, int elapsed, int per, bool loop) {
    static const std::string none;
    std::vector<const std::string*> set;
    for (const std::string& f : files)
        if (!f.empty()) set.push_back(&f);
    if (set.empty()) return none;
    int i = std::max(0, elapsed) / per;
    i = loop ? i % static_cast<int>(set.size()) : std::min(i, static_cast<int>(set.size()) - 1);
    return *set[static_cast<std::size_t>(i)];
}

std::vector<std::string> list(const std::array<std::string, 6>& a) { return {a.begin(), a.end()}; }

}  // namespace

const Picture& Renderer::art(const Game& game, const std::string& relative, bool transparent) {
    const GameData& data = game.data();
    if (relative.empty() || relative.back() == '\\') return data.placeholder;
    return data.art.get(data.project.ProjectFolder, relative, data.placeholder, transparent);
}

void Renderer::drawFighter(QPainter& p, const Game& game, const Battle& battle, std::size_t index, const QPoint& feet) {
    const Fighter& f = battle.fighters()[index];
    if (f.pose == Pose::Dead) return;
    const int elapsed = battle.frame() - f.poseSince;
    std::string file;
    if (!f.def) {
        const HeroDef& h = game.data().db.hero;
        switch (f.pose) {
        case Pose::Standing:
            file = frameOf(h.standing, battle.frame(), 12, true);
            break;
        case Pose::Approaching:
        case Pose::Striking:
            file = elapsed < kActionFrames / 2 ? frameOf(h.approaching, elapsed, 3, false)
                                               : frameOf(h.striking, elapsed - kActionFrames / 2, 5, false);
            break;
        case Pose::Defending:
            file = frameOf(h.defending, elapsed, 8, false);
            break;
        case Pose::Casting:
            file = frameOf(h.casting, elapsed, 6, false);
            break;
        case Pose::Hit:
            file = frameOf(h.hit, elapsed, 8, false);
            break;
        case Pose::Dying:
        case Pose::Dead:
            file = frameOf(h.dying, elapsed, 12, false);
            break;
        }
        if (file.empty()) file = frameOf(h.standing, 0, 1, false);
        if (!file.empty()) file = "Imagens\\" + file;
    } else {
        const MonsterDef& m = *f.def;
        switch (f.pose) {
        case Pose::Striking:
        case Pose::Approaching:
            file = frameOf(list(m.attacking), elapsed, 6, false);
            break;
        case Pose::Casting:
            file = frameOf(list(m.casting), elapsed, 6, false);
            break;
        default:
            file = frameOf(list(m.standing), battle.frame(), 10, true);
            break;
        }
        if (file.empty()) file = frameOf(list(m.standing), 0, 1, false);
        if (!file.empty()) file = "Imagens\\" + m.name + "\\" + file;
    }
    const QImage& img = art(game, file, true).drawImage();
    if (img.isNull()) return;
    // twice the size of a map sprite, feet on the ground line
    QRect at(0, 0, img.width() * 2, img.height() * 2);
    at.moveBottom(feet.y());
    at.moveLeft(feet.x() - at.width() / 2);
    if (!f.def && (f.pose == Pose::Striking || f.pose == Pose::Approaching) && elapsed < kActionFrames)
        at.translate(-std::min(elapsed, kActionFrames / 2) * 4, 0);             // steps towards the enemy
    if (f.pose == Pose::Hit && elapsed < 16 && (elapsed / 4) % 2 == 0) return;  // blinks when hit
    p.save();
    if (f.pose == Pose::Dying) p.setOpacity(std::max(0.0, 1.0 - elapsed / double(kActionFrames)));
    p.drawImage(at, img);
    p.restore();
}

void Renderer::drawBattlePanel(QPainter& p, const Game& game, const Battle& battle) {
    const int w = back_.width(), h = back_.height();
    const QRect status(8, h - 132, w - 196, 124);
    panel(p, status);
    p.setFont(gameFont(13));
    int y = status.top() + 20;
    for (std::size_t i = 0; i < battle.fighters().size(); ++i) {
        const Fighter& f = battle.fighters()[i];
        p.setPen(f.alive() ? QColor(250, 248, 235) : QColor(150, 150, 160));
        const QString text =
            fromCp1252(f.name) + QStringLiteral("   HP %1/%2   MP %3/%4").arg(f.hp).arg(f.maxHp).arg(f.mp).arg(f.maxMp);
        p.drawText(status.left() + 12, y, text);
        y += 20;
    }
    p.setPen(QColor(255, 225, 140));
    p.drawText(QRect(status.left() + 12, status.bottom() - 26, status.width() - 24, 20), Qt::AlignLeft,
               QString::fromUtf8(battle.message()));
    (void)game;

    const QRect menu(w - 182, h - 132, 174, 124);
    panel(p, menu);
    const auto entries = battle.menuEntries();
    const int first = std::max(0, battle.cursor() - 4);
    y = menu.top() + 20;
    for (int i = first; i < static_cast<int>(entries.size()) && i < first + 5; ++i) {
        const bool current = i == battle.cursor() && battle.waiting();
        p.setPen(!entries[static_cast<std::size_t>(i)].second ? QColor(130, 130, 140)
                 : current                                    ? QColor(255, 225, 140)
                                                              : QColor(250, 248, 235));
        p.drawText(menu.left() + 12, y,
                   (current ? QStringLiteral("> ") : QStringLiteral("  ")) + QString::number(i + 1) +
                       QStringLiteral(" ") + QString::fromUtf8(entries[static_cast<std::size_t>(i)].first));
        y += 22;
    }
}

void Renderer::drawBattle(const Game& game) {
    const Battle& battle = *game.battle();
    const GameData& data = game.data();
    QPainter p(&back_);
    const int w = back_.width(), h = back_.height();
    const Picture& background = art(game, battleBackgroundFile(data.mapName), false);
    const QImage& bg = background.image();
    if (bg.isNull())
        p.fillRect(back_.rect(), QColor(40, 60, 40));
    else
        p.drawImage(QRect(0, 0, w, h - 140), bg);
    p.fillRect(QRect(0, h - 140, w, 140), QColor(8, 10, 24));

    // monsters on the left, one above the other; the hero on the right
    const std::size_t monsters = battle.fighters().size() - 1;
    std::vector<QPoint> feet(battle.fighters().size());
    // the ground of a background starts at about 3/5 of its height
    const int ground = (h - 140) * 3 / 5;
    feet[0] = QPoint(w - 130, ground + 70);
    for (std::size_t i = 1; i <= monsters; ++i) {
        const int row = static_cast<int>(i) - 1;
        feet[i] = QPoint(140 + (row % 2) * 110, ground + 30 + row * 45);
    }
    for (std::size_t i = 1; i <= monsters; ++i) drawFighter(p, game, battle, i, feet[i]);
    drawFighter(p, game, battle, 0, feet[0]);

    // a spell's five frames, over its target or at the centre of the screen
    if (const auto& show = battle.spellShow()) {
        const int elapsed = battle.frame() - show->since;
        if (elapsed < kSpellFrames) {
            const int k = std::clamp(elapsed / (kSpellFrames / 5), 0, 4);
            const std::string& file = show->spell->frames[static_cast<std::size_t>(k)];
            const QImage& img =
                art(game, file.empty() ? std::string() : "Imagens\\" + show->spell->name + "\\" + file, true)
                    .drawImage();
            QPoint centre = show->spell->atCentre || show->target < 0
                                ? QPoint(w / 2, (h - 140) / 2)
                                : feet[static_cast<std::size_t>(show->target)] - QPoint(0, 40);
            if (!img.isNull()) {
                QRect at(0, 0, img.width() * 2, img.height() * 2);
                at.moveCenter(centre);
                p.drawImage(at, img);
            }
        }
    }
    drawBattlePanel(p, game, battle);
    if (battle.outcome() != Battle::Outcome::None) {
        p.setFont(gameFont(28, true));
        p.setPen(QColor(255, 240, 190));
        const char* text = battle.outcome() == Battle::Outcome::Won    ? "Vitória!"
                           : battle.outcome() == Battle::Outcome::Lost ? "Derrota..."
                                                                       : "Fuga!";
        p.drawText(QRect(0, 20, w, 50), Qt::AlignCenter, QString::fromUtf8(text));
    }
}

void Renderer::drawGameOver(const Game& game) {
    QPainter p(&back_);
    p.fillRect(back_.rect(), QColor(12, 6, 10));
    p.setFont(gameFont(40, true));
    p.setPen(QColor(200, 40, 50));
    p.drawText(back_.rect().adjusted(0, -30, 0, -30), Qt::AlignCenter, QStringLiteral("Fim de Jogo"));
    p.setFont(gameFont(14));
    p.setPen(QColor(200, 190, 190));
    p.drawText(back_.rect().adjusted(0, 60, 0, 60), Qt::AlignCenter,
               QString::fromUtf8("Nível %1   Dinheiro %2").arg(game.state().level()).arg(game.state().money()));
}

}  // namespace quillmark::play

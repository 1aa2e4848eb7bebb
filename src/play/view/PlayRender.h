#pragma once
// Drawing the game. The map is drawn at 40 pixels a cell into a picture the
// size of the view and then enlarged by a whole factor to the window: the
// factor is the largest that keeps at least 640 x 480 game pixels in view.
// Only the cells in view are drawn; every tile comes from the pictures decoded
// at load time. The weather is drawn on the game's pixels too; the message or
// dialogue box is drawn over the enlarged picture at the window's own
// resolution, so its text stays sharp.
//
// Text needs a QGuiApplication (fonts).
#include "play/model/Game.h"
#include "play/model/PlayWorld.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>

class QPainter;

namespace quillmark::play {

inline constexpr int kViewWidth = 640;
inline constexpr int kViewHeight = 480;

class Renderer {
public:
    // The whole frame, filling a window (or picture) of the given size.
    void paint(QPainter& painter, const QSize& window, World& world);
    QImage grab(const QSize& window, World& world);
    // The scene the game shows: the title screen, the map (with its menu), a
    // battle, or the game-over screen.
    void paint(QPainter& painter, const QSize& window, Game& game);
    QImage grab(const QSize& window, Game& game);

    // The whole enlargement factor for a window size (at least 1).
    static int scaleFor(const QSize& window);
    // The top-left game pixel of the view: the hero in the middle, held inside
    // the map when the map is larger than the view, the map centred otherwise.
    static QPoint camera(const World& world, const QSize& view);

    // A fingerprint of everything the next paint of the game would draw: two
    // equal stamps draw the same picture, so a window repaints only when the
    // stamp changes (and nothing at all while nothing on screen moves).
    static std::uint64_t stamp(const Game& game);

    // Cells drawn by the last paint (for the benchmark and the tests).
    int cellsDrawn() const { return cellsDrawn_; }

private:
    void drawMap(World& world, const QPoint& cam);
    void drawWalker(QPainter& p, const Sprite& sprite, const Walker& w, const QPoint& cam);
    void drawWeather(QPainter& p, const QSize& view, const World& world);
    void drawBox(QPainter& p, const QSize& window, int scale, const World& world);
    void present(QPainter& painter, int scale);
    void drawBattle(const Game& game);
    void drawFighter(QPainter& p, const Game& game, const Battle& battle, std::size_t index, const QPoint& feet);
    void drawBattlePanel(QPainter& p, const Game& game, const Battle& battle);
    void drawMenu(QPainter& p, const Game& game);
    void drawTitle(const Game& game);
    void drawGameOver(const Game& game);
    const Picture& art(const Game& game, const std::string& relative, bool transparent);

    QImage back_;
    QImage big_;  // back_ enlarged
    int cellsDrawn_ = 0;
    QString boxKey_;  // what boxImage_ shows
    QImage boxImage_;
};

}  // namespace quillmark::play

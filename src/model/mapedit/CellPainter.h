#pragma once
// Painting of map cells, shared by the map canvas and the command-line
// rendering of a whole map. A cell is drawn in its own 40 x 40 square, top-left
// at (0, 0):
//   1. the tile pictures: in the lower-layer mode the picture of Fundo alone;
//      otherwise the picture of Tipo, with the picture of Fundo under it when
//      the Tipo tile is transparent; then, on a character's cell with objects
//      shown, the character's first walking frame;
//   2. in the event-layer mode the cell's mark, "X" or "O", at (5, 5);
//   3. "C" at (28, 23) for a character ("AddChar…", when objects are shown),
//      otherwise "E" for any other event (when events are shown);
//   4. with coordinates shown, "X: " 40 x column + 120 at (5, 5) and
//      "Y: " 40 x row + 20 at (5, 20), the game's pixel position of the cell;
//   5. the 1-pixel grid outline through (0, 0), (0, 40), (40, 40), (40, 0).
// A caller that shows cells at another size scales the painter; a CellView
// smaller than 40 shows the top-left part of this drawing. Nothing is ever
// drawn outside the square shown, so callers need no clipping. Tiles are drawn from the prepared
// pictures of the tile image cache; nothing is read from a file while painting.
//
// Text needs a QGuiApplication (fonts); a program without one must create it
// (the offscreen platform will do) before painting.
#include "model/core/MapGrid.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <array>
#include <functional>
#include <map>
#include <string>

class QPainter;

namespace quillmark {

class Picture;
class TDataModule1;
class TileCache;

// The three modes of a cell: upper layer (ModoMapa), lower layer (ModoFundo),
// event layer (ModoEventos).
enum class CellMode { Upper, Lower, Events };

// The "Exibir" check marks.
struct ViewOptions {
    bool eventos = true;
    bool objetos = true;
    bool cordenadas = false;
};

// Tile pictures and transparency by tile code, each code looked up once and
// remembered until reset(). Lookups that fail (an empty or not yet filled
// cache) give no picture rather than an error: painting never throws.
class TileLookup {
public:
    using PictureFn = std::function<const Picture&(unsigned char code)>;
    using TransparentFn = std::function<bool(unsigned char code)>;

    TileLookup() = default;
    TileLookup(PictureFn picture, TransparentFn transparent);
    // PegaImg of the tile image cache and VerificaTransparencia of the tiles table.
    static TileLookup fromTables(TDataModule1& data, const TileCache& tiles);

    // The picture of a code as it is drawn (its transparent form when the
    // picture is transparent); a null image when there is none.
    const QImage& image(unsigned char code);
    // VerificaTransparencia of the code.
    bool transparent(unsigned char code);
    // Forgets every remembered answer (the table or the cache may have changed).
    // Character frames are kept: they are read from files, never while painting.
    void reset();

    // Where a character's frame comes from (name -> picture, null when none).
    using CharacterFn = std::function<QImage(const std::string& name)>;
    void setCharacters(CharacterFn character) {
        character_ = std::move(character);
        characters_.clear();
    }
    // The character's first walking frame as drawn, read once; null when none.
    const QImage& character(const std::string& name);
    // The frames are read again at their next use.
    void forgetCharacters() { characters_.clear(); }

private:
    CharacterFn character_;
    std::map<std::string, QImage> characters_;
    PictureFn picture_;
    TransparentFn transparent_;
    std::array<const QImage*, 256> images_{};
    std::array<signed char, 256> transparency_{};  // -1 unknown, 0, 1
    std::array<bool, 256> imageKnown_{};
};

namespace cellpaint {

inline constexpr int kCell = 40;

// Where a cell is drawn: the top-left corner of its square on the painter and
// the side of the square shown (40, or less when zoomed out).
struct CellView {
    QPoint origin{0, 0};
    int size = kCell;
};

// The colour under the tiles (what shows through a transparent picture with
// nothing below it) and around the map.
QColor backgroundColor();

// The whole cell drawing (steps 1 to 5), at the painter's origin.
void RefreshMapa(QPainter& painter, const MapGrid& grid, int row, int column, CellMode mode, const ViewOptions& view,
                 TileLookup& tiles, const CellView& at = {});

// Pieces of the drawing, for the immediate drawing of clicks.
void drawTiles(QPainter& painter, const MapGrid& grid, int row, int column, CellMode mode, TileLookup& tiles,
               const CellView& at = {});
void drawMark(QPainter& painter, unsigned char xo, const CellView& at = {});  // "X" for 'X', otherwise "O", at (5, 5)
void drawEventLetter(QPainter& painter, const std::string& eventText, const ViewOptions& view, const CellView& at = {});
// A character's cell ("AddChar:" name "|" speed) with objects shown: the
// character's first walking frame, transparent, fitted in the cell.
void drawCharacter(QPainter& painter, const std::string& eventText, const ViewOptions& view, TileLookup& tiles,
                   const CellView& at = {});
// The first walking frame ("CharDown01.bmp") of a character of the project,
// transparent as every sprite; a null image when it is missing or unreadable.
QImage characterFrame(const QString& projectFolder, const std::string& name);
void drawCoordinates(QPainter& painter, int row, int column, const CellView& at = {});
void drawGridOutline(QPainter& painter, const CellView& at = {});
// The 4-pixel outline of the cell under the mouse pointer, through
// (1, 1), (1, 40), (40, 40), (40, 1).
void drawHoverOutline(QPainter& painter, const CellView& at = {});
// A picture of a whole cell (40 x 40, drawn earlier) at the cell's place.
void drawCellPicture(QPainter& painter, const QImage& picture, const CellView& at = {});

// The texts of steps 2 to 4 for one cell ("" when nothing is drawn there).
std::string markText(unsigned char xo);
std::string eventLetter(const std::string& eventText, const ViewOptions& view);
std::string coordinateX(int column);  // "X: " + (40 x column + 120)
std::string coordinateY(int row);     // "Y: " + (40 x row + 20)

// The whole N x N map at 40 pixels per cell, every cell in the given mode.
// An empty map gives a null image.
QImage renderMap(const MapGrid& grid, CellMode mode, const ViewOptions& view, TileLookup& tiles);

}  // namespace cellpaint

}  // namespace quillmark

#pragma once
// Tile pictures and their editing. A tile's picture is the file named by its
// "File" in the project's "Imagens\"; the twelve animated tiles (codes 180 to
// 191, animations 1 to 12) have two more frames, "Imagens\TileAni" + the
// animation number + "02.bmp" / "03.bmp". A missing picture is shown as the
// editor folder's "Imagens\null.bmp".
//
// A TileEdit is what the tile editors work on: the tile opened (the current
// record of the tiles table), its picture files, the pictures shown and the
// transparency. Storing it writes every picture (all targets checked and
// encoded before the first write, each write atomic) and then posts
// "Transparente" on the tile's own record.
#include "model/core/Paths.h"
#include "model/core/Picture.h"

#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

class RecordTable;

namespace tiles {

inline constexpr int kFirstCode = 48;
inline constexpr int kLastCode = 191;
inline constexpr int kCodeCount = kLastCode - kFirstCode + 1;  // 144
inline constexpr int kFirstAnimated = 180;
inline constexpr int kAnimationFrames = 3;

bool isAnimated(unsigned char code);
// 1 … 12 for the animated codes, 0 for any other.
int animationNumber(unsigned char code);
// The file name of frame 2 or 3 of an animated tile, inside "Imagens\"
// (code 189, frame 2: "TileAni1002.bmp"). Throws for other codes or frames.
std::string animationFrameName(unsigned char code, int frame);

// The filter text that restricts the tiles table to one code: "Tipo = 'x'"
// (a quote as the code is written twice).
std::string tipoFilter(unsigned char code);

// Refuses a "File" value that cannot name a picture inside "Imagens\": empty,
// with a folder part (a slash, a backslash or a drive colon) or with "..".
void checkTileFileName(std::string_view file);

// ProjectFolder + "Imagens\" + name, found without regard to letter case.
QString imagePath(const QString& projectFolder, std::string_view name);
// The picture at path when that file exists, otherwise the placeholder. A file
// that cannot be read (or a missing placeholder) throws the loader's error.
Picture loadOrPlaceholder(const QString& path, const QString& editorFolder);

// One picture to write.
struct PictureTarget {
    QString path;
    const Picture* picture = nullptr;
};
// Writes every picture in the format its name asks for (a ".bmp" name gets a
// bitmap, whatever the picture was read from). Nothing is written unless every
// picture encodes and every target can be written; each write is atomic.
// With a project folder, every target must stay inside it (Files.h,
// checkWriteInsideProject).
void writePictures(const std::vector<PictureTarget>& targets, const QString& projectFolder = {});
// Throws when the file at path could not be replaced or created, or lies
// through a link outside the project folder.
void checkWritable(const QString& path, const QString& projectFolder = {});

// Sets "Transparente" of the first tiles record whose "Tipo" is the code and
// posts it; the table is left unfiltered, on its first record. Throws when no
// record has the code.
void postTransparency(RecordTable& tiles, unsigned char code, bool transparent);

}  // namespace tiles

class TileEdit {
public:
    // Reads the current record of the tiles table (its code, File and
    // Transparente) and loads its picture, or for an animated tile its three
    // frames, with the placeholder for each missing file. Throws when the
    // table has no current record, when File is refused, when an animated
    // edit is asked for a tile that is not animated, or when a picture cannot
    // be loaded.
    static TileEdit open(RecordTable& tiles, const QString& projectFolder, const QString& editorFolder, bool animated);

    unsigned char code = 0;
    std::string file;          // the tile's File, as read
    bool transparent = false;  // the tile's Transparente, then what the editor shows
    // The names inside "Imagens\" written by store(): File, then frames 2 and 3.
    std::vector<std::string> names;
    std::vector<Picture> pictures;  // one per name

    // Writes every picture under its name (all or none, see writePictures),
    // then posts the transparency on the tile's own record (the first with its
    // code). The table is left unfiltered.
    void store(RecordTable& tiles, const QString& projectFolder) const;
};

}  // namespace quillmark

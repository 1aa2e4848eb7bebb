#pragma once
// The tile image cache: the 147 tile pictures of the open project, indexed by
// the tiles table's "Cod". Every tile the editor draws (map cells, the palette,
// the database window's "Tiles" page) comes from here; files are read only when
// the cache is filled.
#include "model/core/Picture.h"
#include "model/database/BitmapList.h"

#include <QString>
#include <string>
#include <vector>

namespace quillmark {

class TDataModule1;

class TileCache {
public:
    static constexpr int kEntries = 147;

    // The process-wide picture holder; Slot1 is the cache.
    TGameListImage GameListImage1;

    // Fills entries 0 … 146. Entry n is the picture "Imagens\" + File of the
    // tiles record whose Cod is n, transparent when VerificaTransparencia of
    // its Tipo says so; a missing file (or no record with that Cod) gives the
    // editor folder's "Imagens\null.bmp", never transparent. Entries are reused
    // from one filling to the next. A picture that cannot be decoded also
    // gives "null.bmp" and is listed in unreadable(); only a placeholder that
    // cannot be loaded stops the filling with the loader's error (later
    // entries keep their pictures). The tiles table is left unfiltered, on its
    // first record.
    void LoadImagens(TDataModule1& data, const QString& projectFolder, const QString& editorFolder);

    // The pictures of the last filling that could not be read, each once, as
    // "Imagens\<File>", in the order met, with the loader's reason for each.
    const std::vector<std::string>& unreadable() const { return unreadable_; }
    const std::vector<std::string>& unreadableReasons() const { return reasons_; }

    // The cached picture of a tile code: the first tiles record (in table order)
    // whose Tipo is the code gives the Cod; a code no record has gives entry 0.
    // A Cod outside the filled entries fails with "List index out of bounds (%d)".
    // The entry itself is returned, for drawing. The lookup neither moves the
    // tiles table's current record nor touches its filter, so it is safe while
    // painting behind a dialog that has the table filtered.
    const Picture& PegaImg(TDataModule1& data, unsigned char code) const;

    // The Cod that PegaImg uses for a code (0 when no record has it).
    static int codOf(const TDataModule1& data, unsigned char code);

    int count() const { return GameListImage1.Slot1().Count(); }

private:
    std::vector<std::string> unreadable_;
    std::vector<std::string> reasons_;
};

}  // namespace quillmark

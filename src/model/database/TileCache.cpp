#include "model/database/TileCache.h"

#include "model/database/TableRestriction.h"

#include "model/core/Format.h"

#include "model/core/Paths.h"
#include "model/database/DataModule.h"

#include "model/core/Error.h"

#include <QSet>
#include <charconv>

namespace quillmark {

namespace {

// A name of a file inside one folder: no folder part, not "." or "..".
bool isPlainFileName(const std::string& name) {
    if (name == "." || name == "..") return false;
    return name.find_first_of("\\/:") == std::string::npos;
}

}  // namespace

namespace {

const Picture& emptyPicture() {
    static const Picture empty;
    return empty;
}

}  // namespace

void TileCache::LoadImagens(TDataModule1& data, const QString& projectFolder, const QString& editorFolder) {
    TBitmapList& list = GameListImage1.Slot1();
    RecordTable& tiles = data.cdsTiles;
    BitmapListUpdate update(list);

    TableRestriction restriction(tiles);

    unreadable_.clear();
    reasons_.clear();
    QSet<QString> reported;
    for (int n = 0; n < kEntries; ++n) {
        restriction.restrict("Cod = " + std::to_string(n));
        const bool found = !tiles.isEmpty();
        std::string file;
        std::string tipo;
        if (found) {
            file = tiles.asString("File");
            tipo = tiles.asString("Tipo");
        }
        list.Put(n, nullptr);
        Picture* entry = list.Get(n);
        entry->setTransparent(false);
        // A file name that would reach outside "Imagens\" is not read: it shows
        // as the placeholder and is named with the unreadable pictures.
        if (found && !isPlainFileName(file)) {
            unreadable_.push_back("Imagens\\" + file);
            reasons_.push_back("o nome do arquivo aponta para fora da pasta Imagens");
            entry->LoadFromFile(placeholderPath(editorFolder));
            continue;
        }
        const QString path = projectPath(projectFolder, "Imagens\\" + file);
        if (!found || !fileExists(path)) {
            entry->LoadFromFile(projectPath(editorFolder, std::string_view("Imagens\\null.bmp")));
            continue;
        }
        try {
            entry->LoadFromFile(path);
        } catch (const Error& e) {
            // A damaged picture shows as the placeholder; the project still opens.
            if (!reported.contains(path)) {  // each file once, however it is spelled
                reported.insert(path);
                unreadable_.push_back("Imagens\\" + file);
                reasons_.push_back(e.what());
            }
            entry->setTransparent(false);
            entry->LoadFromFile(projectPath(editorFolder, std::string_view("Imagens\\null.bmp")));
            continue;
        }
        const unsigned char code = tipo.empty() ? 0 : static_cast<unsigned char>(tipo[0]);
        if (data.VerificaTransparencia(code)) entry->setTransparent(true);
    }
}

int TileCache::codOf(const TDataModule1& data, unsigned char code) {
    const RecordTable& tiles = data.cdsTiles;
    const int i = format::tileRecordIndex(tiles, code);
    const int codField = tiles.fieldIndex("Cod");
    if (i < 0 || codField < 0) return 0;
    const auto& cod = tiles.allRecords()[static_cast<size_t>(i)][static_cast<size_t>(codField)];
    return cod ? format::toInteger(*cod).value_or(0) : 0;
}

const Picture& TileCache::PegaImg(TDataModule1& data, unsigned char code) const {
    const Picture* picture = GameListImage1.Slot1().Get(codOf(data, code));
    return picture ? *picture : emptyPicture();
}

}  // namespace quillmark

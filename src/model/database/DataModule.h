#pragma once
// The data holder of the five game tables (items, spells, monsters, hero,
// tiles). It owns them for the whole run; every window reaches the tables
// through it. This is its model side: schemas, opening, repointing, the
// after-insert defaults, the record-list notifications and the tile lookups.
#include "model/core/RecordTable.h"

#include <QString>
#include <functional>
#include <string>

namespace quillmark {

// The five schemas, fields in their declared order (14, 12, 31, 81 and 6 fields).
const Schema& itensSchema();
const Schema& magiasSchema();
const Schema& monstrosSchema();
const Schema& personagemSchema();
const Schema& tilesSchema();

// Relative file names inside a project or the editor folder.
inline constexpr const char* kItensFile = "Data\\Itens.xml";
inline constexpr const char* kMagiasFile = "Data\\Magias.xml";
inline constexpr const char* kMonstrosFile = "Data\\Monstros.xml";
inline constexpr const char* kPersonagemFile = "Data\\Personagem.xml";
inline constexpr const char* kTilesFile = "Data\\Tiles.xml";

class TDataModule1 {
public:
    TDataModule1();

    RecordTable cdsItens{"Itens"};
    RecordTable cdsMagias{"Magias"};
    RecordTable cdsMonstros{"Monstros"};
    RecordTable cdsPersonagem{"Personagem"};
    RecordTable cdsTiles{"Tiles"};

    // Start-up opening from the editor folder, in the order items, spells,
    // monsters, hero, tiles. A missing table stops there: the error is thrown
    // and the tables after it stay closed.
    void DataModuleCreate(const QString& editorFolder);

    // Close, repoint and open one table at folder + its relative file name.
    void pointAt(RecordTable& table, const QString& folder);
    // The order the callers use: tiles, monsters, items, spells, hero.
    void pointAtProject(const QString& projectFolder);

    // Closes every table (each changed table is written to its file). A pending
    // edit of the items, spells, monsters or hero table that changed something
    // is committed first, and so is a pending new record that has a "Nome"; a
    // new record without a name is dropped.
    void closeAll();
    // That commit, for one table.
    static void commitPending(RecordTable& table);

    // The "Transparente" value of the first tiles record, in table order, whose
    // "Tipo" is the code; false when none. Leaves no filter on the table.
    bool VerificaTransparencia(unsigned char code);
    // The first tiles record whose "Tipo" is the code becomes current; its "Cod"
    // is returned (0 when no record has the code, the table then on its first
    // record). Leaves no filter on the table.
    int tileCodByCode(unsigned char code);

    // Record-list notifications (the database window rebuilds its name lists):
    // items after every post and delete; monsters after every post and delete;
    // spells after every open and delete.
    std::function<void()> onItensListChanged;
    std::function<void()> onMonstrosListChanged;
    std::function<void()> onMagiasListChanged;
    // An item record was inserted (the database window enables the name entry).
    std::function<void()> onNewItem;
    // A spell record was committed (the database window gives a named spell its
    // record folder, where the spell frame-set editor keeps the frames).
    std::function<void()> onMagiaPosted;

    // The relative file name ("Data\\Itens.xml" …) of one of the five tables.
    const char* relativeFileOf(const RecordTable& table) const;

private:
    // Index in the tiles table's stored order of the first record whose "Tipo"
    // is exactly the code; -1 when none (or the table is closed).
    int firstTileWithCode(unsigned char code) const;
};

}  // namespace quillmark

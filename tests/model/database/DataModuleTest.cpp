#include "model/database/DataModule.h"
#include "TempDir.h"
#include "model/core/DataPacket.h"
#include "model/core/Error.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

std::vector<std::string> namesOf(const Schema& s) {
    std::vector<std::string> out;
    for (const FieldDef& f : s) out.push_back(f.name);
    return out;
}

const FieldDef& field(const Schema& s, const std::string& name) {
    for (const FieldDef& f : s)
        if (f.name == name) return f;
    throw std::runtime_error("no field " + name);
}

// A folder holding the five game tables, empty unless told otherwise.
struct TablesFolder {
    qmtest::TempDir dir;
    TablesFolder() {
        put("Data/Itens.xml", itensSchema());
        put("Data/Magias.xml", magiasSchema());
        put("Data/Monstros.xml", monstrosSchema());
        put("Data/Personagem.xml", personagemSchema());
        put("Data/Tiles.xml", tilesSchema());
    }
    void put(const QString& relative, const Schema& schema, const std::vector<Record>& records = {}) {
        dir.write(relative, QByteArray::fromStdString(datapacket::write(schema, records)));
    }
    QString path() const { return dir.path(); }
};

// A tiles record: Tipo, Fundo, File, VFile, Cod, Transparente.
Record tile(const std::string& tipo, int cod, bool transparent) {
    return {tipo,         std::nullopt,        "Tile" + std::to_string(cod) + ".bmp",
            std::nullopt, std::to_string(cod), std::string(transparent ? "TRUE" : "FALSE")};
}

std::vector<int> walkCods(RecordTable& t) {
    std::vector<int> cods;
    t.first();
    for (int i = 0; i < t.recordCount(); ++i, t.next()) cods.push_back(t.asInteger("Cod"));
    return cods;
}

}  // namespace

TEST(GameSchemas, FieldsInDeclaredOrderWithTheirKindsAndWidths) {
    EXPECT_EQ(namesOf(itensSchema()),
              (std::vector<std::string>{"Nome", "Descricao", "Imagem", "Acao", "Anim1", "Anim2", "Anim3", "Anim4",
                                        "Anim5", "AcaoAux", "Cod_Item", "usMapa", "usBatlle", "Evento"}));
    EXPECT_EQ(field(itensSchema(), "Nome").width, 30);
    EXPECT_EQ(field(itensSchema(), "Descricao").width, 100);
    EXPECT_EQ(field(itensSchema(), "Anim5").width, 60);
    EXPECT_EQ(field(itensSchema(), "Evento").kind, FieldKind::Memo);
    EXPECT_EQ(field(itensSchema(), "usBatlle").kind, FieldKind::Boolean);
    EXPECT_EQ(field(itensSchema(), "Cod_Item").kind, FieldKind::Integer);

    EXPECT_EQ(namesOf(magiasSchema()),
              (std::vector<std::string>{"Nome", "DanoCausado", "CustoDeMP", "Anim1", "Anim2", "Anim3", "Anim4", "Anim5",
                                        "TipoAnim", "Descri\xE7\xE3o", "Cod_Magia", "TipoMagia"}));
    EXPECT_EQ(field(magiasSchema(), "Descri\xE7\xE3o").width, 100);
    EXPECT_EQ(field(magiasSchema(), "Nome").width, 60);

    const Schema& m = monstrosSchema();
    ASSERT_EQ(m.size(), 31u);
    EXPECT_EQ(m[0].name, "Nome");
    EXPECT_EQ(m[0].width, 60);
    EXPECT_EQ(m[8].name, "ExpGanha");
    EXPECT_EQ(m[9].name, "Magia1");
    EXPECT_EQ(m[9].width, 50);
    EXPECT_EQ(m[12].name, "Parado01");
    EXPECT_EQ(m[18].name, "Atacando01");
    EXPECT_EQ(m[24].name, "UsMagia01");
    EXPECT_EQ(m[29].name, "UsMagia06");
    EXPECT_EQ(m[30].name, "Face");
    for (int i = 1; i <= 8; ++i) EXPECT_EQ(m[static_cast<size_t>(i)].kind, FieldKind::Integer) << i;

    const Schema& h = personagemSchema();
    ASSERT_EQ(h.size(), 81u);
    EXPECT_EQ(h[1].name, "Tipo");
    EXPECT_EQ(h[1].width, 40);
    EXPECT_EQ(h[4].name, "Face01");
    EXPECT_EQ(h[9].name, "AnAndando01Up");
    EXPECT_EQ(h[12].name, "AnAndando01Down");
    EXPECT_EQ(h[20].name, "AnAndando03Right");
    EXPECT_EQ(h[21].name, "AnMorto01");
    EXPECT_EQ(h[54].name, "AnBatMorto03");
    EXPECT_EQ(h[55].name, "HPInicial");
    EXPECT_EQ(h[61].name, "DefIncial");
    EXPECT_EQ(h[64].name, "AgMax");
    EXPECT_EQ(h[65].name, "Magia01");
    EXPECT_EQ(h[65].width, 50);
    EXPECT_EQ(h[73].name, "Iten01");
    EXPECT_EQ(h[80].name, "Iten08");
    for (int i = 55; i <= 64; ++i) EXPECT_EQ(h[static_cast<size_t>(i)].kind, FieldKind::Integer) << i;
    for (int i = 4; i <= 54; ++i) EXPECT_EQ(h[static_cast<size_t>(i)].width, 40) << h[static_cast<size_t>(i)].name;
}

TEST(GameSchemas, TilesPacketAndSpellDescriptionAsWritten) {
    EXPECT_EQ(datapacket::emptyPacket(tilesSchema()),
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?> <DATAPACKET Version=\"2.0\">"
              "<METADATA><FIELDS>"
              "<FIELD attrname=\"Tipo\" fieldtype=\"string\" WIDTH=\"1\"/>"
              "<FIELD attrname=\"Fundo\" fieldtype=\"string\" WIDTH=\"1\"/>"
              "<FIELD attrname=\"File\" fieldtype=\"string\" WIDTH=\"50\"/>"
              "<FIELD attrname=\"VFile\" fieldtype=\"string\" WIDTH=\"50\"/>"
              "<FIELD attrname=\"Cod\" fieldtype=\"i4\"/>"
              "<FIELD attrname=\"Transparente\" fieldtype=\"boolean\"/>"
              "</FIELDS><PARAMS/></METADATA><ROWDATA></ROWDATA></DATAPACKET>");
    // the accented field name goes out as UTF-8 and comes back as the same bytes
    const std::string packet = datapacket::emptyPacket(magiasSchema());
    EXPECT_NE(packet.find("attrname=\"Descri\xC3\xA7\xC3\xA3o\" fieldtype=\"string\" WIDTH=\"100\""),
              std::string::npos);
    EXPECT_EQ(namesOf(datapacket::parse(packet, {}).fields), namesOf(magiasSchema()));
}

TEST(DataModuleStartUp, OpensTheFiveTemplateTables) {
    TablesFolder editor;
    TDataModule1 dm;
    int spellLists = 0;
    dm.onMagiasListChanged = [&] { ++spellLists; };
    dm.DataModuleCreate(editor.path());
    for (RecordTable* t : {&dm.cdsItens, &dm.cdsMagias, &dm.cdsMonstros, &dm.cdsPersonagem, &dm.cdsTiles})
        EXPECT_TRUE(t->active()) << t->name();
    EXPECT_EQ(dm.cdsItens.fileName(), editor.path() + "Data/Itens.xml");
    EXPECT_EQ(dm.cdsTiles.fields().size(), 6u);
    EXPECT_EQ(spellLists, 1);  // opening the spells fills the spell list
}

TEST(DataModuleStartUp, MissingTableStopsThereAndLeavesTheLaterOnesClosed) {
    TablesFolder editor;
    QFile::remove(editor.dir.file("Data/Monstros.xml"));
    TDataModule1 dm;
    try {
        dm.DataModuleCreate(editor.path());
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Missing data provider or data packet");
    }
    EXPECT_TRUE(dm.cdsItens.active());
    EXPECT_TRUE(dm.cdsMagias.active());
    EXPECT_FALSE(dm.cdsMonstros.active());
    EXPECT_FALSE(dm.cdsPersonagem.active());
    EXPECT_FALSE(dm.cdsTiles.active());
    // nothing to look up in a closed tiles table
    EXPECT_FALSE(dm.VerificaTransparencia('0'));
    EXPECT_EQ(dm.tileCodByCode('0'), 0);
}

TEST(DataModuleStartUp, TableFileNamesAreFoundWhateverTheirCase) {
    TablesFolder editor;
    QFile::rename(editor.dir.file("Data/Tiles.xml"), editor.dir.file("Data/TILES.XML"));
    TDataModule1 dm;
    dm.DataModuleCreate(editor.path());
    EXPECT_TRUE(dm.cdsTiles.active());
    EXPECT_EQ(dm.cdsTiles.fileName(), editor.path() + "Data/TILES.XML");
}

TEST(DataModuleProject, RepointingWritesChangesToWhereTheyCameFromFirst) {
    TablesFolder editor, project;
    project.put("Data/Tiles.xml", tilesSchema(), {tile("A", 7, true)});
    TDataModule1 dm;
    dm.DataModuleCreate(editor.path());
    dm.cdsMagias.insert();
    dm.cdsMagias.setString("Nome", "Fogo");
    dm.cdsMagias.post();

    dm.pointAtProject(project.path());
    EXPECT_EQ(dm.cdsMagias.fileName(), project.path() + "Data/Magias.xml");
    EXPECT_EQ(dm.cdsMagias.recordCount(), 0);
    EXPECT_EQ(dm.cdsTiles.recordCount(), 1);
    EXPECT_TRUE(dm.VerificaTransparencia('A'));
    // the spell went into the editor folder's table, the one it was typed into
    auto written = datapacket::parse(editor.dir.read("Data/Magias.xml").toStdString(), {});
    ASSERT_EQ(written.records.size(), 1u);
    EXPECT_EQ(written.records[0][0], std::optional<std::string>("Fogo"));
    // an unchanged table is not rewritten
    EXPECT_EQ(editor.dir.read("Data/Itens.xml").toStdString(), datapacket::emptyPacket(itensSchema()));
}

TEST(DataModuleProject, MissingProjectTableLeavesTheLaterOnesClosed) {
    TablesFolder editor, project;
    QFile::remove(project.dir.file("Data/Itens.xml"));
    TDataModule1 dm;
    dm.DataModuleCreate(editor.path());
    EXPECT_THROW(dm.pointAtProject(project.path()), Error);
    // tiles and monsters come first and are the project's; the rest are closed,
    // none still open on the previous folder's files
    EXPECT_EQ(dm.cdsTiles.fileName(), project.path() + "Data/Tiles.xml");
    EXPECT_TRUE(dm.cdsMonstros.active());
    EXPECT_FALSE(dm.cdsItens.active());
    EXPECT_FALSE(dm.cdsMagias.active());
    EXPECT_FALSE(dm.cdsPersonagem.active());
}

TEST(DataModuleProject, CloseAllClosesTheOthersWhenOneCannotBeWritten) {
    TablesFolder editor;
    TDataModule1 dm;
    dm.DataModuleCreate(editor.path());
    dm.cdsItens.insert();
    dm.cdsItens.setString("Nome", "Erva");
    dm.cdsItens.post();
    dm.cdsItens.setFileName(editor.dir.file("NoSuchFolder/Itens.xml"));
    dm.cdsMagias.insert();
    dm.cdsMagias.setString("Nome", "Gelo");
    dm.cdsMagias.post();
    EXPECT_THROW(dm.closeAll(), Error);
    EXPECT_FALSE(dm.cdsMagias.active());
    EXPECT_FALSE(dm.cdsTiles.active());
    EXPECT_EQ(datapacket::parse(editor.dir.read("Data/Magias.xml").toStdString(), {}).records.size(), 1u);
}

TEST(DataModuleInsert, NewMonsterGetsItsNineteenFrameAndFaceNames) {
    TablesFolder editor;
    TDataModule1 dm;
    dm.DataModuleCreate(editor.path());
    dm.cdsMonstros.insert();
    dm.cdsMonstros.setString("Nome", "Slime");
    dm.cdsMonstros.post();
    for (int i = 1; i <= 6; ++i) {
        const std::string n = "0" + std::to_string(i);
        EXPECT_EQ(dm.cdsMonstros.asString("Parado" + n), "CharParado" + n + ".bmp");
        EXPECT_EQ(dm.cdsMonstros.asString("Atacando" + n), "CharAtacando" + n + ".bmp");
        EXPECT_EQ(dm.cdsMonstros.asString("UsMagia" + n), "CharMagia" + n + ".bmp");
    }
    EXPECT_EQ(dm.cdsMonstros.asString("Face"), "CharFace.bmp");
    int set = 0;
    for (const auto& v : dm.cdsMonstros.allRecords()[0]) set += v.has_value();
    EXPECT_EQ(set, 20);  // the 19 defaults and the name, nothing else
}

TEST(DataModuleInsert, NewItemIsUsableEverywhereAndAnnounced) {
    TablesFolder editor;
    TDataModule1 dm;
    int announced = 0;
    dm.onNewItem = [&] { ++announced; };
    dm.DataModuleCreate(editor.path());
    dm.cdsItens.insert();
    EXPECT_EQ(announced, 1);
    EXPECT_TRUE(dm.cdsItens.asBoolean("usMapa"));
    EXPECT_TRUE(dm.cdsItens.asBoolean("usBatlle"));
    EXPECT_EQ(dm.cdsItens.asString("Imagem"), "ItImage.bmp");
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(dm.cdsItens.asString("Anim" + std::to_string(i)), "ItAni" + std::to_string(i) + ".bmp");
    EXPECT_TRUE(dm.cdsItens.isNull("Nome"));
    EXPECT_EQ(dm.cdsItens.asInteger("Cod_Item"), 1);
}

TEST(DataModuleInsert, ItemFromAnOlderFileWithoutSomeFieldsStillInserts) {
    TablesFolder editor;
    editor.put("Data/Itens.xml", {{"Nome", FieldKind::String, 30}, {"usMapa", FieldKind::Boolean, 0}});
    TDataModule1 dm;
    dm.DataModuleCreate(editor.path());
    EXPECT_NO_THROW(dm.cdsItens.insert());
    EXPECT_TRUE(dm.cdsItens.asBoolean("usMapa"));
}

TEST(DataModuleInsert, EditOnAnEmptyHeroTableInsertsAnEmptyHero) {
    TablesFolder editor;
    TDataModule1 dm;
    dm.DataModuleCreate(editor.path());
    ASSERT_EQ(dm.cdsPersonagem.recordCount(), 0);
    dm.cdsPersonagem.edit();
    EXPECT_EQ(dm.cdsPersonagem.state(), RecordTable::State::Insert);
    for (const FieldDef& f : personagemSchema()) EXPECT_TRUE(dm.cdsPersonagem.isNull(f.name)) << f.name;
    dm.cdsPersonagem.setString("Nome", "Aldo");
    dm.cdsPersonagem.post();
    EXPECT_EQ(dm.cdsPersonagem.recordCount(), 1);
}

TEST(DataModuleLists, RebuildNoticesFollowPostsDeletesAndOpens) {
    TablesFolder editor;
    TDataModule1 dm;
    int itens = 0, monstros = 0, magias = 0;
    dm.onItensListChanged = [&] { ++itens; };
    dm.onMonstrosListChanged = [&] { ++monstros; };
    dm.onMagiasListChanged = [&] { ++magias; };
    dm.DataModuleCreate(editor.path());
    EXPECT_EQ(magias, 1);

    dm.cdsItens.insert();
    dm.cdsItens.setString("Nome", "Erva");
    dm.cdsItens.post();
    dm.cdsItens.edit();
    dm.cdsItens.setString("Nome", "Erva Boa");
    dm.cdsItens.post();
    dm.cdsItens.remove();
    EXPECT_EQ(itens, 3);

    dm.cdsMonstros.insert();
    dm.cdsMonstros.post();
    dm.cdsMonstros.remove();
    EXPECT_EQ(monstros, 2);

    dm.cdsMagias.insert();
    dm.cdsMagias.setString("Nome", "Fogo");
    dm.cdsMagias.post();  // posting a spell does not rebuild the list
    EXPECT_EQ(magias, 1);
    dm.cdsMagias.remove();
    EXPECT_EQ(magias, 2);
    dm.pointAt(dm.cdsMagias, editor.path());
    EXPECT_EQ(magias, 3);
    EXPECT_EQ(itens, 3);
    EXPECT_EQ(monstros, 2);
}

TEST(DataModuleTiles, TransparencyOfTheFirstTileWithExactlyThatCode) {
    TablesFolder editor;
    editor.put("Data/Tiles.xml", tilesSchema(),
               {tile("a", 0, false), tile("A", 1, true), tile("A", 2, false), tile("B", 3, false),
                tile("\xBF", 4, true), tile("\xB4", 5, true), tile("0", 6, false)});
    TDataModule1 dm;
    dm.DataModuleCreate(editor.path());
    EXPECT_TRUE(dm.VerificaTransparencia('A'));   // the first of two wins
    EXPECT_FALSE(dm.VerificaTransparencia('a'));  // 'a' is another tile
    EXPECT_FALSE(dm.VerificaTransparencia('b'));
    EXPECT_FALSE(dm.VerificaTransparencia('Z'));  // no such tile
    EXPECT_TRUE(dm.VerificaTransparencia(0xBF));
    EXPECT_TRUE(dm.VerificaTransparencia(0xB4));
    EXPECT_FALSE(dm.VerificaTransparencia(0xB5));

    EXPECT_EQ(dm.tileCodByCode('A'), 1);
    EXPECT_EQ(dm.cdsTiles.asInteger("Cod"), 1);  // that record is current
    EXPECT_EQ(dm.cdsTiles.recNo(), 2);
    EXPECT_EQ(dm.tileCodByCode('a'), 0);
    EXPECT_EQ(dm.tileCodByCode(0xBF), 4);
    EXPECT_EQ(dm.tileCodByCode('Z'), 0);
    EXPECT_EQ(dm.cdsTiles.recNo(), 1);
}

TEST(DataModuleTiles, NoLookupLeavesARestrictionBehind) {
    TablesFolder editor;
    editor.put("Data/Tiles.xml", tilesSchema(), {tile("0", 0, false), tile("1", 1, true), tile("2", 2, false)});
    TDataModule1 dm;
    dm.DataModuleCreate(editor.path());
    const std::vector<int> all{0, 1, 2};

    dm.cdsTiles.setFilter("Tipo = '1'");
    dm.cdsTiles.setFiltered(true);
    ASSERT_EQ(dm.cdsTiles.recordCount(), 1);
    EXPECT_FALSE(dm.VerificaTransparencia('2'));  // a tile the filter had hidden is still found
    EXPECT_FALSE(dm.cdsTiles.filtered());
    EXPECT_EQ(walkCods(dm.cdsTiles), all);

    dm.cdsTiles.setFilter("Cod = 0");
    dm.cdsTiles.setFiltered(true);
    EXPECT_EQ(dm.tileCodByCode('2'), 2);
    EXPECT_FALSE(dm.cdsTiles.filtered());
    EXPECT_EQ(dm.cdsTiles.asInteger("Cod"), 2);
    EXPECT_EQ(walkCods(dm.cdsTiles), all);

    EXPECT_TRUE(dm.VerificaTransparencia('1'));
    EXPECT_EQ(walkCods(dm.cdsTiles), all);
}

TEST(DataModuleDefaults, EveryInsertDefaultIsWrittenNextToItsField) {
    auto defaults = [](const Schema& s) {
        std::vector<std::pair<std::string, std::string>> out;
        for (const FieldDef& f : s)
            if (f.onInsert) out.emplace_back(f.name, *f.onInsert);
        return out;
    };
    EXPECT_EQ(defaults(itensSchema()), (std::vector<std::pair<std::string, std::string>>{{"Imagem", "ItImage.bmp"},
                                                                                         {"Anim1", "ItAni1.bmp"},
                                                                                         {"Anim2", "ItAni2.bmp"},
                                                                                         {"Anim3", "ItAni3.bmp"},
                                                                                         {"Anim4", "ItAni4.bmp"},
                                                                                         {"Anim5", "ItAni5.bmp"},
                                                                                         {"usMapa", "TRUE"},
                                                                                         {"usBatlle", "TRUE"}}));
    EXPECT_EQ(defaults(monstrosSchema()).size(), 19u);
    EXPECT_EQ(defaults(monstrosSchema()).front(),
              (std::pair<std::string, std::string>{"Parado01", "CharParado01.bmp"}));
    EXPECT_EQ(defaults(monstrosSchema()).back(), (std::pair<std::string, std::string>{"Face", "CharFace.bmp"}));
    EXPECT_EQ(defaults(magiasSchema()).size(), 5u);
    EXPECT_TRUE(defaults(personagemSchema()).empty());
    EXPECT_TRUE(defaults(tilesSchema()).empty());
}

TEST(DataModuleInsert, NewItemsAndSpellsGetTheNextFreeCodeAndSpellsTheirFrameNames) {
    TablesFolder editor;
    editor.put("Data/Magias.xml", magiasSchema(),
               {Record{std::string("Fogo"), std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                       std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::string("7"), std::nullopt},
                Record{std::string("Gelo"), std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                       std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::string("3"), std::nullopt}});
    TDataModule1 dm;
    dm.DataModuleCreate(editor.path());
    dm.cdsItens.insert();
    EXPECT_EQ(dm.cdsItens.asInteger("Cod_Item"), 1);  // an empty table starts at 1
    dm.cdsItens.setString("Nome", "Espada");
    dm.cdsItens.post();
    dm.cdsItens.insert();
    EXPECT_EQ(dm.cdsItens.asInteger("Cod_Item"), 2);
    dm.cdsItens.cancel();
    dm.cdsMagias.insert();
    EXPECT_EQ(dm.cdsMagias.asInteger("Cod_Magia"), 8);
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(dm.cdsMagias.asString("Anim" + std::to_string(i)), "MgAni" + std::to_string(i) + ".bmp");
    int posted = 0;
    dm.onMagiaPosted = [&] { ++posted; };
    dm.cdsMagias.setString("Nome", "Raio");
    dm.cdsMagias.post();
    EXPECT_EQ(posted, 1);
}

TEST(DataModuleClose, TypedValuesReachTheFilesWhenTheTablesClose) {
    TablesFolder editor, project;
    TDataModule1 dm;
    dm.DataModuleCreate(editor.path());
    dm.pointAtProject(project.path());
    dm.cdsMonstros.insert();
    dm.cdsMonstros.setString("Nome", "Lobo");
    dm.cdsMonstros.post();
    dm.cdsMonstros.close();
    dm.cdsMonstros.open();
    // a monster's HP typed and left pending, a named new item, an untouched new spell
    dm.cdsMonstros.edit();
    dm.cdsMonstros.setInteger("HP", 42);
    dm.cdsItens.insert();
    dm.cdsItens.setString("Nome", "Po\xE7\xE3o");
    dm.cdsMagias.insert();
    dm.cdsPersonagem.edit();  // the hero on its page, unchanged
    TablesFolder other;
    dm.pointAtProject(other.path());  // another project is opened
    auto read = [&](const char* file) { return datapacket::parse(project.dir.read(file).toStdString(), {}).records; };
    const auto monsters = read("Data/Monstros.xml");
    ASSERT_EQ(monsters.size(), 1u);
    EXPECT_EQ(*monsters[0][static_cast<size_t>(dm.cdsMonstros.fieldIndex("HP"))], "42");
    const auto items = read("Data/Itens.xml");
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(*items[0][0], "Po\xE7\xE3o");
    EXPECT_TRUE(read("Data/Magias.xml").empty());
    EXPECT_EQ(project.dir.read("Data/Personagem.xml"), editor.dir.read("Data/Personagem.xml"));
}

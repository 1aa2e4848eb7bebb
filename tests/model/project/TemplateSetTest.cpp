// The template set beside the editor (build/bin), as the new-project wizard
// copies it: every file it names exists and decodes, and the tables open with
// the game schemas.
#include "TempDir.h"
#include "model/core/Paths.h"
#include "model/core/Picture.h"
#include "model/core/RecordTable.h"
#include "model/database/DataModule.h"
#include "model/database/TileCache.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QtEndian>
#include <gtest/gtest.h>
#include <set>

using namespace quillmark;

namespace {

QString editor() { return qmtest::binFolder(); }

QString inEditor(const std::string& relative) { return projectPath(editor(), relative); }

// Opens a template table and checks its declared fields against the schema.
void openTable(RecordTable& table, const char* relative, const Schema& schema) {
    table.setFileName(inEditor(relative));
    table.open();
    ASSERT_EQ(table.fields().size(), schema.size()) << relative;
    for (size_t i = 0; i < schema.size(); ++i) {
        EXPECT_EQ(table.fields()[i].name, schema[i].name) << relative;
        EXPECT_EQ(table.fields()[i].kind, schema[i].kind) << relative << " " << schema[i].name;
        EXPECT_EQ(table.fields()[i].width, schema[i].width) << relative << " " << schema[i].name;
    }
}

// Decodes a picture of the template set; an empty picture when it cannot.
Picture picture(const std::string& imagensName) {
    try {
        return Picture::fromFile(inEditor("Imagens\\" + imagensName));
    } catch (const std::exception& e) {
        ADD_FAILURE() << imagensName << ": " << e.what();
        return Picture();
    }
}

}  // namespace

TEST(TemplateSet, TablesOpenWithTheGameSchemas) {
    RecordTable itens, magias, monstros, personagem, tiles;
    openTable(itens, kItensFile, itensSchema());
    openTable(magias, kMagiasFile, magiasSchema());
    openTable(monstros, kMonstrosFile, monstrosSchema());
    openTable(personagem, kPersonagemFile, personagemSchema());
    openTable(tiles, kTilesFile, tilesSchema());
    EXPECT_EQ(itens.recordCount(), 0);
    EXPECT_EQ(monstros.recordCount(), 0);
    EXPECT_EQ(personagem.recordCount(), 1);
    EXPECT_EQ(tiles.recordCount(), 144);
    // every spell has a code of its own, and the hero's spells exist
    std::set<std::string> codes;
    for (magias.first(); !magias.isEmpty(); magias.next()) {
        const std::string code = magias.asString("Cod_Magia");
        EXPECT_FALSE(code.empty());
        EXPECT_TRUE(codes.insert(code).second) << code;
        if (magias.recNo() == magias.recordCount()) break;
    }
    EXPECT_GE(codes.size(), 3u);
    personagem.first();
    EXPECT_TRUE(codes.count(personagem.asString("Magia01")));
}

TEST(TemplateSet, EveryTileInCodeOrderWithItsPictures) {
    RecordTable tiles;
    openTable(tiles, kTilesFile, tilesSchema());
    tiles.first();
    std::set<int> cods;
    for (int code = 48; code <= 191; ++code, tiles.next()) {
        SCOPED_TRACE(code);
        const std::string tipo = tiles.asString("Tipo");
        ASSERT_EQ(tipo.size(), 1u);
        EXPECT_EQ(static_cast<unsigned char>(tipo[0]), code);
        const int cod = tiles.asInteger("Cod");
        EXPECT_GE(cod, 0);
        EXPECT_LE(cod, 146);
        EXPECT_TRUE(cods.insert(cod).second);
        const std::string file = tiles.asString("File");
        const Picture p = picture(file);
        EXPECT_EQ(p.size(), QSize(40, 40)) << file;
        if (tiles.asBoolean("Transparente")) {
            // drawn over the lower layer: the see-through colour is in the
            // bottom-left corner, and something is left to see
            const QRgb key = p.transparentColor();
            int opaque = 0;
            for (int y = 0; y < p.height(); ++y)
                for (int x = 0; x < p.width(); ++x) opaque += (p.image().pixel(x, y) & 0xFFFFFF) != (key & 0xFFFFFF);
            EXPECT_GT(opaque, 40) << file;
            EXPECT_LT(opaque, 40 * 40 - 40) << file;
        }
        if (code >= 180) {
            const std::string n = std::to_string(code - 179);
            EXPECT_EQ(picture("TileAni" + n + "02.bmp").size(), QSize(40, 40));
            EXPECT_EQ(picture("TileAni" + n + "03.bmp").size(), QSize(40, 40));
        }
    }
    // the new map's default and the first brush are plain ground tiles
    tiles.setFilter("Tipo = '0'");
    tiles.setFiltered(true);
    EXPECT_FALSE(tiles.asBoolean("Transparente"));
    tiles.setFilter("Tipo = 'G'");
    EXPECT_EQ(tiles.recordCount(), 1);
}

TEST(TemplateSet, EveryHeroFrameExistsAndDecodes) {
    RecordTable hero;
    openTable(hero, kPersonagemFile, personagemSchema());
    hero.first();
    int frames = 0;
    for (const FieldDef& f : personagemSchema()) {
        const bool frame = f.name.rfind("Face", 0) == 0 || f.name.rfind("An", 0) == 0;
        if (!frame) continue;
        const std::string name = hero.asString(f.name);
        ASSERT_FALSE(name.empty()) << f.name;
        EXPECT_FALSE(picture(name).isEmpty()) << f.name;
        ++frames;
    }
    EXPECT_EQ(frames, 5 + 12 + 3 + 5 + 7 + 4 + 3 + 6 + 3 + 3);
    // the walking frames carry the names the wizard gives the short-named copies
    EXPECT_EQ(hero.asString("AnAndando01Down"), "CharDown.bmp");
    EXPECT_EQ(hero.asString("AnAndando02Down"), "CharDown2.bmp");
    EXPECT_EQ(hero.asString("AnAndando03Right"), "CharRight3.bmp");
    EXPECT_EQ(hero.asString("AnAndando01Up"), "CharUp.bmp");
}

TEST(TemplateSet, EveryFixedFileTheWizardCopiesIsThere) {
    for (const char* image :
         {"ItemDef.bmp", "GameOver.bmp", "GameEnd.bmp", "Title.bmp", "null.bmp", "Image0.bmp", "grass.bmp"})
        EXPECT_FALSE(picture(image).isEmpty()) << image;
    EXPECT_EQ(picture("null.bmp").size(), QSize(40, 40));
    EXPECT_EQ(picture("Image0.bmp").size(), QSize(40, 40));
    for (const char* dir : {"Down", "Up", "Left", "Right"})
        for (const char* n : {"", "2", "3"}) {
            const std::string shortName = std::string("C") + dir + n + ".bmp";
            EXPECT_EQ(picture(shortName).size(), QSize(40, 40)) << shortName;
        }
    for (const char* sound : {"Battle.mp3", "BattleWin.mp3", "GameOver.mp3"}) {
        QFile f(inEditor(std::string("Data\\") + sound));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << sound;
        const QByteArray head = f.read(16);
        const bool id3 = head.startsWith("ID3");
        const bool frame =
            head.size() >= 2 && static_cast<uchar>(head[0]) == 0xFF && (static_cast<uchar>(head[1]) & 0xE0) == 0xE0;
        EXPECT_TRUE(id3 || frame) << sound;
        EXPECT_GT(f.size(), 1000) << sound;
    }
    for (const char* sound : {"Ataque.wav", "Menu.wav", "MenuSelect.wav"}) {
        QFile f(inEditor(std::string("Data\\") + sound));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << sound;
        const QByteArray all = f.readAll();
        ASSERT_GE(all.size(), 44) << sound;
        EXPECT_EQ(all.left(4), QByteArray("RIFF"));
        EXPECT_EQ(all.mid(8, 8), QByteArray("WAVEfmt "));
        EXPECT_EQ(qFromLittleEndian<quint16>(all.constData() + 20), 1) << sound;  // PCM
        EXPECT_EQ(qFromLittleEndian<quint32>(all.constData() + 40), static_cast<quint32>(all.size() - 44)) << sound;
    }
    for (const char* file : {"Data\\VeroviZBlue.dll", "Data\\bass.dll", "Data\\basscd.dll", "Data\\bassmidi.dll",
                             "Data\\basswma.dll", "Data\\Gen_VisDrawer.dll", "VeroviZBlue.dll"})
        EXPECT_TRUE(fileExists(inEditor(file))) << file;
    const QFileInfo runtime(inEditor("Data\\Vorpex.exe"));
    EXPECT_TRUE(runtime.isFile());
    EXPECT_TRUE(runtime.isExecutable());
}

TEST(TemplateSet, FillsTheTileCacheWithoutPlaceholders) {
    TDataModule1 data;
    data.cdsTiles.setFileName(inEditor(kTilesFile));
    data.cdsTiles.open();
    TileCache cache;
    cache.LoadImagens(data, editor(), editor());
    ASSERT_EQ(cache.count(), 147);
    const QImage placeholder = picture("null.bmp").image();
    for (int code = 48; code <= 191; ++code)
        EXPECT_NE(cache.PegaImg(data, static_cast<unsigned char>(code)).image(), placeholder) << code;
    // an upper-layer object is drawn see-through
    EXPECT_TRUE(cache.PegaImg(data, 120).transparent());
    EXPECT_EQ(qAlpha(cache.PegaImg(data, 120).drawImage().pixel(0, 39)), 0);
}

TEST(TemplateSet, FacesArePortraitsOnAPaintedBackdrop) {
    // Faces are drawn stretched and without a see-through colour (dialogue and
    // character dialogs, the hero portrait): no magenta may show, and a viewer
    // that does take the bottom-left pixel as see-through loses only the frame.
    for (int m = 1; m <= 5; ++m) {
        const std::string name = "Face0" + std::to_string(m) + ".bmp";
        const QImage img = picture(name).image().convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(img.isNull()) << name;
        const QRgb corner = img.pixel(0, img.height() - 1);
        int cornerInside = 0;
        QSet<QRgb> colours;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb c = img.pixel(x, y) & 0xFFFFFFu;
                EXPECT_NE(c, 0xFF00FFu) << name << " at " << x << "," << y;
                const bool border = x < 2 || y < 2 || x >= img.width() - 2 || y >= img.height() - 2;
                if (!border && c == (corner & 0xFFFFFFu)) ++cornerInside;
                colours.insert(c);
            }
        EXPECT_EQ(cornerInside, 0) << name;
        EXPECT_GT(colours.size(), 40) << name;  // a backdrop, not a flat fill
    }
}

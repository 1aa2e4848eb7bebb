// render draws each different cell once and copies it wherever it appears,
// one row of cells at a time. Its picture must be, pixel for pixel, the
// whole-map drawing the canvas code makes in one piece: checked on every map
// of the demonstration project, in each mode, and on cells that differ from
// one another in one thing only.
#include "CliRunner.h"
#include "ProjectFixture.h"

#include "model/core/MapFile.h"
#include "model/core/Paths.h"
#include "model/core/ProjectFile.h"
#include "model/database/DataModule.h"
#include "model/database/TileCache.h"
#include "model/mapedit/CellPainter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <gtest/gtest.h>

#include <vector>

using namespace quillmark;
using qmtest::runCli;

namespace {

// Text is drawn with fonts, which need a GUI application (offscreen).
void ensureGuiApplication() {
    static int argc = 1;
    static char name[] = "test_cli";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(argc, argv);
}

// The whole-map drawing of the canvas code, for a project's map.
QImage wholeDrawing(const QString& projectFolder, const QString& mapFile, CellMode mode, const ViewOptions& view) {
    TDataModule1 data;
    data.pointAt(data.cdsTiles, projectFolder);
    TileCache tiles;
    tiles.LoadImagens(data, projectFolder, qmtest::binFolder());
    MapGrid grid;
    Abrir(grid, mapFile);
    TileLookup lookup = TileLookup::fromTables(data, tiles);
    lookup.setCharacters(
        [projectFolder](const std::string& name) { return cellpaint::characterFrame(projectFolder, name); });
    return cellpaint::renderMap(grid, mode, view, lookup).convertToFormat(QImage::Format_RGB32);
}

}  // namespace

TEST(CliRenderBands, CellsThatDifferInOneThingOnlyAreEachDrawnAsThemselves) {
    ensureGuiApplication();
    qmtest::ProjectFixture p;
    // Two characters with pictures of their own.
    for (const auto& [name, frame] : {std::pair{"Ana", "CharDown.bmp"}, std::pair{"Bia", "CharLeft.bmp"}}) {
        ASSERT_TRUE(QDir(p.folder()).mkpath(QString("Imagens/") + name));
        ASSERT_TRUE(
            QFile::copy(qmtest::binFolder() + "/Imagens/" + frame, p.folder() + "Imagens/" + name + "/CharDown01.bmp"));
    }
    // Row by row, each cell repeats the one before it but for one thing: the
    // ground under a transparent tree (or under an opaque tile, where it does
    // not show), the mark, the kind of event, the character and its speed.
    MapGrid g;
    g.newGrid(6);
    const unsigned char tree = 120, grass = 48, sand = 54, water = 72;
    for (int c = 1; c <= 6; ++c) {
        g.setTipo(1, c, tree);
        g.setFundo(1, c, c % 2 ? grass : sand);
        g.setTipo(2, c, water);
        g.setFundo(2, c, c % 2 ? grass : sand);
        g.setXO(3, c, c % 2 ? 'X' : 'O');
    }
    const char* events[] = {"NULL",          "OnActionPress>ShowMessage:Oi&",
                            "AddChar:Ana|1", "AddChar:Bia|1",
                            "AddChar:Bia|3", "AddChar:Ninguem|1"};
    for (int c = 1; c <= 6; ++c) {
        g.setEvento(4, c, events[c - 1]);
        g.setTipo(5, c, tree);
        g.setEvento(5, c, events[c - 1]);
    }
    g.setEvento(6, 6, "AddChar:Ana|1");
    p.addMap("Vila.xml", g);
    const QString mapFile = p.folder() + "Mapas/Vila.xml";

    const std::pair<const char*, CellMode> modes[] = {
        {"upper", CellMode::Upper}, {"lower", CellMode::Lower}, {"events", CellMode::Events}};
    for (const auto& [modeName, mode] : modes)
        for (const int options : {0, 1, 2, 3}) {
            SCOPED_TRACE(std::string(modeName) + " options " + std::to_string(options));
            ViewOptions view;
            view.eventos = !(options & 1);
            view.objetos = !(options & 2);
            QStringList args{"render", p.projectFile(), "Vila.xml", p.folder() + "out.png", "--mode", modeName};
            if (!view.eventos) args << "--no-events";
            if (!view.objetos) args << "--no-objects";
            const auto r = runCli(args);
            ASSERT_EQ(r.status, 0) << r.errText();
            const QImage whole = wholeDrawing(p.folder(), mapFile, mode, view);
            const QImage rendered = QImage(p.folder() + "out.png").convertToFormat(QImage::Format_RGB32);
            ASSERT_EQ(rendered.size(), QSize(240, 240));
            EXPECT_TRUE(rendered == whole);
        }
    // The characters' pictures did show, and differ: the cells above are not all alike.
    const QImage upper = wholeDrawing(p.folder(), mapFile, CellMode::Upper, ViewOptions());
    EXPECT_NE(upper.copy(80, 120, 40, 40), upper.copy(120, 120, 40, 40));
    EXPECT_NE(upper.copy(80, 120, 40, 40), upper.copy(0, 120, 40, 40));
}

TEST(CliRenderBands, AMapOfThousandsOfDifferentCells) {
    // More different cells than render keeps: the later ones are drawn where
    // they stand, between cells taken from those kept.
    ensureGuiApplication();
    qmtest::ProjectFixture p;
    TDataModule1 data;
    data.pointAt(data.cdsTiles, p.folder());
    std::vector<unsigned char> transparent;
    for (int code = 48; code <= 191; ++code)
        if (data.VerificaTransparencia(static_cast<unsigned char>(code)))
            transparent.push_back(static_cast<unsigned char>(code));
    ASSERT_GE(transparent.size(), 4u);
    MapGrid g;
    g.newGrid(70);
    int k = 0;
    for (int r = 1; r <= 70; ++r)
        for (int c = 1; c <= 70; ++c, ++k) {
            // the first 4900 cells all differ while the combinations last, then repeat
            const int t = k % static_cast<int>(transparent.size());
            const int rest = k / static_cast<int>(transparent.size());
            g.setTipo(r, c, transparent[static_cast<size_t>(t)]);
            g.setFundo(r, c, static_cast<unsigned char>(48 + rest % 144));
            g.setXO(r, c, (rest / 144) % 2 ? 'X' : 'O');
        }
    p.addMap("Vila.xml", g);
    const auto r = runCli({"render", p.projectFile(), "Vila.xml", p.folder() + "out.png", "--mode", "events"});
    ASSERT_EQ(r.status, 0) << r.errText();
    const QImage whole = wholeDrawing(p.folder(), p.folder() + "Mapas/Vila.xml", CellMode::Events, ViewOptions());
    const QImage rendered = QImage(p.folder() + "out.png").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(rendered.size(), QSize(2800, 2800));
    EXPECT_TRUE(rendered == whole);
}

TEST(CliRenderBands, EveryDemoMapMatchesTheWholeMapDrawingPixelForPixel) {
    ensureGuiApplication();
    qmtest::TempDir dir;
    const QString folder = dir.file("Demo");
    ASSERT_EQ(runCli({"demo", folder}).status, 0);
    const QString projectFile = folder + "/" + QDir(folder).entryList({"*.qmk"}).value(0);
    ProjectState project;
    readProjectFile(projectFile, project);
    ASSERT_FALSE(project.MapList.empty());

    TDataModule1 data;
    data.pointAt(data.cdsTiles, project.ProjectFolder);
    TileCache tiles;
    tiles.LoadImagens(data, project.ProjectFolder, qmtest::binFolder());

    const std::pair<const char*, CellMode> modes[] = {
        {"upper", CellMode::Upper}, {"lower", CellMode::Lower}, {"events", CellMode::Events}};
    int compared = 0;
    for (const QString& mapFile : project.MapList) {
        MapGrid grid;
        Abrir(grid, mapFile);
        const QString mapName = QFileInfo(mapFile).fileName();
        for (const auto& [modeName, mode] : modes) {
            ViewOptions view;
            view.cordenadas = mode == CellMode::Events;  // the letters of every kind, somewhere
            QStringList args{"render", projectFile, mapName, dir.file("out.png"), "--mode", modeName};
            if (view.cordenadas) args << "--coordinates";
            const auto r = runCli(args);
            ASSERT_EQ(r.status, 0) << r.errText();

            TileLookup lookup = TileLookup::fromTables(data, tiles);
            const QString projectFolder = project.ProjectFolder;
            lookup.setCharacters(
                [projectFolder](const std::string& name) { return cellpaint::characterFrame(projectFolder, name); });
            const QImage whole = cellpaint::renderMap(grid, mode, view, lookup).convertToFormat(QImage::Format_RGB32);
            const QImage banded = QImage(dir.file("out.png")).convertToFormat(QImage::Format_RGB32);
            ASSERT_EQ(banded.size(), whole.size()) << mapName.toStdString() << " " << modeName;
            EXPECT_TRUE(banded == whole) << mapName.toStdString() << " " << modeName;
            ++compared;
        }
    }
    EXPECT_GE(compared, 3);
}

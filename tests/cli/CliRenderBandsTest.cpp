// render draws and encodes the map one row of cells at a time. Its picture
// must be, pixel for pixel, the whole-map drawing the canvas code makes in
// one piece: checked on every map of the demonstration project, in each mode.
#include "CliRunner.h"

#include "model/core/MapFile.h"
#include "model/core/Paths.h"
#include "model/core/ProjectFile.h"
#include "model/database/DataModule.h"
#include "model/database/TileCache.h"
#include "model/mapedit/CellPainter.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <gtest/gtest.h>

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

}  // namespace

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

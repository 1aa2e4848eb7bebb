// demo: the demonstration project the build puts in build/demo, made the way
// a game maker makes one: "Novo Projeto", "Novo Mapa" for each map, the maps
// painted and saved with the editor's writer, and a non-player character
// written with the character dialog's model.
#include "cli/Cli.h"
#include "cli/DemoMaps.h"
#include "cli/Project.h"

#include "core/Error.h"
#include "core/Files.h"
#include "core/MapFile.h"
#include "core/Paths.h"
#include "core/Picture.h"
#include "core/Text.h"
#include "database/MapSaving.h"
#include "events/Character.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>

namespace quillmark::cli {

namespace {

constexpr const char* kProjectFile = "ValeSereno.qmk";
constexpr const char* kProjectName = "Vale Sereno";

std::string cp1252(const std::string& utf8) {
    std::string out;
    utf8ToCp1252(utf8, &out);
    return out;
}

// The folder must be new, empty, or hold an earlier demo, which is replaced.
void prepareFolder(const QString& folder) {
    QDir dir(folder);
    if (!dir.exists()) return;
    if (dir.isEmpty()) return;
    if (!QFileInfo::exists(dir.filePath(kProjectFile)))
        throw Error("A pasta \"" + QDir::toNativeSeparators(folder).toStdString() +
                    "\" não está vazia e não guarda o projeto de demonstração");
    if (!dir.removeRecursively())
        throw Error("Não foi possível apagar o projeto de demonstração anterior em \"" +
                    QDir::toNativeSeparators(folder).toStdString() + "\"");
}

// Another villager from the hero's pictures: a green dress for the blue tunic
// and fair hair for the brown. The key colour (bottom-left pixel) stays.
QImage villager(const QImage& source) {
    QImage img = source.convertToFormat(QImage::Format_RGB32);
    const QRgb key = img.pixel(0, img.height() - 1);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            if (line[x] == key) continue;
            QColor c = QColor::fromRgb(line[x]);
            const int h = c.hsvHue();
            const double s = c.hsvSaturationF(), v = c.valueF();
            if (h >= 190 && h <= 250 && s > 0.25) {
                c.setHsvF(135 / 360.0, std::min(1.0, s * 0.9), std::min(1.0, v * 0.95));
            } else if (h >= 5 && h <= 40 && v < 0.62 && s > 0.3 && y < img.height() * 45 / 100) {
                c.setHsvF(44 / 360.0, std::min(1.0, s * 0.85), std::min(1.0, v * 1.55 + 0.08));
            } else {
                continue;
            }
            line[x] = c.rgb();
        }
    }
    return img;
}

Picture villagerPicture(const QString& projectFolder, const char* heroFile) {
    const Picture hero = Picture::fromFile(projectPath(projectFolder, std::string("Imagens\\") + heroFile));
    return Picture(villager(hero.image()));
}

// Lena stands by the well and talks about the cave.
void writeLena(const QString& projectFolder) {
    static const char* const kFrames[kCharacterPictureCount] = {
        "CharDown.bmp",  "CharDown2.bmp", "CharDown3.bmp",  "CharLeft.bmp",   "CharLeft2.bmp",
        "CharLeft3.bmp", "CharRight.bmp", "CharRight2.bmp", "CharRight3.bmp", "CharUp.bmp",
        "CharUp2.bmp",   "CharUp3.bmp",   "Face01.bmp",
    };
    Character lena;
    lena.name = "Lena";
    lena.speed = "2";
    for (int i = 0; i < kCharacterPictureCount; ++i) lena.pictures[i] = villagerPicture(projectFolder, kFrames[i]);
    lena.script = {"OnActionPress>",
                   cp1252("ShowDialog:FaceLena.bmp|Bom dia! Dizem que depois da floresta há uma caverna cheia de "
                          "cristais.&")};
    saveCharacter(projectFolder, lena);
    // Her face for the dialogues, where faces are looked up in "Imagens\".
    lena.pictures[kCharacterFaceIndex].SaveToFile(projectPath(projectFolder, std::string("Imagens\\FaceLena.bmp")));
}

}  // namespace

int cmdDemo(const Args& args) {
    args.requireCount(1);
    const QString folder = QFileInfo(pathArg(args.word(0))).absoluteFilePath();
    prepareFolder(folder);

    const auto ws = newWorkspace();
    createProjectFile(*ws, withTrailingSlash(folder) + kProjectFile, kProjectName, cp1252(kDefaultProjectAuthor));
    const QString projectFolder = ws->project.ProjectFolder;

    for (const demo::MapDesign& design : demo::demoMaps()) {
        addNewMap(*ws, cp1252(design.name));
        demo::paint(design, ws->grid);
        Salvar(ws->grid, projectFolder, ws->DataModule1);
    }
    writeLena(projectFolder);
    ws->DataModule1.closeAll();
    out("Projeto de demonstração gerado em " + QDir::toNativeSeparators(ws->project.ProjectFile).toStdString() + "\n");
    return kExitOk;
}

}  // namespace quillmark::cli

// demo: the demonstration project the build puts in build/demo, made the way
// a game maker makes one: "Novo Projeto", "Novo Mapa" for each map, the maps
// painted and saved with the editor's writer, and the non-player characters
// written with the character dialog's model.
#include "apps/cli/Cli.h"
#include "apps/cli/DemoMaps.h"
#include "apps/cli/Project.h"

#include "model/core/Error.h"
#include "model/core/Files.h"
#include "model/core/MapFile.h"
#include "model/core/Paths.h"
#include "model/core/Picture.h"
#include "model/core/Text.h"
#include "model/database/MapSaving.h"
#include "model/events/Character.h"

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

// How a villager differs from the hero: the colour the blue tunic takes and
// what becomes of the brown hair.
struct Look {
    int tunicHue = 135;  // degrees
    double tunicSaturation = 0.9, tunicValue = 0.95;
    int hairHue = 44;
    double hairSaturation = 0.85, hairValue = 1.55, hairLift = 0.08;
};

// Another villager from the hero's pictures. The key colour (bottom-left pixel) stays.
QImage villager(const QImage& source, const Look& look) {
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
                c.setHsvF(look.tunicHue / 360.0, std::min(1.0, s * look.tunicSaturation),
                          std::min(1.0, v * look.tunicValue));
            } else if (h >= 5 && h <= 40 && v < 0.62 && s > 0.3 && y < img.height() * 45 / 100) {
                c.setHsvF(look.hairHue / 360.0, std::min(1.0, s * look.hairSaturation),
                          std::min(1.0, v * look.hairValue + look.hairLift));
            } else {
                continue;
            }
            line[x] = c.rgb();
        }
    }
    return img;
}

Picture villagerPicture(const QString& projectFolder, const char* heroFile, const Look& look) {
    const Picture hero = Picture::fromFile(projectPath(projectFolder, std::string("Imagens\\") + heroFile));
    return Picture(villager(hero.image(), look));
}

// A villager of the demo: the character folder, and the face beside the other
// faces in "Imagens\", where dialogues look faces up.
void writeVillager(const QString& projectFolder, const char* name, const char* speed, const char* heroFace,
                   const Look& look, const std::vector<std::string>& scriptUtf8) {
    static const char* const kFrames[kCharacterPictureCount] = {
        "CharDown.bmp",  "CharDown2.bmp", "CharDown3.bmp",  "CharLeft.bmp",   "CharLeft2.bmp",
        "CharLeft3.bmp", "CharRight.bmp", "CharRight2.bmp", "CharRight3.bmp", "CharUp.bmp",
        "CharUp2.bmp",   "CharUp3.bmp",   nullptr,
    };
    Character c;
    c.name = name;
    c.speed = speed;
    for (int i = 0; i < kCharacterPictureCount; ++i)
        c.pictures[i] = villagerPicture(projectFolder, kFrames[i] ? kFrames[i] : heroFace, look);
    for (const std::string& line : scriptUtf8) c.script.push_back(cp1252(line));
    saveCharacter(projectFolder, c);
    c.pictures[kCharacterFaceIndex].SaveToFile(
        projectPath(projectFolder, std::string("Imagens\\Face") + name + ".bmp"));
}

// The three villagers of Vale Sereno.
void writeVillagers(const QString& projectFolder) {
    // Lena stands by the well and tells the news.
    writeVillager(projectFolder, "Lena", "2", "Face01.bmp", Look{},
                  {"OnActionPress>",
                   "ShowDialog:FaceLena.bmp|Bom dia, viajante! Amanhã é a Festa da Colheita e está quase tudo "
                   "pronto.&",
                   "ShowDialog:FaceLena.bmp|Só falta achar o gato do Pedro... e o velho Tomás jura que vem "
                   "tempestade. Ele está na horta, depois do portão.&"});
    // Pedro runs about the square looking for his cat.
    writeVillager(projectFolder, "Pedro", "12", "Face04.bmp", Look{28, 1.0, 1.05, 20, 1.0, 0.8, 0.0},
                  {"OnActionPress>",
                   "ShowDialog:FacePedro.bmp|Você viu o Bolinha? É um gato cinzento! Da última vez ele foi "
                   "dormir perto do lago.&"});
    // Old Tomás minds his garden and his scarecrow, and opens his house to the hero.
    writeVillager(projectFolder, "Tomas", "1", "Face03.bmp", Look{8, 0.8, 0.8, 40, 0.1, 1.6, 0.2},
                  {"OnActionPress>",
                   "ShowDialog:FaceTomas.bmp|Meu espantalho nunca erra: quando ele range, vem tempestade!&",
                   "IniciaChuva:", "ShowDialog:FaceTomas.bmp|Está vendo? Já começou a chover. Ninguém me escuta...&",
                   "ShowDialog:FaceTomas.bmp|Vai para a floresta? Passe antes na minha casa, deixei a porta "
                   "aberta para você.&",
                   "LigarInterruptor:1&"});
}

}  // namespace

int cmdDemo(const Args& args) {
    args.requireCount(1);
    const QString folder = QFileInfo(pathArg(args.word(0))).absoluteFilePath();
    prepareFolder(folder);

    const auto ws = newWorkspace();
    createProjectFile(*ws, withTrailingSlash(folder) + kProjectFile, kProjectName, cp1252(kDefaultProjectAuthor));
    const QString projectFolder = ws->project.ProjectFolder;
    // The hero starts at the inn's door (row 5, column 4), written with the first map.
    ws->project.CharX = 40 * 4 + 120;
    ws->project.CharY = 40 * 5 + 20;

    for (const demo::MapDesign& design : demo::demoMaps()) {
        addNewMap(*ws, cp1252(design.name));
        demo::paint(design, ws->grid);
        Salvar(ws->grid, projectFolder, ws->DataModule1);
    }
    writeVillagers(projectFolder);
    demo::writeBattles(ws->DataModule1, projectFolder);
    ws->DataModule1.closeAll();
    out("Projeto de demonstração gerado em " + QDir::toNativeSeparators(ws->project.ProjectFile).toStdString() + "\n");
    return kExitOk;
}

}  // namespace quillmark::cli

#include "model/project/ProjectCreation.h"

#include "model/core/Error.h"
#include "model/core/Files.h"
#include "model/core/MapTree.h"
#include "model/core/Paths.h"
#include "model/core/ProjectFile.h"
#include "model/database/DataModule.h"

#include <QDir>
#include <QFileInfo>

namespace quillmark {

namespace {

// A name read from a table that names a file directly in "Imagens\": no folder
// part, so a copy never reads or writes outside the two "Imagens" folders.
bool isPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find('/') == std::string_view::npos && name.find('\\') == std::string_view::npos;
}

// The copies of one creation: made without a sync each, synced once at the end.
struct Copier {
    QString editor;
    QString project;
    CopyBatch batch{project};

    void copy(std::string_view source, std::string_view destination) {
        batch.copyWithoutReplacing(projectPath(editor, source), projectPath(project, destination));
    }
    void copyPicture(const std::string& file) {
        if (!isPlainFileName(file)) return;
        const std::string relative = "Imagens\\" + file;
        copy(relative, relative);
    }
};

RecordTable& tableFor(TDataModule1& data, std::string_view relative) {
    for (RecordTable* t : {&data.cdsTiles, &data.cdsMonstros, &data.cdsItens, &data.cdsMagias, &data.cdsPersonagem})
        if (relative == data.relativeFileOf(*t)) return *t;
    return data.cdsTiles;  // not reached: every template table has its holder
}

QString absoluteProjectFile(const QString& file) {
    QFileInfo info(file);
    if (info.isAbsolute()) return QDir::fromNativeSeparators(file);
    return QDir::fromNativeSeparators(info.absoluteFilePath());
}

// The tile pictures: 147 passes from the first record of the tiles table. A
// table with fewer records repeats its last record, which copies nothing new.
void copyTilePictures(TDataModule1& data, Copier& copier) {
    RecordTable& tiles = data.cdsTiles;
    tiles.setFiltered(false);
    tiles.first();
    if (tiles.isEmpty()) return;
    for (int pass = 0; pass < kTilePasses; ++pass) {
        copier.copyPicture(tiles.asString("File"));
        const std::string tipo = tiles.asString("Tipo");
        if (tipo.size() == 1) {
            const std::vector<std::string> frames = animatedTileFrames(static_cast<unsigned char>(tipo[0]));
            if (!frames.empty()) {
                // Both frames or neither.
                bool both = true;
                for (const std::string& frame : frames)
                    both = both && fileExists(projectPath(copier.editor, "Imagens\\" + frame));
                if (both)
                    for (const std::string& frame : frames) copier.copyPicture(frame);
            }
        }
        tiles.next();
    }
}

void copyHeroFrames(TDataModule1& data, Copier& copier) {
    RecordTable& hero = data.cdsPersonagem;
    if (hero.isEmpty()) return;
    for (const std::string& field : heroFrameFields()) copier.copyPicture(hero.asString(field));
}

}  // namespace

const std::vector<std::string>& projectFolders() {
    static const std::vector<std::string> folders{"Mapas\\", "Imagens\\", "Sounds\\", "Data\\", "Saves\\"};
    return folders;
}

const std::vector<std::string>& templateTables() {
    static const std::vector<std::string> tables{kTilesFile, kMonstrosFile, kItensFile, kMagiasFile, kPersonagemFile};
    return tables;
}

const std::vector<TemplateCopy>& fixedTemplateFiles() {
    static const std::vector<TemplateCopy> files = [] {
        std::vector<TemplateCopy> list{
            {"Data\\Battle.mp3", "Sounds\\Battle.mp3"},
            {"Data\\Ataque.wav", "Sounds\\Ataque.wav"},
            {"Data\\BattleWin.mp3", "Sounds\\BattleWin.mp3"},
            {"Data\\GameOver.mp3", "Sounds\\GameOver.mp3"},
            {"Data\\Menu.wav", "Sounds\\Menu.wav"},
            {"Data\\MenuSelect.wav", "Sounds\\MenuSelect.wav"},
            {"Imagens\\ItemDef.bmp", "Imagens\\ItemDef.bmp"},
            {"Imagens\\GameOver.bmp", "Imagens\\GameOver.bmp"},
            {"Imagens\\GameEnd.bmp", "Imagens\\GameEnd.bmp"},
            {"Imagens\\Title.bmp", "Imagens\\Title.bmp"},
            {"Data\\VeroviZBlue.dll", "Data\\VeroviZ.dll"},
            {"Data\\bass.dll", "bass.dll"},
            {"Data\\basscd.dll", "basscd.dll"},
            {"Data\\bassmidi.dll", "bassmidi.dll"},
            {"Data\\basswma.dll", "basswma.dll"},
            {"Data\\Gen_VisDrawer.dll", "Gen_VisDrawer.dll"},
        };
        // The walking frames keep short names beside the editor.
        for (const char* direction : {"Down", "Up", "Left", "Right"}) {
            for (const char* step : {"", "2", "3"}) {
                list.push_back({std::string("Imagens\\C") + direction + step + ".bmp",
                                std::string("Imagens\\Char") + direction + step + ".bmp"});
            }
        }
        return list;
    }();
    return files;
}

const std::vector<std::string>& heroFrameFields() {
    static const std::vector<std::string> fields = [] {
        std::vector<std::string> list;
        const std::pair<const char*, int> groups[] = {
            {"Face", 5},       {"AnMorto", 3},  {"AnBatParado", 5}, {"AnBatAtacar", 7},
            {"AnBatGolpe", 4}, {"AnBatDef", 3}, {"AnBatMagic", 6},  {"AnBatAting", 3},
        };
        for (const auto& [prefix, count] : groups) {
            for (int i = 1; i <= count; ++i) {
                std::string number = std::to_string(i);
                if (number.size() < 2) number.insert(0, "0");
                list.push_back(prefix + number);
            }
        }
        return list;
    }();
    return fields;
}

std::vector<std::string> animatedTileFrames(unsigned char code) {
    if (code < 180 || code > 191) return {};
    const std::string base = "TileAni" + std::to_string(code - 179);
    return {base + "02.bmp", base + "03.bmp"};
}

bool canCreateProject(std::string_view name, const QString& projectFile) {
    return !name.empty() && !projectFile.trimmed().isEmpty();
}

void createProject(const NewProjectRequest& request, TDataModule1& data, ProjectState& project, MapTree& tree,
                   const std::function<void()>& afterFolders) {
    const QString editor = withTrailingSlash(QDir::fromNativeSeparators(request.editorFolder));

    // The project state of a project without maps.
    project.clear();
    project.ProjectFile = absoluteProjectFile(request.projectFile);
    project.ProjectName = request.name;
    project.ProjectAuthor = request.author;
    project.CharX = kNewProjectCharX;
    project.CharY = kNewProjectCharY;
    project.ProjectFolder = folderOf(project.ProjectFile);
    const QString folder = project.ProjectFolder;

    // A folder that is not there stops the creation before anything is made.
    if (!QFileInfo(folder).isDir())
        throw Error(formatMessage("Cannot create file \"%s\". No such file or directory",
                                  {QDir::toNativeSeparators(project.ProjectFile).toStdString()}));
    // Nothing is written through a link leading out of the project folder:
    // the project file and the five folders are checked before anything is made.
    checkWriteInsideProject(folder, project.ProjectFile);
    for (const std::string& sub : projectFolders()) checkWriteInsideProject(folder, projectPath(folder, sub));
    for (const std::string& sub : projectFolders()) makeFolder(projectPath(folder, sub), folder);
    if (afterFolders) afterFolders();

    // Each destination is found in a listing of its folder read once (and
    // kept up to date by the copies), not by listing the folder per file.
    FolderListingScope listings;
    Copier copier{editor, folder};

    // Each table is copied, then reopened from the project's copy.
    for (const std::string& relative : templateTables()) {
        copier.copy(relative, relative);
        data.pointAt(tableFor(data, relative), folder);
    }

    project.RuntimePath = runtimePathFor(folder, project.ProjectFile);
    copier.batch.copyWithoutReplacing(projectPath(editor, std::string_view("Data\\Vorpex.exe")), project.RuntimePath);
    copier.copy("VeroviZBlue.dll", "Data\\VeroviZ.dll");
    copier.copy("Imagens\\null.bmp", "Imagens\\null.bmp");

    copyTilePictures(data, copier);
    for (const TemplateCopy& copy : fixedTemplateFiles()) copier.copy(copy.source, copy.destination);
    copyHeroFrames(data, copier);
    copier.batch.finish();

    tree.CriaProjeto(project.ProjectName);
    // The project file comes last: until it exists there is no project to
    // open, and a creation cut short is finished by creating it again (the
    // copies made keep their files, the missing ones are made).
    writeProjectFile(project);
}

}  // namespace quillmark

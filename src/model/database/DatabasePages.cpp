#include "model/database/DatabasePages.h"

#include "model/core/Error.h"
#include "model/core/Files.h"
#include "model/core/Names.h"
#include "model/core/Paths.h"
#include "model/core/Text.h"
#include "model/database/DataModule.h"

#include <QDir>
#include <algorithm>
#include <limits>

namespace quillmark {

namespace {
bool editingState(const RecordTable& t) { return t.active() && t.editing(); }
}  // namespace

std::vector<std::string> rebuildRecordList(RecordTable& table) {
    std::vector<std::string> names;
    if (!table.active()) return names;
    // the move to the first record commits a pending edit, so the names are
    // read after it: a record just named or renamed is listed as it now is
    table.first();
    names = table.values("Nome");
    return names;
}

bool selectRecordByName(RecordTable& table, std::string_view name) {
    table.first();  // commits a pending edit first, as every move does
    const std::vector<std::string> names = table.values("Nome");
    const auto it = std::find(names.begin(), names.end(), name);
    if (it == names.end()) {
        if (!names.empty()) table.last();
        return false;
    }
    table.setRecNo(static_cast<int>(it - names.begin()) + 1);
    return true;
}

QString recordFolder(const QString& projectFolder, std::string_view name, std::string_view what) {
    checkFolderName(name, what);
    std::string rel = "Imagens\\";
    rel += name;
    rel += '\\';
    return projectPath(projectFolder, std::string_view(rel));
}

QString recordFile(const QString& projectFolder, std::string_view name, std::string_view file, std::string_view what) {
    return projectPath(recordFolder(projectFolder, name, what), std::string_view(file));
}

void makeRecordFolder(const QString& projectFolder, std::string_view name, std::string_view what) {
    const QString folder = recordFolder(projectFolder, name, what);
    makeFolder(folder, projectFolder);  // nothing to do when it exists; refused through a link out
}

QString shownPicturePath(const QString& projectFolder, std::string_view name, std::string_view file) {
    if (!file.empty() && folderNameProblem(name, kItem).empty() && file.find('/') == std::string_view::npos &&
        file.find('\\') == std::string_view::npos) {
        const QString path = recordFile(projectFolder, name, file, kItem);
        if (fileExists(path)) return path;
    }
    return placeholderPath(projectFolder);
}

Picture loadShownPicture(const QString& path) {
    Picture p;
    if (!fileExists(path)) return p;
    try {
        p.LoadFromFile(path);
    } catch (const Error&) {
        p.clear();
    }
    return p;
}

void writeRecordPicture(const Picture& picture, const QString& projectFolder, std::string_view name,
                        std::string_view file, std::string_view what) {
    if (file.empty() || file.find('/') != std::string_view::npos || file.find('\\') != std::string_view::npos)
        throw Error(formatMessage("O nome de arquivo \"%s\" não pode ser usado para a figura.", {cp1252ToUtf8(file)}));
    const QString path = recordFile(projectFolder, name, file, what);
    if (!folderExists(folderOf(path)))
        throw Error(
            formatMessage("Cannot create file \"%s\". %s", {QDir::toNativeSeparators(path).toStdString(),
                                                            "O sistema não pode encontrar o caminho especificado"}));
    checkWriteInsideProject(projectFolder, path);
    picture.SaveToFile(path);
}

GameEntries gameEntriesFrom(const ProjectState& state) {
    return {state.ProjectName, state.ProjectAuthor, state.InitialMap, std::to_string(state.CharX),
            std::to_string(state.CharY)};
}

void takeGameEntries(ProjectState& state, const GameEntries& entries) {
    const int x = parseIntegerValue(entries.x);
    const int y = parseIntegerValue(entries.y);
    state.CharX = x;
    state.CharY = y;
    state.InitialMap = entries.mapaInicial;
    state.ProjectName = entries.nome;
    state.ProjectAuthor = entries.autor;
    writeProjectFile(state);  // SalvaProjeto
}

void heroEntered(RecordTable& hero) { hero.edit(); }

void heroLeft(RecordTable& hero) {
    if (editingState(hero)) hero.post();
}

void heroOnClose(RecordTable& hero) {
    if (hero.active() && hero.state() == RecordTable::State::Edit) hero.post();
}

void monstersEntered(RecordTable& monsters, const QString& projectFolder) {
    if (monsters.active()) return;
    monsters.setFileName(projectPath(projectFolder, std::string_view(kMonstrosFile)));
    monsters.open();
}

void monstersLeft(RecordTable& monsters) {
    if (editingState(monsters)) monsters.post();
    monsters.close();
}

QString damageLabelFor(int tipoMagia) {
    switch (tipoMagia) {
    case 1:
        return QStringLiteral("      HP Recuperado:");
    case 2:
        return QStringLiteral("      MP Recuperado:");
    default:
        return QStringLiteral("Dano Causado (HP):");
    }
}

std::string stepIntegerText(std::string_view text, int delta) {
    const long long v = static_cast<long long>(parseIntegerValue(text)) + delta;
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        throw Error(formatMessage("'%s' is not a valid integer value", {std::to_string(v)}));
    return std::to_string(v);
}

}  // namespace quillmark

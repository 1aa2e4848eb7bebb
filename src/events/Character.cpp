#include "events/Character.h"

#include "core/Error.h"
#include "core/Files.h"
#include "core/Paths.h"
#include "core/Text.h"
#include "events/EventScript.h"

namespace quillmark {

namespace {

bool isReservedDeviceName(std::string_view name) {
    // the part before the first dot counts: "con.txt" is as reserved as "con"
    const std::string base = asciiLower(name.substr(0, name.find('.')));
    static constexpr std::string_view kReserved[] = {"con", "prn", "aux", "nul"};
    for (std::string_view r : kReserved)
        if (base == r) return true;
    if (base.size() == 4 && (base.compare(0, 3, "com") == 0 || base.compare(0, 3, "lpt") == 0) && base[3] >= '1' &&
        base[3] <= '9')
        return true;
    return false;
}

std::string quoted(std::string_view name) { return "\"" + cp1252ToUtf8(name) + "\""; }

}  // namespace

std::string characterNameProblem(std::string_view name) {
    if (name.empty()) return "Digite o nome do personagem.";
    if (name == "." || name == "..") return "O nome " + quoted(name) + " não pode ser usado como nome de personagem.";
    for (char ch : name) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F) return "O nome do personagem não pode conter caracteres de controle.";
        if (std::string_view("\\/:*?\"<>|").find(ch) != std::string_view::npos)
            return "O nome do personagem não pode conter nenhum destes caracteres: \\ / : * ? \" < > |";
    }
    if (name.back() == ' ' || name.back() == '.' || name.front() == ' ')
        return "O nome do personagem não pode começar com espaço nem terminar com espaço ou ponto.";
    if (isReservedDeviceName(name))
        return "O nome " + quoted(name) + " é reservado pelo sistema e não pode ser usado como nome de personagem.";
    return {};
}

void checkCharacterName(std::string_view name) {
    const std::string problem = characterNameProblem(name);
    if (!problem.empty()) throw Error(problem);
}

QString characterFolder(const QString& projectFolder, std::string_view name) {
    std::string rel = "Imagens\\";
    rel += name;
    rel += '\\';
    return projectPath(projectFolder, std::string_view(rel));
}

QString characterFile(const QString& projectFolder, std::string_view name, std::string_view file) {
    std::string rel = "Imagens\\";
    rel += name;
    rel += '\\';
    rel += file;
    return projectPath(projectFolder, std::string_view(rel));
}

bool characterExists(const QString& projectFolder, std::string_view name) {
    return !name.empty() && folderExists(characterFolder(projectFolder, name));
}

QString nullPicturePath(const QString& projectFolder) {
    return projectPath(projectFolder, std::string_view("Imagens\\null.bmp"));
}

std::string Character::event() const { return AddCharCommand(name, speed); }

Character newCharacter(const QString& projectFolder) {
    Character c;
    const Picture null = Picture::fromFile(nullPicturePath(projectFolder));
    for (Picture& p : c.pictures) p = null;
    return c;
}

Character loadCharacter(const QString& projectFolder, std::string_view name, std::string_view speed) {
    Character c;
    c.name = std::string(name);
    c.speed = std::string(speed);
    Picture null;  // read once, the first time a picture is missing
    for (int i = 0; i < kCharacterPictureCount; ++i) {
        const QString path = characterFile(projectFolder, name, kCharacterPictureFiles[i]);
        if (!name.empty() && fileExists(path)) {
            c.pictures[i] = Picture::fromFile(path);
        } else {
            if (null.isEmpty()) null = Picture::fromFile(nullPicturePath(projectFolder));
            c.pictures[i] = null;
        }
    }
    const QString script = characterFile(projectFolder, name, kCharacterScriptFile);
    if (!name.empty() && fileExists(script)) c.script = loadScriptFile(script);
    return c;
}

Character characterForEvent(const QString& projectFolder, std::string_view eventText) {
    const AddCharArgs args = ParseAddChar(eventText);
    if (!args.isObject) return newCharacter(projectFolder);
    return loadCharacter(projectFolder, args.name, args.speed);
}

void saveCharacter(const QString& projectFolder, const Character& character) {
    checkCharacterName(character.name);
    const QString folder = characterFolder(projectFolder, character.name);
    if (!folderExists(folder)) makeFolder(folder);
    for (int i = 0; i < kCharacterPictureCount; ++i) {
        const Picture& picture = character.pictures[i];
        if (picture.isEmpty())
            throw Error(formatMessage("O personagem não tem a figura %s", {std::string(kCharacterPictureFiles[i])}));
        picture.SaveToFile(characterFile(projectFolder, character.name, kCharacterPictureFiles[i]));
    }
    saveScriptFile(characterFile(projectFolder, character.name, kCharacterScriptFile), character.script);
}

}  // namespace quillmark

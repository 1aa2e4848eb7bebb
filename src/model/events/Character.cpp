#include "model/events/Character.h"

#include "model/core/Error.h"
#include "model/core/Files.h"
#include "model/core/Names.h"
#include "model/core/Paths.h"
#include "model/core/Text.h"
#include "model/events/EventScript.h"

namespace quillmark {

std::string characterNameProblem(std::string_view name) { return folderNameProblem(name, "personagem"); }

void checkCharacterName(std::string_view name) { checkFolderName(name, "personagem"); }

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
    // A name that reaches into another folder names no character of the
    // project: nothing is read from there.
    if (name.find_first_of("\\/:") != std::string_view::npos || name == "." || name == "..") checkCharacterName(name);
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
    makeFolder(folder, projectFolder);  // nothing to do when it exists; refused through a link out
    for (int i = 0; i < kCharacterPictureCount; ++i) {
        const Picture& picture = character.pictures[i];
        if (picture.isEmpty())
            throw Error(formatMessage("O personagem não tem a figura %s", {std::string(kCharacterPictureFiles[i])}));
    }
    // every target is checked before the first is written
    const QString script = characterFile(projectFolder, character.name, kCharacterScriptFile);
    for (int i = 0; i < kCharacterPictureCount; ++i)
        checkWriteInsideProject(projectFolder, characterFile(projectFolder, character.name, kCharacterPictureFiles[i]));
    checkWriteInsideProject(projectFolder, script);
    for (int i = 0; i < kCharacterPictureCount; ++i)
        character.pictures[i].SaveToFile(characterFile(projectFolder, character.name, kCharacterPictureFiles[i]));
    saveScriptFile(script, character.script);
}

}  // namespace quillmark

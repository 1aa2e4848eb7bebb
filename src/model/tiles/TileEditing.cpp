#include "model/tiles/TileEditing.h"

#include "model/core/Error.h"
#include "model/core/Files.h"
#include "model/core/Names.h"
#include "model/core/Paths.h"
#include "model/core/RecordTable.h"
#include "model/core/Text.h"
#include "model/database/TableRestriction.h"

#include <QDir>
#include <QFileInfo>

namespace quillmark {

namespace tiles {

bool isAnimated(unsigned char code) { return code >= kFirstAnimated && code <= kLastCode; }

int animationNumber(unsigned char code) { return isAnimated(code) ? code - (kFirstAnimated - 1) : 0; }

std::string animationFrameName(unsigned char code, int frame) {
    if (!isAnimated(code) || frame < 2 || frame > kAnimationFrames)
        throw Error(formatMessage("O tile %s não tem o quadro %s.", {std::to_string(code), std::to_string(frame)}));
    return "TileAni" + std::to_string(animationNumber(code)) + "0" + std::to_string(frame) + ".bmp";
}

std::string tipoFilter(unsigned char code) {
    std::string value(1, static_cast<char>(code));
    if (code == '\'') value = "''";
    return "Tipo = '" + value + "'";
}

void checkTileFileName(std::string_view file) {
    if (file.empty()) throw Error("O tile não tem nome de arquivo de imagem.");
    const bool folderPart = file.find_first_of("\\/:") != std::string_view::npos;
    if (folderPart || file.find("..") != std::string_view::npos)
        throw Error(formatMessage("O nome de arquivo \"%s\" do tile não pode indicar outra pasta; "
                                  "a imagem de um tile fica na pasta Imagens do projeto.",
                                  {cp1252ToUtf8(file)}));
    if (isReservedDeviceName(file)) throw Error(reservedNameMessage(file, "arquivo de imagem"));
    if (!isPlainFileName(file))
        throw Error(formatMessage("O nome de arquivo \"%s\" do tile não pode conter caracteres de controle nem "
                                  "nenhum destes caracteres: * ? \" < > |",
                                  {cp1252ToUtf8(file)}));
}

QString imagePath(const QString& projectFolder, std::string_view name) {
    return projectPath(projectFolder, "Imagens\\" + std::string(name));
}

Picture loadOrPlaceholder(const QString& path, const QString& editorFolder) {
    return Picture::fromFile(fileExists(path) ? path : placeholderPath(editorFolder));
}

namespace {

[[noreturn]] void cannotCreate(const QString& path, const char* reason) {
    throw Error(formatMessage("Cannot create file \"%s\". %s", {QDir::toNativeSeparators(path).toStdString(), reason}));
}

}  // namespace

void checkWritable(const QString& path, const QString& projectFolder) {
    checkWriteInsideProject(projectFolder, path);
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir()) cannotCreate(path, "No such file or directory");
    // the new content goes to a temporary file beside the target, then replaces it
    if (!folder.isWritable()) cannotCreate(path, "Permission denied");
    if (info.exists() || info.isSymLink()) {
        if (info.isDir()) cannotCreate(path, "Is a directory");
        if (!info.isFile()) cannotCreate(path, "Not a regular file");
        if (!info.isWritable()) cannotCreate(path, "Permission denied");
    }
}

void writePictures(const std::vector<PictureTarget>& targets, const QString& projectFolder) {
    std::vector<QByteArray> contents;
    contents.reserve(targets.size());
    for (const PictureTarget& target : targets) {
        const QByteArray format = Picture::writeFormatFor(target.path);
        if (format.isEmpty())
            throw Error(
                formatMessage("Unknown picture file extension (.%s)", {QFileInfo(target.path).suffix().toStdString()}));
        if (!target.picture || target.picture->isEmpty()) throw Error("O tile não tem figura para gravar.");
        contents.push_back(Picture::encode(target.picture->image(), format));
    }
    for (const PictureTarget& target : targets) checkWritable(target.path, projectFolder);
    for (size_t i = 0; i < targets.size(); ++i) writeFileAtomic(targets[i].path, contents[i]);
}

void postTransparency(RecordTable& tiles, unsigned char code, bool transparent) {
    TableRestriction restriction(tiles, true);

    restriction.restrict(tipoFilter(code));
    if (tiles.isEmpty())
        throw Error(formatMessage("Nenhum tile tem o código %s.", {std::to_string(static_cast<int>(code))}));
    tiles.edit();
    tiles.setBoolean("Transparente", transparent);
    tiles.post();
}

}  // namespace tiles

TileEdit TileEdit::open(RecordTable& tiles, const QString& projectFolder, const QString& editorFolder, bool animated) {
    if (!tiles.active() || tiles.isEmpty()) throw Error("Nenhum tile foi escolhido para editar.");
    TileEdit edit;
    const std::string tipo = tiles.asString("Tipo");
    if (tipo.size() != 1) throw Error(formatMessage("O código de tile \"%s\" não é válido.", {cp1252ToUtf8(tipo)}));
    edit.code = static_cast<unsigned char>(tipo[0]);
    edit.file = tiles.asString("File");
    edit.transparent = tiles.asBoolean("Transparente");
    tiles::checkTileFileName(edit.file);
    if (animated && !tiles::isAnimated(edit.code))
        throw Error(formatMessage("O tile %s não é animado.", {std::to_string(static_cast<int>(edit.code))}));

    edit.names.push_back(edit.file);
    if (animated)
        for (int frame = 2; frame <= tiles::kAnimationFrames; ++frame)
            edit.names.push_back(tiles::animationFrameName(edit.code, frame));
    for (const std::string& name : edit.names)
        edit.pictures.push_back(tiles::loadOrPlaceholder(tiles::imagePath(projectFolder, name), editorFolder));
    return edit;
}

void TileEdit::store(RecordTable& tiles, const QString& projectFolder) const {
    tiles::checkTileFileName(file);
    std::vector<tiles::PictureTarget> targets;
    for (size_t i = 0; i < names.size() && i < pictures.size(); ++i)
        targets.push_back({tiles::imagePath(projectFolder, names[i]), &pictures[i]});
    tiles::writePictures(targets, projectFolder);
    tiles::postTransparency(tiles, code, transparent);
}

}  // namespace quillmark

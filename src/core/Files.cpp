#include "core/Files.h"

#include "core/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace quillmark {

void writeFileAtomic(const QString& path, const QByteArray& content) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Error(formatMessage("Cannot create file \"%s\". %s",
                                  {QDir::toNativeSeparators(path).toStdString(), file.errorString().toStdString()}));
    if (file.write(content) != content.size()) {
        std::string reason = file.errorString().toStdString();
        file.cancelWriting();
        throw Error(
            formatMessage("Cannot write file \"%s\". %s", {QDir::toNativeSeparators(path).toStdString(), reason}));
    }
    // A write that the disk cut short (full disk, file size limit) only shows
    // when the buffer is flushed, and commit() alone does not notice it.
    if (!file.flush()) {
        const int sysError = errno;
        std::string reason = sysError ? std::string(std::strerror(sysError)) : file.errorString().toStdString();
        file.cancelWriting();
        throw Error(
            formatMessage("Cannot write file \"%s\". %s", {QDir::toNativeSeparators(path).toStdString(), reason}));
    }
    if (!file.commit())
        throw Error(formatMessage("Cannot write file \"%s\". %s",
                                  {QDir::toNativeSeparators(path).toStdString(), file.errorString().toStdString()}));
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(formatMessage("Cannot open file \"%s\". %s",
                                  {QDir::toNativeSeparators(path).toStdString(), file.errorString().toStdString()}));
    return file.readAll();
}

bool copyWithoutReplacing(const QString& src, const QString& dst) {
    if (QFileInfo::exists(dst)) return false;
    QFileInfo info(src);
    if (!info.exists() || !info.isFile()) return false;
    return QFile::copy(src, dst);
}

void makeFolder(const QString& path) {
    if (QFileInfo(path).isDir()) return;
    if (!QDir().mkpath(path))
        throw Error(formatMessage("Cannot create folder \"%s\"", {QDir::toNativeSeparators(path).toStdString()}));
}

}  // namespace quillmark

#include "TempDir.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace qmtest {

void TempDir::write(const QString& relative, const QByteArray& content) const {
    QString full = file(relative);
    QDir().mkpath(QFileInfo(full).path());
    QFile f(full);
    if (f.open(QIODevice::WriteOnly)) f.write(content);
}

QByteArray TempDir::read(const QString& relative) const {
    QFile f(file(relative));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

bool TempDir::exists(const QString& relative) const { return QFileInfo::exists(file(relative)); }

QDateTime ageFile(const QString& path, int seconds) {
    if (!QFileInfo(path).isFile()) return {};  // never made by opening it
    QFile f(path);
    const QDateTime old = QFileInfo(path).lastModified().addSecs(-seconds);
    if (!f.open(QIODevice::ReadWrite) || !f.setFileTime(old, QFileDevice::FileModificationTime)) return {};
    return QFileInfo(path).lastModified();
}

std::map<QString, QByteArray> folderFiles(const QString& folder) {
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        files[QDir(folder).relativeFilePath(path)] =
            f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
    }
    return files;
}

QString binFolder() { return QString::fromUtf8(QM_BIN_DIR) + '/'; }

}  // namespace qmtest

#include "model/core/Paths.h"

#include "model/core/Text.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace quillmark {

namespace {
QString& editorFolderOverride() {
    static QString folder;
    return folder;
}
}  // namespace

QString withTrailingSlash(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith('/')) return folder;
    return folder + '/';
}

QString folderOf(const QString& path) {
    QString p = path;
    p.replace('\\', '/');
    int slash = p.lastIndexOf('/');
    if (slash < 0) return QString();
    return p.left(slash + 1);
}

QString fileNameOf(const QString& path) {
    int slash = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
    return path.mid(slash + 1);
}

namespace {

// The listings of one operation: per folder, its entries by case-folded name
// (the first entry in listing order for each folded name).
struct Listings {
    int depth = 0;
    QHash<QString, QHash<QString, QString>> folders;
};

Listings& listings() {
    static Listings l;
    return l;
}

QString listingKey(const QString& folder) { return QDir::cleanPath(QDir(folder).absolutePath()); }

QStringList listFolder(const QString& dirPath) {
    QDir dir(dirPath);
    if (!dir.exists()) return {};
    return dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

}  // namespace

FolderListingScope::FolderListingScope() { ++listings().depth; }

FolderListingScope::~FolderListingScope() {
    if (--listings().depth == 0) listings().folders.clear();
}

void noteEntryCreated(const QString& path) {
    Listings& l = listings();
    if (l.depth == 0 || l.folders.isEmpty()) return;
    const QFileInfo info(path);
    auto folder = l.folders.find(listingKey(info.path()));
    if (folder == l.folders.end()) return;
    const QString name = info.fileName();
    const QString key = name.toCaseFolded();
    if (!folder->contains(key)) folder->insert(key, name);
}

void forgetFolderListings() { listings().folders.clear(); }

QString findEntryIgnoringCase(const QString& folder, const QString& name) {
    QString dirPath = folder.isEmpty() ? QStringLiteral(".") : folder;
    if (QFileInfo::exists(QDir(dirPath).filePath(name))) return name;
    Listings& l = listings();
    if (l.depth > 0) {
        const QString key = listingKey(dirPath);
        auto cached = l.folders.find(key);
        if (cached == l.folders.end()) {
            QHash<QString, QString> byName;
            for (const QString& entry : listFolder(dirPath)) {
                const QString folded = entry.toCaseFolded();
                if (!byName.contains(folded)) byName.insert(folded, entry);
            }
            cached = l.folders.insert(key, std::move(byName));
        }
        return cached->value(name.toCaseFolded());
    }
    for (const QString& entry : listFolder(dirPath))
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return entry;
    return QString();
}

QString projectPath(const QString& folder, const QString& relative) {
    QString rel = relative;
    rel.replace('\\', '/');
    const bool trailing = rel.endsWith('/');
    const QStringList parts = rel.split('/', Qt::SkipEmptyParts);
    QString current = withTrailingSlash(folder);
    bool exists = true;
    for (int i = 0; i < parts.size(); ++i) {
        QString part = parts[i];
        if (exists && part != QLatin1String(".") && part != QLatin1String("..")) {
            QString found = findEntryIgnoringCase(current, part);
            if (found.isEmpty())
                exists = false;
            else
                part = found;
        }
        current += part;
        if (i + 1 < parts.size() || trailing) current += '/';
    }
    return current;
}

QString projectPath(const QString& folder, std::string_view relativeCp1252) {
    return projectPath(folder, fromCp1252(relativeCp1252));
}

bool fileExists(const QString& path) {
    QFileInfo info(path);
    return info.exists() && info.isFile();
}

bool folderExists(const QString& path) {
    QFileInfo info(path);
    return info.exists() && info.isDir();
}

void setEditorFolder(const QString& folder) { editorFolderOverride() = withTrailingSlash(folder); }

QString editorFolder() {
    if (!editorFolderOverride().isEmpty()) return editorFolderOverride();
    if (!QCoreApplication::instance()) return withTrailingSlash(QDir::currentPath());
    // The build folder holds the template set beside the programs; an
    // installed editor (PREFIX/bin) finds it in PREFIX/share/quillmark.
    const QString programs = withTrailingSlash(QCoreApplication::applicationDirPath());
    if (folderExists(programs + QStringLiteral("Data"))) return programs;
    const QString installed = QDir::cleanPath(programs + QStringLiteral("../share/quillmark")) + '/';
    if (folderExists(installed + QStringLiteral("Data"))) return installed;
    return programs;
}

}  // namespace quillmark

#include "model/session/Association.h"

#include "model/core/Files.h"
#include "model/core/Paths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QXmlStreamReader>

namespace quillmark {

namespace {

QStringList pathList(const QByteArray& variable, const QString& fallback) {
    QString value = qEnvironmentVariable(variable.constData());
    if (value.isEmpty()) value = fallback;
    QStringList out;
    for (const QString& p : value.split(':', Qt::SkipEmptyParts)) out << withTrailingSlash(p);
    return out;
}

QString homeFolder(const QByteArray& variable, const QString& fallbackUnderHome) {
    QString value = qEnvironmentVariable(variable.constData());
    if (value.isEmpty()) value = QDir::homePath() + '/' + fallbackUnderHome;
    return withTrailingSlash(value);
}

QStringList allDataDirs(const XdgFolders& f) {
    QStringList dirs;
    if (!f.dataHome.isEmpty()) dirs << withTrailingSlash(f.dataHome);
    for (const QString& d : f.dataDirs) dirs << withTrailingSlash(d);
    return dirs;
}

bool isProjectGlob(const QString& pattern) {
    return pattern.trimmed().compare(QLatin1String(kProjectGlob), Qt::CaseInsensitive) == 0;
}

void typesFromPackage(const QString& path, QSet<QString>& types) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;
    const QByteArray bytes = file.readAll();
    // Most packages (the shared database's own is megabytes long) never
    // mention the extension: only those that do are read as XML.
    if (!bytes.toLower().contains("qmk")) return;
    QXmlStreamReader xml(bytes);
    QString current;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        if (xml.name() == QLatin1String("mime-type"))
            current = xml.attributes().value("type").toString();
        else if (xml.name() == QLatin1String("glob") && !current.isEmpty() &&
                 isProjectGlob(xml.attributes().value("pattern").toString()))
            types.insert(current);
    }
}

// "weight:type:glob[:flags]" lines (globs2) or "type:glob" lines (globs).
void typesFromGlobs(const QString& path, bool weighted, QSet<QString>& types) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        const QStringList parts = line.split(':');
        const int typeAt = weighted ? 1 : 0;
        if (parts.size() <= typeAt + 1) continue;
        if (isProjectGlob(parts[typeAt + 1])) types.insert(parts[typeAt]);
    }
}

// The entries of one key in one section of a desktop-style file.
QString keyValue(const QString& path, const QString& section, const QString& key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QString();
    QString current;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith('[')) {
            current = line.mid(1, line.size() - 2);
            continue;
        }
        if (current != section) continue;
        const qsizetype eq = line.indexOf('=');
        if (eq > 0 && line.left(eq).trimmed() == key) return line.mid(eq + 1).trimmed();
    }
    return QString();
}

// The desktop entry file of a desktop id in any data folder ("a-b.desktop" may live in "a/b.desktop").
QString desktopFileFor(const QString& id, const XdgFolders& f) {
    for (const QString& dir : allDataDirs(f)) {
        const QString apps = dir + QStringLiteral("applications/");
        if (QFileInfo(apps + id).isFile()) return apps + id;
        QString nested = id;
        nested.replace('-', '/');
        if (QFileInfo(apps + nested).isFile()) return apps + nested;
    }
    return QString();
}

ExistingAssociation fromDesktop(const QString& type, const QString& desktop) {
    ExistingAssociation a;
    a.mimeType = type;
    a.desktopFile = desktop;
    a.command = keyValue(desktop, QStringLiteral("Desktop Entry"), QStringLiteral("Exec"));
    if (a.command.isEmpty()) a.command = QStringLiteral("?");  // a handler without Exec still claims the type
    return a;
}

void writeIfMissing(const QString& path, const QByteArray& content, bool& wrote) {
    if (QFileInfo::exists(path)) return;
    makeFolder(QFileInfo(path).absolutePath());
    writeFileAtomic(path, content);
    wrote = true;
}

// The program of an Exec line: its first argument, unquoted.
QString execProgram(const QString& exec) {
    const QString line = exec.trimmed();
    if (!line.startsWith('"')) return line.section(' ', 0, 0);
    QString program;
    for (qsizetype i = 1; i < line.size(); ++i) {
        QChar c = line[i];
        if (c == '"') break;
        if (c == '\\' && i + 1 < line.size()) {
            c = line[++i];
            // the entry's own escaping doubles a backslash once more
            if (c == '\\' && i + 1 < line.size() && line[i + 1] == '\\') ++i;
        }
        program += c;
    }
    return program;
}

// The desktop entry this editor wrote in the user's folder, when the editor
// it names is gone (a build folder moved or removed since): it is ours to renew.
bool isStaleOwnEntry(const ExistingAssociation& found, const XdgFolders& folders) {
    if (folders.dataHome.isEmpty()) return false;
    const QString own =
        withTrailingSlash(folders.dataHome) + QStringLiteral("applications/") + QLatin1String(kDesktopFileName);
    if (QFileInfo(found.desktopFile).absoluteFilePath() != QFileInfo(own).absoluteFilePath()) return false;
    const QString program = execProgram(found.command);
    if (!program.contains('/')) return false;  // a program found on the PATH
    const QFileInfo info(program);
    return !(info.isFile() && info.isExecutable());
}

}  // namespace

XdgFolders XdgFolders::fromEnvironment() {
    XdgFolders f;
    f.dataHome = homeFolder("XDG_DATA_HOME", QStringLiteral(".local/share"));
    f.dataDirs = pathList("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
    f.configHome = homeFolder("XDG_CONFIG_HOME", QStringLiteral(".config"));
    f.configDirs = pathList("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
    return f;
}

XdgFolders XdgFolders::userOnly(const QString& dataHome, const QString& configHome) {
    XdgFolders f;
    f.dataHome = withTrailingSlash(dataHome);
    f.configHome = withTrailingSlash(configHome);
    return f;
}

QStringList mimeTypesForProjectFiles(const XdgFolders& folders) {
    QSet<QString> types;
    for (const QString& dir : allDataDirs(folders)) {
        const QString mime = dir + QStringLiteral("mime/");
        const QFileInfo compiled(mime + QStringLiteral("globs2"));
        QDir packages(mime + QStringLiteral("packages"));
        const QFileInfoList sources = packages.entryInfoList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name);
        // The compiled globs2 holds every glob of the packages it was made
        // from; a package newer than it (not compiled yet) is read itself.
        const QDateTime compiledAt = compiled.exists() ? compiled.lastModified() : QDateTime();
        for (const QFileInfo& source : sources)
            if (!compiledAt.isValid() || source.lastModified() > compiledAt) typesFromPackage(source.filePath(), types);
        typesFromGlobs(compiled.filePath(), true, types);
        typesFromGlobs(mime + QStringLiteral("globs"), false, types);
    }
    QStringList list(types.begin(), types.end());
    list.sort();
    return list;
}

ExistingAssociation findAssociation(const XdgFolders& folders) {
    const QStringList types = mimeTypesForProjectFiles(folders);
    if (types.isEmpty()) return {};

    // mimeapps.list: the user's choices first, then the system's.
    QStringList lists;
    if (!folders.configHome.isEmpty()) lists << withTrailingSlash(folders.configHome) + "mimeapps.list";
    for (const QString& d : folders.configDirs) lists << withTrailingSlash(d) + "mimeapps.list";
    for (const QString& d : allDataDirs(folders)) lists << d + "applications/mimeapps.list";
    for (const QString& list : lists) {
        for (const QString& type : types) {
            for (const char* section : {"Default Applications", "Added Associations"}) {
                const QString value = keyValue(list, QLatin1String(section), type);
                for (const QString& id : value.split(';', Qt::SkipEmptyParts)) {
                    const QString desktop = desktopFileFor(id.trimmed(), folders);
                    if (!desktop.isEmpty()) return fromDesktop(type, desktop);
                }
            }
        }
    }

    // Any desktop entry that lists one of the types.
    for (const QString& dir : allDataDirs(folders)) {
        QDir apps(dir + QStringLiteral("applications"));
        for (const QString& name : apps.entryList({QStringLiteral("*.desktop")}, QDir::Files, QDir::Name)) {
            const QString path = apps.filePath(name);
            const QStringList handled = keyValue(path, QStringLiteral("Desktop Entry"), QStringLiteral("MimeType"))
                                            .split(';', Qt::SkipEmptyParts);
            for (const QString& type : types)
                if (handled.contains(type)) return fromDesktop(type, path);
        }
    }
    return {};
}

QByteArray mimePackageXml() {
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                             "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                             "  <mime-type type=\"application/x-quillmark-project\">\n"
                             "    <comment>Quillmark Project</comment>\n"
                             "    <comment xml:lang=\"pt\">Projeto Quillmark</comment>\n"
                             "    <sub-class-of type=\"text/plain\"/>\n"
                             "    <icon name=\"quillmark\"/>\n"
                             "    <glob pattern=\"*.qmk\"/>\n"
                             "  </mime-type>\n"
                             "</mime-info>\n");
}

QString desktopExecArgument(const QString& path) {
    QString arg = path;
    arg.replace('%', QStringLiteral("%%"));
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool quote = false;
    for (QChar c : arg) quote = quote || reserved.contains(c);
    if (!quote) return arg;
    QString quoted;
    for (QChar c : arg) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    // Inside a quoted argument the desktop entry's own escaping doubles backslashes once more.
    quoted.replace('\\', QStringLiteral("\\\\"));
    return '"' + quoted + '"';
}

QByteArray desktopEntryText(const QString& editorPath) {
    QString text;
    text += QStringLiteral("[Desktop Entry]\n");
    text += QStringLiteral("Type=Application\n");
    text += QStringLiteral("Name=Quillmark\n");
    text += QStringLiteral("GenericName=RPG Editor\n");
    text += QStringLiteral("GenericName[pt]=Editor de RPG\n");
    text += QStringLiteral("Comment=Tile-based role-playing game editor\n");
    text += QStringLiteral("Comment[pt]=Editor de jogos de RPG em mapas de tiles\n");
    text += QStringLiteral("Exec=") + desktopExecArgument(editorPath) + QStringLiteral(" %f\n");
    text += QStringLiteral("Icon=quillmark\n");
    text += QStringLiteral("Terminal=false\n");
    text += QStringLiteral("MimeType=application/x-quillmark-project;\n");
    text += QStringLiteral("Categories=Development;Game;\n");
    return text.toUtf8();
}

void runToolIfPresent(const QString& program, const QStringList& arguments) {
    const QString found = QStandardPaths::findExecutable(program);
    if (found.isEmpty()) return;
    QProcess process;
    process.setProgram(found);
    process.setArguments(arguments);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.startDetached();
}

AssociationOutcome ensureAssociation(const QString& editorPath, const XdgFolders& folders, const QByteArray& iconSvg,
                                     const ToolRunner& runner) {
    const ExistingAssociation found = findAssociation(folders);
    if (found.found()) {
        if (!isStaleOwnEntry(found, folders)) return AssociationOutcome::Existing;
        // The entry an earlier run wrote names an editor that is gone: it
        // goes, and an installed editor's own entry (or a new one) takes over.
        if (!QFile::remove(found.desktopFile)) return AssociationOutcome::Failed;
        if (findAssociation(folders).found()) return AssociationOutcome::Existing;
    }
    if (folders.dataHome.isEmpty()) return AssociationOutcome::Failed;
    const QString home = withTrailingSlash(folders.dataHome);
    bool wroteMime = false;
    bool wroteDesktop = false;
    bool wroteIcon = false;
    try {
        writeIfMissing(home + QStringLiteral("mime/packages/application-x-quillmark-project.xml"), mimePackageXml(),
                       wroteMime);
        writeIfMissing(home + QStringLiteral("applications/") + QLatin1String(kDesktopFileName),
                       desktopEntryText(editorPath), wroteDesktop);
        if (!iconSvg.isEmpty())
            writeIfMissing(home + QStringLiteral("icons/hicolor/scalable/apps/quillmark.svg"), iconSvg, wroteIcon);
    } catch (const std::exception&) {
        return AssociationOutcome::Failed;
    }
    if (runner) {
        if (wroteMime) runner(QStringLiteral("update-mime-database"), {home + QStringLiteral("mime")});
        if (wroteDesktop) runner(QStringLiteral("update-desktop-database"), {home + QStringLiteral("applications")});
    }
    return AssociationOutcome::Written;
}

}  // namespace quillmark

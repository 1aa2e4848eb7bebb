#pragma once
// The project-file association on a freedesktop system: "*.qmk" files are of
// the MIME type application/x-quillmark-project, opened by the desktop entry
// quillmark.desktop ("Exec=<editor> %f"). Both live in the user's data folder
// ($XDG_DATA_HOME/mime/packages/, $XDG_DATA_HOME/applications/).
//
// At start-up the editor looks for any program that already opens "*.qmk"
// files; only when there is none does it write the missing pieces. An existing
// association, whoever made it, is never compared with this editor nor
// replaced, and no existing file is ever overwritten, with one exception: the
// user's quillmark.desktop that an earlier run wrote, when the editor it names
// no longer exists (a build folder moved or removed), is dropped, so that an
// installed editor's entry, or one for this editor, takes its place.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace quillmark {

inline constexpr const char* kProjectMimeType = "application/x-quillmark-project";
inline constexpr const char* kProjectGlob = "*.qmk";
inline constexpr const char* kDesktopFileName = "quillmark.desktop";
inline constexpr const char* kIconName = "quillmark";

// The freedesktop base folders, most important first.
struct XdgFolders {
    QString dataHome;        // $XDG_DATA_HOME or ~/.local/share
    QStringList dataDirs;    // $XDG_DATA_DIRS or /usr/local/share:/usr/share
    QString configHome;      // $XDG_CONFIG_HOME or ~/.config
    QStringList configDirs;  // $XDG_CONFIG_DIRS or /etc/xdg

    static XdgFolders fromEnvironment();
    // Only the given user folders (tests, or a private set-up).
    static XdgFolders userOnly(const QString& dataHome, const QString& configHome);
};

// What the lookup found.
struct ExistingAssociation {
    QString mimeType;     // a type whose glob is *.qmk
    QString desktopFile;  // the desktop entry that opens it
    QString command;      // its Exec line
    bool found() const { return !command.isEmpty(); }
};

// The MIME types whose glob patterns include "*.qmk" (letter case ignored),
// from every data folder's "mime/packages/*.xml" and compiled "mime/globs2".
QStringList mimeTypesForProjectFiles(const XdgFolders& folders);
// The first program that opens "*.qmk" files: a default or added application
// of mimeapps.list, or any desktop entry listing one of the types.
ExistingAssociation findAssociation(const XdgFolders& folders);

// The files written.
QByteArray mimePackageXml();
QByteArray desktopEntryText(const QString& editorPath);
// An Exec argument quoted as the desktop entry rules ask ("%" doubled, quotes
// when the path holds blanks or reserved characters).
QString desktopExecArgument(const QString& path);

enum class AssociationOutcome {
    Existing,  // some program opens *.qmk already: nothing written
    Written,   // the missing pieces were written
    Failed,    // a file could not be written; nothing is reported to the user
};

// Runs a helper program without waiting ("update-mime-database", folder).
using ToolRunner = std::function<void(const QString& program, const QStringList& arguments)>;
// Starts the program detached, quietly, when it can be found on the PATH.
void runToolIfPresent(const QString& program, const QStringList& arguments);

// Looks for an association and, when there is none, writes the MIME package
// and the desktop entry (and the icon when iconSvg is given) into the user's
// data folder, then lets the runner refresh the MIME and desktop databases.
AssociationOutcome ensureAssociation(const QString& editorPath, const XdgFolders& folders,
                                     const QByteArray& iconSvg = QByteArray(),
                                     const ToolRunner& runner = runToolIfPresent);

}  // namespace quillmark

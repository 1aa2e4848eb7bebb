// The "*.qmk" association in the user's freedesktop folders: written once when
// no program opens such files, never over an existing one.
#include "TempDir.h"

#include "model/session/Association.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

struct Folders {
    qmtest::TempDir data;
    qmtest::TempDir config;
    qmtest::TempDir system;  // a system data folder
    XdgFolders xdg() const {
        XdgFolders f = XdgFolders::userOnly(data.path(), config.path());
        f.dataDirs << system.path();
        return f;
    }
};

struct Runs {
    QStringList calls;
    ToolRunner runner() {
        return [this](const QString& program, const QStringList& args) { calls << program + ' ' + args.join(' '); };
    }
};

const QString kMimeFile = "mime/packages/application-x-quillmark-project.xml";
const QString kDesktopFile = "applications/quillmark.desktop";

}  // namespace

TEST(Association, FirstStartWritesItAndTheNextFindsIt) {
    Folders f;
    Runs runs;
    EXPECT_FALSE(findAssociation(f.xdg()).found());
    EXPECT_EQ(ensureAssociation("/opt/quillmark/quillmark", f.xdg(), "<svg/>", runs.runner()),
              AssociationOutcome::Written);
    EXPECT_EQ(f.data.read(kMimeFile), mimePackageXml());
    const QString desktop = QString::fromUtf8(f.data.read(kDesktopFile));
    EXPECT_TRUE(desktop.contains("\nExec=/opt/quillmark/quillmark %f\n")) << desktop.toStdString();
    EXPECT_TRUE(desktop.contains("\nMimeType=application/x-quillmark-project;\n"));
    EXPECT_EQ(f.data.read("icons/hicolor/scalable/apps/quillmark.svg"), "<svg/>");
    EXPECT_EQ(runs.calls, QStringList({"update-mime-database " + f.data.path() + "mime",
                                       "update-desktop-database " + f.data.path() + "applications"}));

    // The next start finds the type and its program, and writes nothing.
    const ExistingAssociation found = findAssociation(f.xdg());
    EXPECT_EQ(found.mimeType, kProjectMimeType);
    EXPECT_EQ(found.command, "/opt/quillmark/quillmark %f");
    runs.calls.clear();
    f.data.write(kDesktopFile, "[Desktop Entry]\nExec=edited %f\nMimeType=application/x-quillmark-project;\n");
    EXPECT_EQ(ensureAssociation("/other/place/quillmark", f.xdg(), "<svg/>", runs.runner()),
              AssociationOutcome::Existing);
    EXPECT_TRUE(runs.calls.isEmpty());
    EXPECT_EQ(f.data.read(kDesktopFile),
              "[Desktop Entry]\nExec=edited %f\nMimeType=application/x-quillmark-project;\n");
}

TEST(Association, AnotherProgramsAssociationIsLeftAlone) {
    Folders f;
    Runs runs;
    // A system package claims *.QMK for its own type, and a program opens it by default.
    f.system.write("mime/packages/other.xml",
                   "<?xml version=\"1.0\"?><mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">"
                   "<mime-type type=\"application/x-other\"><glob pattern=\"*.QMK\"/></mime-type></mime-info>");
    f.system.write("applications/other.desktop", "[Desktop Entry]\nName=Other\nExec=\"/usr/bin/other\" %u\n");
    f.config.write("mimeapps.list", "[Default Applications]\napplication/x-other=other.desktop;\n");
    const ExistingAssociation found = findAssociation(f.xdg());
    EXPECT_EQ(found.mimeType, "application/x-other");
    EXPECT_EQ(found.command, "\"/usr/bin/other\" %u");
    EXPECT_EQ(ensureAssociation("/opt/quillmark/quillmark", f.xdg(), QByteArray(), runs.runner()),
              AssociationOutcome::Existing);
    EXPECT_FALSE(f.data.exists(kMimeFile));
    EXPECT_FALSE(f.data.exists(kDesktopFile));
    EXPECT_TRUE(runs.calls.isEmpty());
}

TEST(Association, ATypeFromCompiledGlobsWithAHandlerCounts) {
    Folders f;
    f.system.write("mime/globs2", "# comment\n50:application/x-legacy:*.qmk\n50:text/plain:*.txt\n");
    f.system.write("applications/legacy.desktop",
                   "[Desktop Entry]\nExec=legacy %f\nMimeType=text/x-a;application/x-legacy;\n");
    EXPECT_EQ(mimeTypesForProjectFiles(f.xdg()), QStringList{"application/x-legacy"});
    EXPECT_EQ(findAssociation(f.xdg()).command, "legacy %f");
}

TEST(Association, ATypeWithoutAProgramGetsTheMissingPiecesOnly) {
    Folders f;
    Runs runs;
    // Our own type exists (written earlier), but its desktop entry was removed.
    f.data.write(kMimeFile, "keep me");
    EXPECT_FALSE(findAssociation(f.xdg()).found());
    EXPECT_EQ(ensureAssociation("/opt/q/quillmark", f.xdg(), QByteArray(), runs.runner()), AssociationOutcome::Written);
    EXPECT_EQ(f.data.read(kMimeFile), "keep me");  // never overwritten
    EXPECT_TRUE(f.data.exists(kDesktopFile));
    EXPECT_EQ(runs.calls, QStringList{"update-desktop-database " + f.data.path() + "applications"});
}

TEST(Association, ExecArgumentsAreQuotedWhenNeeded) {
    EXPECT_EQ(desktopExecArgument("/opt/quillmark/quillmark"), "/opt/quillmark/quillmark");
    EXPECT_EQ(desktopExecArgument("/home/ana/Meus Jogos/quillmark"), "\"/home/ana/Meus Jogos/quillmark\"");
    EXPECT_EQ(desktopExecArgument("/x/100%/q"), "/x/100%%/q");
    // A quote inside is escaped for the argument, then the backslash once more for the entry's string.
    EXPECT_EQ(desktopExecArgument("/a \"b\"/q"), "\"/a \\\\\"b\\\\\"/q\"");
}

TEST(Association, AFolderThatCannotBeWrittenFailsQuietly) {
    qmtest::TempDir dir;
    dir.write("blocked", "a file where the data folder should be");
    XdgFolders f = XdgFolders::userOnly(dir.file("blocked"), dir.path());
    Runs runs;
    EXPECT_EQ(ensureAssociation("/opt/q/quillmark", f, QByteArray(), runs.runner()), AssociationOutcome::Failed);
    EXPECT_TRUE(runs.calls.isEmpty());
}

TEST(Association, AnEntryForAnEditorThatIsGoneGivesWayToTheInstalledOne) {
    Folders f;
    Runs runs;
    // An earlier run from a build folder, since moved away, wrote its entry.
    ASSERT_EQ(ensureAssociation("/gone/build/bin/quillmark", f.xdg(), QByteArray(), runs.runner()),
              AssociationOutcome::Written);
    // A live editor's entry of the same name is kept as it is.
    const QString live = f.data.file("bin/quillmark");
    f.data.write("bin/quillmark", "#!/bin/sh\n");
    QFile::setPermissions(live, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    f.data.write(kDesktopFile, desktopEntryText(live));
    EXPECT_EQ(ensureAssociation("/elsewhere/quillmark", f.xdg(), QByteArray(), runs.runner()),
              AssociationOutcome::Existing);
    EXPECT_EQ(f.data.read(kDesktopFile), desktopEntryText(live));

    // Gone again, without an installed editor: the entry names this editor now.
    f.data.write(kDesktopFile, desktopEntryText("/gone/Meus Jogos/quillmark"));
    EXPECT_EQ(ensureAssociation("/usr/bin/quillmark", f.xdg(), QByteArray(), runs.runner()),
              AssociationOutcome::Written);
    EXPECT_EQ(findAssociation(f.xdg()).command, "/usr/bin/quillmark %f");

    // Gone, with the installed editor's entry in a system folder: the user's goes.
    f.data.write(kDesktopFile, desktopEntryText("/gone/build/bin/quillmark"));
    f.system.write("applications/io.github.quillmark.Quillmark.desktop",
                   "[Desktop Entry]\nExec=quillmark %f\nMimeType=application/x-quillmark-project;\n");
    EXPECT_EQ(ensureAssociation("/usr/bin/quillmark", f.xdg(), QByteArray(), runs.runner()),
              AssociationOutcome::Existing);
    EXPECT_FALSE(f.data.exists(kDesktopFile));
    EXPECT_EQ(findAssociation(f.xdg()).command, "quillmark %f");
}

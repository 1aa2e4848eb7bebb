// The demo project belongs to the user once it exists: the build's step that
// makes it leaves an edited demo alone, and "make demo-reset" (the tool's
// "demo" command) makes it afresh.
#include "CliRunner.h"

#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

using qmtest::runCli;

namespace {

// The build's step, as the build runs it: scripts/demo-if-absent <cli> <folder>.
int runBuildStep(const QString& demoFolder) {
    // This file's path as the compiler saw it, relative to the build folder.
    const QString self = QDir(qmtest::binFolder() + "..").absoluteFilePath(QStringLiteral(__FILE__));
    const QString source = QFileInfo(self).absoluteDir().absoluteFilePath("../..");
    QProcess p;
    p.start(QDir(source).absoluteFilePath("scripts/demo-if-absent"),
            {qmtest::binFolder() + "quillmark-cli", demoFolder});
    if (!p.waitForFinished(60000)) return -1;
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

}  // namespace

TEST(DemoProject, ARebuildKeepsAnEditedDemoAndAResetReplacesIt) {
    qmtest::TempDir dir;
    const QString demo = dir.file("demo");
    // absent: the build makes it
    ASSERT_EQ(runBuildStep(demo), 0);
    ASSERT_TRUE(dir.exists("demo/ValeSereno.qmk"));
    const QByteArray made = dir.read("demo/Mapas/Vila.xml");
    ASSERT_FALSE(made.isEmpty());

    // the user edits a map and adds one of their own; the next build keeps both
    dir.write("demo/Mapas/Vila.xml", "edited by the user");
    dir.write("demo/Mapas/Minha.xml", "mine");
    ASSERT_EQ(runBuildStep(demo), 0);
    EXPECT_EQ(dir.read("demo/Mapas/Vila.xml"), "edited by the user");
    EXPECT_TRUE(dir.exists("demo/Mapas/Minha.xml"));

    // the reset makes it afresh
    const auto reset = runCli({"demo", demo});
    ASSERT_EQ(reset.status, 0) << reset.errText();
    EXPECT_EQ(dir.read("demo/Mapas/Vila.xml"), made);
    EXPECT_FALSE(dir.exists("demo/Mapas/Minha.xml"));
}

TEST(DemoProject, TheBuildStepNeverWritesIntoAFolderOfSomethingElse) {
    qmtest::TempDir dir;
    dir.write("demo/notes.txt", "not a demo");
    const int status = runBuildStep(dir.file("demo"));
    EXPECT_NE(status, -1);  // the step ran
    EXPECT_NE(status, 0);   // and refused
    EXPECT_EQ(dir.read("demo/notes.txt"), "not a demo");
    EXPECT_FALSE(dir.exists("demo/ValeSereno.qmk"));
}

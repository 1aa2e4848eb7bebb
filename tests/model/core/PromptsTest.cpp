// Where the file and picture dialogs start: in the open project (its pictures
// folder for pictures), and for projects beside the last project opened.
#include "ScriptedPrompts.h"
#include "TempDir.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

QString clean(const QString& folder) { return QDir::cleanPath(folder) + '/'; }

}  // namespace

TEST(DialogStartFolder, FollowsTheOpenProject) {
    qmtest::TempDir dir;
    dir.write("Jogos/Aventura/Aventura.qmk", "x");
    QDir().mkpath(dir.file("Jogos/Aventura/imagens"));  // any letter case
    const QString project = dir.file("Jogos/Aventura/");
    qmtest::ScriptedPrompts prompts;

    // no project: the toolkit decides
    for (DialogPlace place :
         {DialogPlace::Pictures, DialogPlace::ProjectFile, DialogPlace::OpenProject, DialogPlace::NewProject})
        EXPECT_TRUE(prompts.startFolder(place).isEmpty());

    prompts.setProjectFolder(project);
    EXPECT_EQ(prompts.startFolder(DialogPlace::Pictures), clean(project + "imagens"));
    EXPECT_EQ(prompts.startFolder(DialogPlace::ProjectFile), clean(project));
    EXPECT_EQ(prompts.startFolder(DialogPlace::OpenProject), clean(project));
    EXPECT_EQ(prompts.startFolder(DialogPlace::NewProject), clean(dir.file("Jogos")));

    // a project without its pictures folder: the project folder
    QDir(project + "imagens").removeRecursively();
    EXPECT_EQ(prompts.startFolder(DialogPlace::Pictures), clean(project));

    // closed: nothing again
    prompts.setProjectFolder(QString());
    EXPECT_TRUE(prompts.startFolder(DialogPlace::Pictures).isEmpty());
}

TEST(DialogStartFolder, AVanishedLastProjectFallsBackToTheOpenOne) {
    qmtest::TempDir dir;
    dir.write("Jogos/Vale/Vale.qmk", "x");
    dir.write("Outros/Novo/Novo.qmk", "x");
    qmtest::ScriptedPrompts prompts;
    prompts.setRecentProject(dir.file("Jogos/Vale/Vale.qmk"));
    prompts.setProjectFolder(dir.file("Outros/Novo/"));
    EXPECT_EQ(prompts.startFolder(DialogPlace::OpenProject), clean(dir.file("Jogos/Vale")));
    QDir(dir.file("Jogos")).removeRecursively();
    EXPECT_EQ(prompts.startFolder(DialogPlace::OpenProject), clean(dir.file("Outros/Novo")));
}

// The runtime a project carries starts the player on that project; when it
// cannot be started, the command says which file and why.
#include "PlayRunner.h"
#include "ScriptedPrompts.h"

#include "model/core/Error.h"
#include "model/project/RuntimeLauncher.h"
#include "model/session/Workspace.h"

#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

using namespace quillmark;
using qmtest::runProgram;

namespace {

QString cli() { return qmtest::binFolder() + "quillmark-cli"; }

void makeExecutable(const QString& path) { QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner); }

}  // namespace

TEST(Launcher, ANewProjectsRuntimePlaysThatProject) {
    qmtest::TempDir dir;
    const QString project = dir.file("Jogo/Aventura.final.qmk");
    ASSERT_EQ(runProgram(cli(), {"new", project, "--name", "Aventura"}).status, 0);
    ASSERT_EQ(runProgram(cli(), {"new-map", project, "Praia"}).status, 0);
    // a second project in the same folder is not the one played
    ASSERT_EQ(runProgram(cli(), {"new", dir.file("Jogo/Outro.qmk"), "--name", "Outro"}).status, 0);

    const auto r = runProgram(dir.file("Jogo/Aventura.exe"), {"--headless", "--trace", "--frames", "2"});
    ASSERT_EQ(r.status, 0) << r.errText();
    EXPECT_EQ(r.lines().front(), "inicio \"Aventura\" Praia.xml 4,2 baixo");
}

TEST(Launcher, FindsThePlayerOnThePathWhenTheEditorIsGone) {
    qmtest::TempDir dir;
    const QString project = dir.file("Jogo/Jogo.qmk");
    ASSERT_EQ(runProgram(cli(), {"new", project, "--name", "Praia"}).status, 0);
    ASSERT_EQ(runProgram(cli(), {"new-map", project, "Praia"}).status, 0);
    // as if made by an editor that lived elsewhere
    dir.write("Jogo/Jogo.exe", play::launcherScript(dir.file("gone/")));
    makeExecutable(dir.file("Jogo/Jogo.exe"));

    QProcessEnvironment env = qmtest::playEnvironment();
    env.insert("PATH", qmtest::binFolder() + ":/usr/bin:/bin");
    const auto found = runProgram(dir.file("Jogo/Jogo.exe"), {"--headless", "--trace"}, env);
    EXPECT_EQ(found.status, 0) << found.errText();
    EXPECT_TRUE(found.out.startsWith("inicio \"Praia\""));

    env.insert("PATH", "/usr/bin:/bin");
    const auto missing = runProgram(dir.file("Jogo/Jogo.exe"), {"--headless"}, env);
    EXPECT_EQ(missing.status, 127);
    EXPECT_NE(missing.errText().find("quillmark-play não foi encontrado"), std::string::npos);
}

TEST(Launcher, AFolderNameWithQuotesAndBlanksIsKept) {
    const QByteArray s = play::launcherScript("/opt/O'Neil games/");
    EXPECT_TRUE(s.contains("player='/opt/O'\\''Neil games/quillmark-play'\n")) << s.data();
}

TEST(Launcher, PlayWithoutARunnableRuntimeShowsWhichFileAndWhy) {
    qmtest::TempDir dir;
    auto prompts = std::make_unique<qmtest::ScriptedPrompts>();
    auto* asked = prompts.get();
    asked->answer(Answer::Ok).answer(Answer::Ok).answer(Answer::Ok);
    Workspace ws(std::move(prompts));

    EXPECT_FALSE(ws.run([&] { play::startRuntime(dir.file("Aventura.exe")); }));
    dir.write("Aventura.exe", "#!/bin/sh\n");
    QFile::setPermissions(dir.file("Aventura.exe"), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_FALSE(ws.run([&] { play::startRuntime(dir.file("Aventura.exe")); }));
    EXPECT_FALSE(ws.run([&] { play::startRuntime(dir.path()); }));

    const QString file = QDir::toNativeSeparators(dir.file("Aventura.exe"));
    const QStringList expected{
        "Não foi possível executar o jogo \"" + file + "\": o arquivo não existe.",
        "Não foi possível executar o jogo \"" + file + "\": o arquivo não tem permissão de execução.",
        "Não foi possível executar o jogo \"" + QDir::toNativeSeparators(dir.path()) + "\": não é um arquivo.",
    };
    EXPECT_EQ(asked->messages(), expected);
    EXPECT_EQ(asked->asked()[0].title, "Quillmark");
    EXPECT_EQ(asked->asked()[0].icon, Icon::Stop);

    // A runnable one starts, and the editor does not wait for it.
    dir.write("Jogo.exe", "#!/bin/sh\ntouch \"$(dirname \"$0\")/ran\"\n");
    makeExecutable(dir.file("Jogo.exe"));
    EXPECT_NO_THROW(play::startRuntime(dir.file("Jogo.exe")));
    for (int i = 0; i < 100 && !dir.exists("ran"); ++i) QThread::msleep(20);
    EXPECT_TRUE(dir.exists("ran"));
}

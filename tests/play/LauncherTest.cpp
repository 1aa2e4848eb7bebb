// The runtime a project carries starts the player on that project; when it
// cannot be started, the command says which file and why.
#include "PlayRunner.h"
#include "ScriptedPrompts.h"

#include "model/core/Error.h"
#include "model/project/RuntimeLauncher.h"
#include "model/session/Workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QThread>

#include <gtest/gtest.h>
#include <optional>

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

    // as the editor's Play starts it, naming its player
    QProcessEnvironment env = qmtest::playEnvironment();
    env.insert("QUILLMARK_PLAY", qmtest::binFolder() + "quillmark-play");
    const auto r = runProgram(dir.file("Jogo/Aventura.exe"), {"--headless", "--trace", "--frames", "2"}, env);
    ASSERT_EQ(r.status, 0) << r.errText();
    EXPECT_EQ(r.lines().front(), "inicio \"Aventura\" Praia.xml 4,2 baixo");
}

namespace {

// The launcher an editor made before this one: it held the editor's build folder.
QByteArray olderLauncher(const QString& editorFolder) {
    return "#!/bin/sh\n# Quillmark game launcher: plays the project in the folder of this file.\n"
           "# It starts quillmark-play from the editor folder below, or the one on the PATH.\n"
           "player='" +
           editorFolder.toUtf8() +
           "quillmark-play'\nif [ ! -x \"$player\" ]; then\n  player=$(command -v quillmark-play 2>/dev/null)\nfi\n"
           "exec \"$player\" \"$(dirname \"$0\")\" \"$@\"\n";
}

const QByteArray kOldStandIn = "#!/bin/sh\n# Stand-in for the game runtime, which is not bundled with the editor.\n"
                               "# Replace this file with the runtime executable to play the game.\nexit 1\n";

// An environment with no player anywhere the launcher looks, unless named.
QProcessEnvironment withoutPlayer(const qmtest::TempDir& dir) {
    QProcessEnvironment env = qmtest::playEnvironment();
    env.insert("PATH", "/usr/bin:/bin");
    env.insert("HOME", dir.file("home"));
    env.remove("QUILLMARK_PLAY");
    env.insert("QUILLMARK_FROM_EDITOR", "1");  // no window from the launcher in a test
    return env;
}

// Sets an environment variable of this process for one test.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const QByteArray& value)
        : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {
        qputenv(name, value);
    }
    ~ScopedVariable() {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    QByteArray old_;
    bool had_;
};

}  // namespace

TEST(Launcher, TheRuntimeHoldsNoPathAndFindsThePlayerWhereverItIsTold) {
    qmtest::TempDir dir;
    const QString project = dir.file("Jogo/Jogo.qmk");
    ASSERT_EQ(runProgram(cli(), {"new", project, "--name", "Praia"}).status, 0);
    ASSERT_EQ(runProgram(cli(), {"new-map", project, "Praia"}).status, 0);
    const QByteArray runtime = dir.read("Jogo/Jogo.exe");
    EXPECT_EQ(runtime, play::launcherScript());
    EXPECT_FALSE(runtime.contains(QDir(qmtest::binFolder()).absolutePath().toUtf8()));
    EXPECT_FALSE(runtime.contains(QDir::homePath().toUtf8()));

    // The build tree as if renamed: the player lives elsewhere now.
    ASSERT_TRUE(QDir().mkpath(dir.file("moved")));
    ASSERT_TRUE(QFile::copy(qmtest::binFolder() + "quillmark-play", dir.file("moved/quillmark-play")));
    makeExecutable(dir.file("moved/quillmark-play"));

    QProcessEnvironment env = withoutPlayer(dir);
    const auto missing = runProgram(dir.file("Jogo/Jogo.exe"), {"--headless"}, env);
    EXPECT_EQ(missing.status, play::kNoPlayerStatus);
    EXPECT_NE(missing.errText().find("quillmark-play não foi encontrado"), std::string::npos) << missing.errText();

    // 1. the player the editor names
    env.insert("QUILLMARK_PLAY", dir.file("moved/quillmark-play"));
    const auto named = runProgram(dir.file("Jogo/Jogo.exe"), {"--headless", "--trace"}, env);
    EXPECT_EQ(named.status, 0) << named.errText();
    EXPECT_TRUE(named.out.startsWith("inicio \"Praia\"")) << named.outText();
    // a name that leads nowhere is passed over
    env.insert("QUILLMARK_PLAY", dir.file("gone/quillmark-play"));
    EXPECT_EQ(runProgram(dir.file("Jogo/Jogo.exe"), {"--headless"}, env).status, play::kNoPlayerStatus);

    // 2. the installed one, on the PATH
    env.insert("PATH", dir.file("moved") + ":/usr/bin:/bin");
    const auto onPath = runProgram(dir.file("Jogo/Jogo.exe"), {"--headless", "--trace"}, env);
    EXPECT_EQ(onPath.status, 0) << onPath.errText();
    EXPECT_TRUE(onPath.out.startsWith("inicio \"Praia\""));

    // 3. one packaged in "player/" beside the game's folder
    env = withoutPlayer(dir);
    ASSERT_TRUE(QDir().mkpath(dir.file("player")));
    ASSERT_TRUE(QFile::rename(dir.file("moved/quillmark-play"), dir.file("player/quillmark-play")));
    const auto packaged = runProgram(dir.file("Jogo/Jogo.exe"), {"--headless", "--trace"}, env);
    EXPECT_EQ(packaged.status, 0) << packaged.errText();
    EXPECT_TRUE(packaged.out.startsWith("inicio \"Praia\""));
}

TEST(Launcher, TheRuntimesImmediateFailureIsShownInTheErrorBox) {
    qmtest::TempDir dir;
    const QString project = dir.file("Jogo/Jogo.qmk");
    ASSERT_EQ(runProgram(cli(), {"new", project, "--name", "Praia"}).status, 0);
    ASSERT_EQ(runProgram(cli(), {"new-map", project, "Praia"}).status, 0);

    auto prompts = std::make_unique<qmtest::ScriptedPrompts>();
    auto* asked = prompts.get();
    asked->answer(Answer::Ok).answer(Answer::Ok);
    Workspace ws(std::move(prompts));
    ws.session().setEditorFolder(qmtest::binFolder());

    {
        // No player anywhere: the launcher's own message reaches the box.
        const ScopedVariable path("PATH", "/usr/bin:/bin");
        const ScopedVariable home("HOME", dir.file("home").toUtf8());
        EXPECT_FALSE(ws.run([&] { play::startRuntime(dir.file("Jogo/Jogo.exe")); }));
    }
    // Through Play: a runtime that fails at once with a message of its own.
    dir.write("Jogo/Jogo.exe", "#!/bin/sh\necho 'falta a placa de som' >&2\nexit 3\n");
    makeExecutable(dir.file("Jogo/Jogo.exe"));
    ws.session().openProject(project);
    EXPECT_FALSE(ws.run([&] { ws.session().play(); }));

    const QString file = QDir::toNativeSeparators(dir.file("Jogo/Jogo.exe"));
    ASSERT_EQ(asked->messages().size(), 2);
    EXPECT_TRUE(asked->messages()[0].startsWith("Não foi possível executar o jogo \"" + file +
                                                "\": quillmark-play não foi encontrado"))
        << asked->messages()[0].toStdString();
    EXPECT_EQ(asked->messages()[1], "Não foi possível executar o jogo \"" + file + "\": falta a placa de som.");
    EXPECT_EQ(asked->asked()[1].title, "Quillmark");
    EXPECT_EQ(asked->asked()[1].icon, Icon::Stop);

    // A runtime that keeps running is left to run: Play returns without an error.
    dir.write("Jogo/Jogo.exe", "#!/bin/sh\necho 'só um aviso' >&2\nsleep 3\n");
    makeExecutable(dir.file("Jogo/Jogo.exe"));
    EXPECT_NO_THROW(play::startRuntime(dir.file("Jogo/Jogo.exe"), QString(), 300));
}

TEST(Launcher, OpeningAProjectWithAnOlderRuntimeOffersToReplaceIt) {
    qmtest::TempDir dir;
    const QString project = dir.file("Jogo/Jogo.qmk");
    ASSERT_EQ(runProgram(cli(), {"new", project, "--name", "Praia"}).status, 0);
    const QString runtime = dir.file("Jogo/Jogo.exe");
    EXPECT_EQ(play::runtimeKind(runtime), play::RuntimeKind::Current);
    EXPECT_EQ(play::runtimeKind(dir.file("Jogo/Outro.exe")), play::RuntimeKind::Missing);

    auto open = [&](const QByteArray& before, std::optional<Answer> answer) {
        dir.write("Jogo/Jogo.exe", before);
        auto prompts = std::make_unique<qmtest::ScriptedPrompts>();
        auto* asked = prompts.get();
        if (answer) asked->answer(*answer);
        Workspace ws(std::move(prompts));
        ws.session().setEditorFolder(qmtest::binFolder());
        ws.session().openProject(project);
        EXPECT_TRUE(ws.session().projectOpen());
        return asked->asked();
    };

    // Yes: the current launcher replaces the older one, executable.
    auto asked = open(olderLauncher("/home/ana/quillmark/build/bin/"), Answer::Yes);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].title, "Confirmação");
    EXPECT_EQ(asked[0].buttons, Buttons::YesNo);
    EXPECT_TRUE(asked[0].text.contains(QDir::toNativeSeparators(runtime)));
    EXPECT_EQ(dir.read("Jogo/Jogo.exe"), play::launcherScript());
    EXPECT_TRUE(QFileInfo(runtime).isExecutable());

    // No: the older one stays, and the next opening asks again.
    asked = open(kOldStandIn, Answer::No);
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(dir.read("Jogo/Jogo.exe"), kOldStandIn);
    EXPECT_EQ(open(kOldStandIn, Answer::No).size(), 1u);

    // The current launcher, and a runtime the game maker put there, ask nothing.
    EXPECT_TRUE(open(play::launcherScript(), std::nullopt).empty());
    EXPECT_TRUE(open("\x7f"
                     "ELF a real runtime",
                     std::nullopt)
                    .empty());
    EXPECT_EQ(dir.read("Jogo/Jogo.exe"), QByteArray("\x7f"
                                                    "ELF a real runtime"));
}

TEST(Launcher, NewWithReplaceRenewsAnOlderRuntimeOnly) {
    qmtest::TempDir dir;
    const QString project = dir.file("Jogo/Jogo.qmk");
    ASSERT_EQ(runProgram(cli(), {"new", project, "--name", "Praia"}).status, 0);
    ASSERT_EQ(runProgram(cli(), {"new-map", project, "Praia"}).status, 0);

    dir.write("Jogo/Jogo.exe", olderLauncher("/gone/"));
    // other commands open the project without a question
    ASSERT_EQ(runProgram(cli(), {"new-map", project, "Vila"}).status, 0);
    EXPECT_EQ(dir.read("Jogo/Jogo.exe"), olderLauncher("/gone/"));
    const auto r = runProgram(cli(), {"new", project, "--name", "Praia", "--replace"});
    ASSERT_EQ(r.status, 0) << r.errText();
    EXPECT_EQ(dir.read("Jogo/Jogo.exe"), play::launcherScript());
    EXPECT_TRUE(QFileInfo(dir.file("Jogo/Jogo.exe")).isExecutable());

    dir.write("Jogo/Jogo.exe", "#!/bin/sh\nexec my-own-runtime\n");
    ASSERT_EQ(runProgram(cli(), {"new", project, "--name", "Praia", "--replace"}).status, 0);
    EXPECT_EQ(dir.read("Jogo/Jogo.exe"), QByteArray("#!/bin/sh\nexec my-own-runtime\n"));
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

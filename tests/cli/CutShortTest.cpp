// A command cut short (a kill, a crash, a power cut) between two of its writes
// leaves a project that opens, that `check` reports with the mend for each
// state, that `check --repair` mends, and in which the same command then works
// or finds its work already whole. Each cut is made exactly: the command runs
// in a child process that ends itself, as a kill would, right after its n-th
// write.
#include "CliRunner.h"
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"

#include "model/core/Files.h"
#include "model/core/MapTree.h"
#include "model/core/ProjectFile.h"
#include "model/session/Workspace.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

using namespace quillmark;

namespace {

constexpr int kCut = 42;
constexpr int kFinished = 0;
constexpr int kFailed = 3;

int writesLeft = 0;
int writesSeen = 0;

void endAfterCountedWrite(const QString&) {
    if (--writesLeft == 0) ::_exit(kCut);
}
void countWrite(const QString&) { ++writesSeen; }

// Runs the command in a child process cut right after its n-th write. True
// when it was cut there, false when it finished with fewer writes.
bool cutAfterWrite(int n, const std::function<void()>& command) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        writesLeft = n;
        setWriteObserver(endAfterCountedWrite);
        try {
            command();
        } catch (...) {
            ::_exit(kFailed);
        }
        ::_exit(kFinished);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), kFailed) << "the command failed on its own after write " << n;
    return WEXITSTATUS(status) == kCut;
}

// How many writes the command makes when nothing stops it.
int writesOf(const std::function<void()>& command) {
    writesSeen = 0;
    setWriteObserver(countWrite);
    command();
    setWriteObserver(nullptr);
    return writesSeen;
}

std::unique_ptr<Workspace> openWorkspace(const QString& projectFile) {
    auto ws = std::make_unique<Workspace>(std::make_unique<qmtest::ScriptedPrompts>());
    ws->session().setEditorFolder(qmtest::binFolder());
    if (!projectFile.isEmpty()) ws->session().openProject(projectFile);
    return ws;
}

// The project opens in the editor's model, and the map is whole when expected.
void expectOpens(const QString& projectFile) {
    EXPECT_NO_THROW(openWorkspace(projectFile)) << projectFile.toStdString();
}

// `check` either passes or names only states it can mend; `--repair` mends
// them; `check` passes afterwards.
void expectCheckedAndRepaired(const QString& projectFile, int cut) {
    const qmtest::CliResult before = qmtest::runCli({"check", projectFile});
    if (before.status != 0) {
        for (const QString& line : QString::fromUtf8(before.out).split('\n', Qt::SkipEmptyParts))
            EXPECT_TRUE(line.contains("correção (check --repair)")) << "cut " << cut << ": " << line.toStdString();
    }
    const qmtest::CliResult repair = qmtest::runCli({"check", "--repair", projectFile});
    EXPECT_EQ(repair.status, 0) << "cut " << cut << ":\n" << repair.outText() << repair.errText();
    const qmtest::CliResult after = qmtest::runCli({"check", projectFile});
    EXPECT_EQ(after.status, 0) << "cut " << cut << ":\n" << after.outText();
}

// The map is in every list once, its file there.
void expectMapWhole(const QString& projectFile, const std::string& file, int cut) {
    const auto ws = openWorkspace(projectFile);
    const std::vector<std::string> listed = ws->session().project().mapFileNames();
    EXPECT_EQ(std::count(listed.begin(), listed.end(), file), 1) << "cut " << cut;
    int nodes = 0;
    for (const TreeNode* node : ws->session().tree().nodesInTreeOrder()) nodes += node->text() == file;
    EXPECT_EQ(nodes, 1) << "cut " << cut;
    EXPECT_TRUE(QFileInfo(ws->session().project().ProjectFolder + "Mapas/" + QString::fromStdString(file)).isFile());
}

// Cuts a command that adds the map "Caverna" after each of its writes, then
// mends and repeats it through the command-line tool.
void cutAddingAMap(const std::function<void(Workspace&)>& add, const QStringList& repeatArgs) {
    {
        qmtest::ProjectFixture fixture;
        fixture.addMap("Vila.xml");
        ASSERT_EQ(qmtest::runCli({"check", fixture.projectFile()}).status, 0);
    }
    int cuts = 0;
    for (int n = 1;; ++n) {
        qmtest::ProjectFixture fixture;
        fixture.addMap("Vila.xml");
        const QString file = fixture.projectFile();
        if (!cutAfterWrite(n, [&] { add(*openWorkspace(file)); })) break;
        ++cuts;
        expectOpens(file);
        expectCheckedAndRepaired(file, n);
        // the same command again works, or finds the map already whole
        QStringList args = repeatArgs;
        args.insert(1, file);
        const qmtest::CliResult again = qmtest::runCli(args);
        if (again.status != 0) EXPECT_NE(again.errText().find("já existe"), std::string::npos) << again.errText();
        expectMapWhole(file, "Caverna.xml", n);
        EXPECT_EQ(qmtest::runCli({"check", file}).status, 0) << "cut " << n;
    }
    // after the map file, the tree file and the project file (the last cut
    // comes when the command's work is done)
    EXPECT_EQ(cuts, 3);
}

}  // namespace

TEST(CutShort, NewMapCutAfterEachWrite) {
    cutAddingAMap([](Workspace& ws) { ws.session().newMap("Caverna", 10); }, {"new-map", "Caverna"});
}

TEST(CutShort, ImportCutAfterEachWrite) {
    qmtest::ProjectFixture source;
    source.addMap("Vila.xml");
    qmtest::TempDir out;
    const QString tmx = out.file("Caverna.tmx");
    ASSERT_EQ(qmtest::runCli({"export", source.projectFile(), "Vila.xml", tmx}).status, 0);
    cutAddingAMap([&](Workspace& ws) { ws.session().importMap(tmx, "Caverna"); }, {"import", tmx, "Caverna"});
}

TEST(CutShort, NewProjectCutAfterItsWrites) {
    qmtest::TempDir counted;
    const int total =
        writesOf([&] { openWorkspace({})->session().createProject(counted.file("Novo.qmk"), "Novo", "Eu"); });
    ASSERT_GT(total, 20);
    // the project file is the last write
    EXPECT_TRUE(counted.exists("Novo.qmk"));
    std::set<int> cuts{1,         2,        3, 4, 5, 6, 7, 8, 9, 10, 11, 12, total / 4, total / 2, 3 * total / 4,
                       total - 2, total - 1};
    for (int n : cuts) {
        qmtest::TempDir dir;
        const QString file = dir.file("Novo.qmk");
        ASSERT_TRUE(cutAfterWrite(n, [&] { openWorkspace({})->session().createProject(file, "Novo", "Eu"); }))
            << "cut " << n;
        // no project file names a half-made project
        EXPECT_FALSE(dir.exists("Novo.qmk")) << "cut " << n;
        // creating it again, without --replace, finishes it
        const qmtest::CliResult again = qmtest::runCli({"new", file, "--name", "Novo", "--author", "Eu"});
        ASSERT_EQ(again.status, 0) << "cut " << n << ": " << again.errText();
        expectOpens(file);
        const qmtest::CliResult check = qmtest::runCli({"check", file});
        EXPECT_EQ(check.status, 0) << "cut " << n << ":\n" << check.outText();
        EXPECT_EQ(QDir(dir.path() + "Imagens").count(), QDir(counted.path() + "Imagens").count()) << "cut " << n;
    }
}

// The editor finds the same states when it opens the project, and asks.
TEST(CutShort, TheEditorOffersTheRepairAfterOpening) {
    for (const Answer answer : {Answer::No, Answer::Yes}) {
        qmtest::ProjectFixture fixture;
        fixture.addMap("Vila.xml");
        const QString file = fixture.projectFile();
        ASSERT_TRUE(cutAfterWrite(1, [&] { openWorkspace(file)->session().newMap("Caverna", 10); }));
        const QByteArray projectBytes = fixture.dir.read("Aventura.qmk");
        Workspace ws(std::make_unique<qmtest::ScriptedPrompts>());
        ws.session().setEditorFolder(qmtest::binFolder());
        auto& prompts = static_cast<qmtest::ScriptedPrompts&>(ws.prompts());
        prompts.answer(answer);
        ASSERT_TRUE(ws.session().openProjectAsking(file));
        ASSERT_EQ(prompts.asked().size(), 1u);
        EXPECT_TRUE(prompts.asked()[0].text.contains("Caverna.xml")) << prompts.asked()[0].text.toStdString();
        EXPECT_EQ(prompts.asked()[0].buttons, Buttons::YesNo);
        if (answer == Answer::No) {
            EXPECT_EQ(fixture.dir.read("Aventura.qmk"), projectBytes);  // left as it was
            EXPECT_FALSE(fixture.dir.exists("Data/Project.dat"));
        } else {
            expectMapWhole(file, "Caverna.xml", 1);
            EXPECT_EQ(ws.session().project().mapFileNames().back(), "Caverna.xml");
            EXPECT_EQ(qmtest::runCli({"check", file}).status, 0);
        }
        // a project with nothing to mend asks nothing
        prompts.clear();
        ws.session().closeProject();
        if (answer == Answer::Yes) {
            ASSERT_TRUE(ws.session().openProjectAsking(file));
            EXPECT_TRUE(prompts.asked().empty());
        }
    }
}

// The player's window, offscreen: it repaints only when the picture changes
// and rests while nothing moves; keys reach the game at once; F11 and Alt+Enter
// switch to full screen and back; Esc opens the menu.
#include "GameFixture.h"

#include "play/view/PlayWindow.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QProcess>
#include <gtest/gtest.h>

using namespace quillmark;
using namespace quillmark::play;

namespace {

// One application for the tests of this file (windows need one); offscreen unless told otherwise.
void needApplication() {
    static QCoreApplication* app = nullptr;
    if (app || QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_play";
    static char* argv[] = {name, nullptr};
    app = new QGuiApplication(argc, argv);
}

void wait(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void key(QWindow& w, int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, k, mods);
    QCoreApplication::sendEvent(&w, &press);
    QKeyEvent release(QEvent::KeyRelease, k, mods);
    QCoreApplication::sendEvent(&w, &release);
}

std::unique_ptr<GameData> load(const qmtest::SmallGame& g) {
    return loadGame({g.project.projectFile(), {}, std::pair{4, 4}, qmtest::binFolder()});
}

}  // namespace

TEST(PlayWindow, RepaintsOnlyWhenThePictureChangesAndRestsWhileNothingMoves) {
    needApplication();
    qmtest::SmallGame g;
    PlayWindow window(load(g), 1, true);
    window.show();
    wait(1500);
    // the title screen does not move: the first picture, and then nothing
    EXPECT_LE(window.repaints(), 2);
    EXPECT_TRUE(window.resting());
    const int before = window.repaints();
    key(window, Qt::Key_Down);
    EXPECT_FALSE(window.resting());
    wait(200);
    EXPECT_EQ(window.game().title().cursor(), 1);
    EXPECT_GT(window.repaints(), before);

    // on the map the key line shows for the first seconds, then goes: then nothing is repainted
    key(window, Qt::Key_Up);
    key(window, Qt::Key_Return);
    ASSERT_EQ(window.game().scene(), SceneKind::Map);
    wait(4600);
    const int still = window.repaints();
    wait(1000);
    EXPECT_EQ(window.repaints(), still);
    EXPECT_TRUE(window.resting());
    // a step is drawn frame by frame
    key(window, Qt::Key_Down);
    wait(400);
    EXPECT_EQ(window.game().world().hero().row, 5);
    EXPECT_GE(window.repaints() - still, 8);
}

TEST(PlayWindow, F11AndAltEnterSwitchFullScreenAndEscOpensTheMenu) {
    needApplication();
    qmtest::SmallGame g;
    PlayWindow window(load(g), 1, false);
    window.show();
    wait(100);
    ASSERT_EQ(window.game().scene(), SceneKind::Map);
    key(window, Qt::Key_F11);
    EXPECT_TRUE(window.windowStates() & Qt::WindowFullScreen);
    key(window, Qt::Key_Return, Qt::AltModifier);
    EXPECT_FALSE(window.windowStates() & Qt::WindowFullScreen);
    // Alt+Enter is not the action key, and plain Enter still is
    EXPECT_EQ(window.game().scene(), SceneKind::Map);
    key(window, Qt::Key_Return, Qt::AltModifier);
    EXPECT_TRUE(window.windowStates() & Qt::WindowFullScreen);

    key(window, Qt::Key_Escape);
    EXPECT_EQ(window.game().scene(), SceneKind::Menu);
    key(window, Qt::Key_Escape);
    EXPECT_EQ(window.game().scene(), SceneKind::Map);
    // "Sair" and "Sim" close the window
    key(window, Qt::Key_Escape);
    key(window, Qt::Key_5);
    key(window, Qt::Key_Up);
    key(window, Qt::Key_Return);
    EXPECT_TRUE(window.game().quitRequested());
    wait(100);
    EXPECT_FALSE(window.isVisible());
}

TEST(PlayWindow, ThePlayerEndsWhenItIsToldTo) {
    // a desktop ending its session sends SIGTERM: the game window goes, whatever the sound and
    // controller libraries would like
    qmtest::SmallGame g;
    QProcess player;
    QProcessEnvironment env = qmtest::playEnvironment();
    env.insert("QUILLMARK_STARTUP_REPORT", "1");
    player.setProcessEnvironment(env);
    player.start(qmtest::binFolder() + "quillmark-play", {g.project.projectFile()});
    ASSERT_TRUE(player.waitForStarted(10000));
    QByteArray err;
    for (int i = 0; i < 100 && !err.contains("startup-ms"); ++i) {
        player.waitForReadyRead(100);
        err += player.readAllStandardError();
    }
    ASSERT_TRUE(err.contains("startup-ms")) << err.toStdString();
    player.terminate();
    EXPECT_TRUE(player.waitForFinished(5000));
    if (player.state() != QProcess::NotRunning) {
        player.kill();
        player.waitForFinished();
    }
}

// A broken map is named on the error screen in our words; the XML parser's
// English detail goes only to standard error.
TEST(PlayErrorScreen, ABrokenFileIsNamedWithoutTheParsersDetail) {
    qmtest::ProjectFixture project;
    project.addMap("Vila.xml", qmtest::smallMap());
    QFile map(project.folder() + "Mapas/Vila.xml");
    ASSERT_TRUE(map.open(QIODevice::WriteOnly | QIODevice::Truncate));
    map.write("<?xml version=\"1.0\"?><DATAPACKET><ROWDATA><ROW a=\"1\"");
    map.close();
    try {
        play::loadGame({project.projectFile(), {}, std::pair{1, 1}, qmtest::binFolder()});
        FAIL() << "a broken map was read";
    } catch (const Error& e) {
        const std::string whole = e.what();
        EXPECT_NE(whole.find("O mapa \"Mapas\\Vila.xml\" não pode ser lido: "), std::string::npos) << whole;
        const QString screen = errorScreenText(e);
        EXPECT_TRUE(screen.startsWith(QString::fromUtf8("O mapa \"Mapas\\Vila.xml\" não pode ser lido.")))
            << screen.toStdString();
        EXPECT_FALSE(screen.contains(QStringLiteral("invalid"))) << screen.toStdString();
        EXPECT_FALSE(screen.contains(QStringLiteral("parsing"))) << screen.toStdString();
    }
    // a failure that is ours from start to end is shown whole
    EXPECT_EQ(errorScreenText(Error("O mapa \"Mapas\\Lago.xml\" não existe")),
              QString::fromUtf8("O mapa \"Mapas\\Lago.xml\" não existe"));
}

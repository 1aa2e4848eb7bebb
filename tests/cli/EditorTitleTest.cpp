// The captions of the editor's windows reach the window system exactly as the
// windows set them: no application name appended by the toolkit. Runs the real
// editor on a virtual X display and reads the names X holds.
#include "TempDir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

namespace {

QString run(const QString& program, const QStringList& args, const QProcessEnvironment& env) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished();
    }
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

}  // namespace

TEST(EditorTitle, TheWindowSystemReceivesTheCaptionAsItStands) {
    const QString xvfb = QStandardPaths::findExecutable("Xvfb");
    const QString xdotool = QStandardPaths::findExecutable("xdotool");
    if (xvfb.isEmpty() || xdotool.isEmpty()) GTEST_SKIP() << "Xvfb or xdotool is missing";
    qmtest::TempDir home;

    // A display of its own: Xvfb writes the number it took.
    QProcess server;
    server.start(xvfb, {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    ASSERT_TRUE(server.waitForStarted());
    ASSERT_TRUE(server.waitForReadyRead(10000));
    const QString display = ":" + QString::fromUtf8(server.readLine()).trimmed();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    env.remove("QT_QPA_PLATFORM");
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home.path() + "config");
    env.insert("XDG_DATA_HOME", home.path() + "data");
    QDir().mkpath(home.path() + "runtime");
    QFile::setPermissions(home.path() + "runtime",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    env.insert("XDG_RUNTIME_DIR", home.path() + "runtime");

    QProcess editor;
    editor.setProcessEnvironment(env);
    editor.start(qmtest::binFolder() + "quillmark");
    ASSERT_TRUE(editor.waitForStarted());

    QStringList names;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 20000) {
        names.clear();
        const QStringList ids = run(xdotool, {"search", "--onlyvisible", "--name", "Quillmark"}, env).split('\n');
        for (const QString& id : ids)
            if (!id.isEmpty()) names << run(xdotool, {"getwindowname", id}, env);
        if (names.contains("Quillmark 1.0")) break;
        QThread::msleep(100);
    }
    editor.kill();
    editor.waitForFinished();
    server.kill();
    server.waitForFinished();

    EXPECT_TRUE(names.contains("Quillmark 1.0")) << names.join(" | ").toStdString();
    for (const QString& name : names) EXPECT_FALSE(name.contains(u'—')) << name.toStdString();
}

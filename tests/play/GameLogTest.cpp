// What a game started by Play writes on standard error after the wait for an
// immediate failure: kept in the game's log, not lost in a removed file; an
// immediate failure still comes back as the error, and each Play starts the
// log afresh.
#include "TempDir.h"

#include "model/core/Error.h"
#include "model/project/RuntimeLauncher.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

void makeExecutable(const QString& path) {
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ReadOwner);
}

QByteArray waitForLog(const QString& log, const QByteArray& last) {
    QByteArray text;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000) {
        QFile f(log);
        if (f.open(QIODevice::ReadOnly)) text = f.readAll();
        if (text.contains(last)) break;
        QThread::msleep(20);
    }
    return text;
}

}  // namespace

TEST(GameLog, WhatTheGameWritesAfterTheWaitIsKept) {
    qmtest::TempDir dir;
    const QString runtime = dir.file("Jogo.exe");
    dir.write("Jogo.exe", "#!/bin/sh\necho 'carregando' >&2\nsleep 0.6\necho 'mapa sem tiles' >&2\n");
    makeExecutable(runtime);
    const QString log = play::gameLogPath(runtime);
    EXPECT_TRUE(log.endsWith(".log"));
    EXPECT_FALSE(log.startsWith(dir.path()));  // never written into the project
    EXPECT_NO_THROW(play::startRuntime(runtime, QString(), 200));
    const QByteArray text = waitForLog(log, "mapa sem tiles");
    EXPECT_EQ(text, "carregando\nmapa sem tiles\n");

    // the next Play starts it afresh
    dir.write("Jogo.exe", "#!/bin/sh\nsleep 0.4\necho 'outra vez' >&2\n");
    EXPECT_NO_THROW(play::startRuntime(runtime, QString(), 200));
    EXPECT_EQ(waitForLog(log, "outra vez"), "outra vez\n");

    // a failure within the wait is still the error, read from the same log
    dir.write("Jogo.exe", "#!/bin/sh\necho 'sem placa de som' >&2\nexit 2\n");
    try {
        play::startRuntime(runtime, QString(), 1500);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("sem placa de som"), std::string::npos) << e.what();
    }
    // another runtime of the same name elsewhere has a log of its own
    qmtest::TempDir other;
    EXPECT_NE(play::gameLogPath(other.file("Jogo.exe")), log);
}

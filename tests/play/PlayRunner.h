#pragma once
// Runs the real quillmark-play of the build (build/bin) in its test mode, and
// builds the small projects the tests play.
#include "ProjectFixture.h"
#include "TempDir.h"

#include "model/core/MapGrid.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <map>
#include <ostream>
#include <string>
#include <vector>

// Readable failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace qmtest {

struct PlayResult {
    int status = -1;
    QByteArray out;
    QByteArray err;
    std::string outText() const { return out.toStdString(); }
    std::string errText() const { return err.toStdString(); }
    QStringList lines() const { return QString::fromUtf8(out).split('\n', Qt::SkipEmptyParts); }
    bool has(const QString& line) const { return lines().contains(line); }
    // The trace's last line: "fim quadro N heroi R,C DIR".
    QString last() const { return lines().isEmpty() ? QString() : lines().back(); }
};

inline QProcessEnvironment playEnvironment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    const QString runtime = QDir::tempPath() + "/quillmark-play-test-runtime";
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    env.insert("XDG_RUNTIME_DIR", runtime);
    return env;
}

inline PlayResult runProgram(const QString& program, const QStringList& args,
                             const QProcessEnvironment& env = playEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    PlayResult r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// quillmark-play TARGET --headless --trace --keys KEYS --frames FRAMES [extra …]
inline PlayResult play(const QString& target, const QString& keys, int frames, const QStringList& extra = {}) {
    QStringList args{target, "--headless", "--trace", "--frames", QString::number(frames)};
    if (!keys.isEmpty()) args << "--keys" << keys;
    return runProgram(binFolder() + "quillmark-play", args + extra);
}

// A 7 x 7 map of plain grass ('0', open everywhere) to put walls and events on.
inline quillmark::MapGrid smallMap(int n = 7) {
    quillmark::MapGrid g;
    g.newGrid(n);
    return g;
}

// Every file under a folder with its bytes and time of change.
inline std::map<QString, std::pair<QByteArray, qint64>> snapshot(const QString& folder) {
    std::map<QString, std::pair<QByteArray, qint64>> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        files[QDir(folder).relativeFilePath(path)] = {f.readAll(), it.fileInfo().lastModified().toMSecsSinceEpoch()};
    }
    return files;
}

}  // namespace qmtest

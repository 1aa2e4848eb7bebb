#pragma once
// Runs the real quillmark-cli of the build (build/bin) and collects what it did.
#include "TempDir.h"

#include <QByteArray>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <string>

namespace qmtest {

struct CliResult {
    int status = -1;
    QByteArray out;
    QByteArray err;
    std::string outText() const { return out.toStdString(); }
    std::string errText() const { return err.toStdString(); }
};

inline CliResult runCli(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    const QString runtime = QDir::tempPath() + "/quillmark-cli-test-runtime";
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    env.insert("XDG_RUNTIME_DIR", runtime);
    p.setProcessEnvironment(env);
    p.start(binFolder() + "quillmark-cli", args);
    CliResult r;
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

}  // namespace qmtest

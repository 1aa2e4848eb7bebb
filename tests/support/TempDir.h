#pragma once
// A temporary folder for one test, removed afterwards.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QTemporaryDir>
#include <map>
#include <string>

namespace qmtest {

class TempDir {
public:
    TempDir() { dir_.setAutoRemove(true); }
    // The folder, ending with '/'.
    QString path() const { return dir_.path() + '/'; }
    QString file(const QString& relative) const { return path() + relative; }
    void write(const QString& relative, const QByteArray& content) const;
    QByteArray read(const QString& relative) const;
    bool exists(const QString& relative) const;

private:
    QTemporaryDir dir_;
};

// Sets a file's modification time back by `seconds`, so that a test can tell
// a rewrite from no write without waiting for the clock. Returns the new time.
QDateTime ageFile(const QString& path, int seconds = 3600);

// Every file of a folder, recursively, with its bytes, by its path relative
// to the folder: a command that must change nothing is checked against it.
std::map<QString, QByteArray> folderFiles(const QString& folder);

// The editor folder of the build (build/bin), where the template set lies.
QString binFolder();

}  // namespace qmtest

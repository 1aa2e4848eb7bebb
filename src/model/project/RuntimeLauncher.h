#pragma once
// The game runtime a project carries ((name).exe, copied from the template
// set's "Data\Vorpex.exe") is, on this platform, a small shell script that
// starts quillmark-play on the folder it lies in: the player beside the editor
// that made it when that one is still there, otherwise the one on the PATH, so
// a project copied to another machine still plays. When the folder holds
// several project files, the one named like the launcher is played.
#include <QByteArray>
#include <QString>

namespace quillmark::play {

// The launcher's text for an editor folder (where quillmark-play lies).
QByteArray launcherScript(const QString& editorFolder);

// Starts the runtime at `path` with no arguments, without waiting, in the
// current working folder. Throws Error naming the file and the reason when it
// cannot be started: the file is missing, is not a file, is not executable, or
// the system refuses to run it.
void startRuntime(const QString& path);

}  // namespace quillmark::play

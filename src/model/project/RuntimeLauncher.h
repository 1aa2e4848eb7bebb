#pragma once
// The game runtime a project carries ((name).exe, copied from the template
// set's "Data\Vorpex.exe") is, on this platform, a small shell script that
// starts quillmark-play on the folder it lies in. It holds no path of the
// machine it was made on; it looks for the player, in this order:
//   1. the one named in QUILLMARK_PLAY (the editor's Play names its own);
//   2. one packaged beside the game: quillmark-play in the game's folder, or
//      in "player/" one folder up (the layout `quillmark-cli package` writes);
//   3. the installed one: the PATH, then the usual install prefixes.
// When it finds none it says so on standard error and, started outside the
// editor on a desktop, in a window too; the editor's Play shows the message in
// its error box. When the folder holds several project files, the one named
// like the launcher is played.
#include <QByteArray>
#include <QString>

namespace quillmark::play {

// The variable through which the editor names its player, and the one that
// tells the launcher the editor shows its failure (so it opens no window).
inline constexpr const char* kPlayerVariable = "QUILLMARK_PLAY";
inline constexpr const char* kFromEditorVariable = "QUILLMARK_FROM_EDITOR";
// The exit status of a launcher that found no player.
inline constexpr int kNoPlayerStatus = 127;

// The launcher's text: the same bytes wherever it is made.
QByteArray launcherScript();

// What a project's runtime file is.
enum class RuntimeKind {
    Missing,   // no file there
    Current,   // this editor's launcher, byte for byte
    Outdated,  // a launcher of an older editor (with its build path) or the old stand-in
    Foreign,   // anything else: a runtime the game maker put there, left alone
};
RuntimeKind runtimeKind(const QString& path);
// Writes the current launcher at `path` (atomically, executable).
// With a project folder, the path must stay inside it (Files.h, checkWriteInsideProject).
void writeLauncher(const QString& path, const QString& projectFolder = {});
// The question the editor asks when a project's runtime is outdated.
QString outdatedRuntimeQuestion(const QString& path);

// The player beside this program (the editor's own), or empty when there is none.
QString playerBesideProgram();

// The game's log: what the runtime Play started writes on standard error,
// in the user's temporary folder ("quillmark-jogos-<uid>/<name>-<tag>.log",
// the tag telling apart runtimes of the same name). Each Play starts it afresh;
// it stays once the game ends.
QString gameLogPath(const QString& runtimePath);

// How long Play waits for a runtime that fails at once.
inline constexpr int kImmediateFailureMs = 1500;

// Starts the runtime at `path` with no arguments, in the current working
// folder, naming `player` to it (when not empty), and waits up to waitMs for
// an immediate failure. Throws Error naming the file and the reason when it
// cannot be started: the file is missing, is not a file, is not executable,
// the system refuses to run it, or it ended at once with a message on
// standard error (that message is the reason). A runtime still running after
// waitMs, or that has started the player, is left running, writing on into
// its log (gameLogPath).
void startRuntime(const QString& path, const QString& player = QString(), int waitMs = kImmediateFailureMs);

}  // namespace quillmark::play

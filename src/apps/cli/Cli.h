#pragma once
// The command-line tool: commands that work on a project without the editor's
// windows, with the same model code the editor runs. Texts given on the command
// line and printed on the terminal are UTF-8; inside the project they are
// CP1252, as everywhere in the editor.
#include "model/core/MapGrid.h"
#include "model/core/ProjectFile.h"

#include <QString>
#include <stdexcept>
#include <string>
#include <vector>

namespace quillmark::cli {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// A command line that does not fit its command: exit status 2.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

// One command's arguments after its name: the plain words in order and the
// options ("--name NOME", "--name=NOME" or a flag "--coordinates").
class Args {
public:
    // `valued` names the options that take a value, `flags` those that do not.
    // Anything else starting with "--" is a usage error; "--" ends the options.
    Args(const std::vector<std::string>& words, const std::vector<std::string>& valued,
         const std::vector<std::string>& flags);

    // Exactly this many plain words, else a usage error.
    void requireCount(size_t count) const;
    const std::string& word(size_t i) const { return words_.at(i); }
    size_t count() const { return words_.size(); }

    bool has(const std::string& option) const;
    // The value of a valued option, or `fallback` when it was not given.
    std::string value(const std::string& option, const std::string& fallback) const;

private:
    std::vector<std::string> words_;
    std::vector<std::pair<std::string, std::string>> options_;
};

// A path given on the command line (bytes in the terminal's encoding).
QString pathArg(const std::string& arg);
// A project text given on the command line (UTF-8) as CP1252 bytes. A text that
// is not UTF-8, or holds a character CP1252 cannot hold, is a usage error.
std::string cp1252Arg(const std::string& arg, const char* what);

// Reads the project file (the editor's reader); its errors are the editor's.
ProjectState readProject(const QString& projectFile);

// The file of a map in the project's "Mapas\" folder, found without regard to
// letter case. `mapName` is the file name as the project lists it ("Vila.xml"), CP1252.
QString mapPath(const ProjectState& project, const std::string& mapName);

// Writes text to standard output / standard error (UTF-8 bytes).
void out(const std::string& text);
void err(const std::string& text);

// The commands. Each returns its exit status; failures are thrown (quillmark::Error
// for the editor's errors, UsageError for the command line).
int cmdNew(const Args& args);
int cmdNewMap(const Args& args);
int cmdDump(const Args& args);
int cmdResave(const Args& args);
int cmdRender(const Args& args);
int cmdCheck(const Args& args);
int cmdDemo(const Args& args);
int cmdExport(const Args& args);
int cmdImport(const Args& args);
int cmdTextconv(const Args& args);
int cmdMerge(const Args& args);
int cmdGitSetup(const Args& args);
int cmdPackage(const Args& args);

// Every problem `check` finds in a project, one line each (none: empty).
std::vector<std::string> checkProject(const ProjectState& project);

// The JSON object `dump` prints for a loaded grid (one line, no line break).
std::string mapJson(const MapGrid& grid);
// A JSON string literal (quotes included) for UTF-8 text.
std::string jsonString(const std::string& utf8);

}  // namespace quillmark::cli

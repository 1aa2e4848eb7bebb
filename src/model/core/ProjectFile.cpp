#include "model/core/ProjectFile.h"

#include "model/core/Format.h"

#include "model/core/Error.h"
#include "model/core/Files.h"
#include "model/core/Paths.h"
#include "model/core/Text.h"

#include <QFileInfo>
#include <charconv>
#include <cstdint>

namespace quillmark {

namespace {

// Line prefixes as written. When reading, only their lengths count.
constexpr std::string_view kNamePrefix = "Project Name:";
constexpr std::string_view kAuthorPrefix = "Project Autor:";
constexpr std::string_view kMapsPrefix = "Mapas:";
constexpr std::string_view kInitialMapPrefix = "Mapa Inicial:";
constexpr std::string_view kCharXPrefix = "Char X:";
constexpr std::string_view kCharYPrefix = "Char Y:";

// The lines of a text file (LF, CR LF taken as one).
std::vector<std::string> splitLines(const QByteArray& bytes) {
    std::vector<std::string> lines;
    for (std::string_view line : format::textLines(std::string_view(bytes.constData(), size_t(bytes.size()))))
        lines.emplace_back(line);
    return lines;
}

// The characters after a prefix of the given length; empty for a shorter line.
std::string afterPrefix(const std::string& line, std::string_view prefix) {
    return line.size() > prefix.size() ? line.substr(prefix.size()) : std::string();
}

}  // namespace

void ProjectState::clear() {
    ProjectFile.clear();
    ProjectFolder.clear();
    RuntimePath.clear();
    ProjectName.clear();
    ProjectAuthor.clear();
    MapsLine.clear();
    InitialMap.clear();
    MapList.clear();
    CharX = 0;
    CharY = 0;
}

std::vector<std::string> ProjectState::mapFileNames() const {
    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(MapList.size()));
    for (const QString& entry : MapList) names.push_back(mapFileName(entry));
    return names;
}

std::string mapFileName(const QString& entry) { return toCp1252(fileNameOf(entry)); }

QString RemoveExtension(const QString& name) {
    const qsizetype dot = name.indexOf('.');
    return dot < 0 ? name : name.left(dot);
}

std::string RemoveExtension(std::string_view name) {
    const size_t dot = name.find('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

QString runtimePathFor(const QString& projectFolder, const QString& projectFile) {
    return projectFolder + RemoveExtension(fileNameOf(projectFile)) + QStringLiteral(".exe");
}

int parseIntegerValue(std::string_view text) { return format::parseInteger(text); }

void readProjectFile(const QString& path, ProjectState& state) { readProjectFile(path, readFile(path), state); }

// A position line's integer; a bad one names the file and the line.
static int positionValue(const QString& path, const QByteArray& bytes, const std::vector<std::string>& lines,
                         size_t index, std::string_view prefix) {
    const std::string text = index < lines.size() ? afterPrefix(lines[index], prefix) : std::string();
    try {
        return parseIntegerValue(text);
    } catch (const Error& e) {
        std::string where = fileNameOf(path).toStdString() + ", line " + std::to_string(index + 1) + ": " + e.what();
        // A file saved with old Macintosh line ends reads as a single line.
        if (bytes.contains('\r') && !bytes.contains('\n')) where += " (its lines end in CR alone)";
        throw Error(where);
    }
}

void readProjectFile(const QString& path, const QByteArray& fileBytes, ProjectState& state) {
    // Some text editors start a UTF-8 file with a byte-order mark; it is no
    // part of the project name.
    QByteArray bytes = fileBytes;
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    const std::vector<std::string> lines = splitLines(bytes);
    auto line = [&lines](size_t i) { return i < lines.size() ? lines[i] : std::string(); };

    state.ProjectFile = path;
    // A bare file name lies in the current folder.
    QString folder = folderOf(path);
    if (folder.isEmpty()) folder = withTrailingSlash(QFileInfo(path).absolutePath());
    state.ProjectFolder = folder;
    state.RuntimePath = runtimePathFor(state.ProjectFolder, path);
    state.MapList.clear();

    state.ProjectName = afterPrefix(line(0), kNamePrefix);
    state.ProjectAuthor = afterPrefix(line(1), kAuthorPrefix);

    state.MapsLine = afterPrefix(line(2), kMapsPrefix);
    // Each '%' ends a name; what follows the last '%' is not a map.
    std::string name;
    for (char c : state.MapsLine) {
        if (c == '%') {
            state.MapList.append(state.ProjectFolder + QStringLiteral("Mapas/") + fromCp1252(name));
            name.clear();
        } else {
            name += c;
        }
    }

    state.InitialMap = afterPrefix(line(3), kInitialMapPrefix);
    state.CharX = positionValue(path, bytes, lines, 4, kCharXPrefix);
    state.CharY = positionValue(path, bytes, lines, 5, kCharYPrefix);
}

QByteArray projectFileBytes(const ProjectState& state) {
    std::string out;
    auto add = [&out](std::string_view prefix, std::string_view value) {
        out += prefix;
        out += value;
        out += "\r\n";
    };
    add(kNamePrefix, state.ProjectName);
    add(kAuthorPrefix, state.ProjectAuthor);
    add(kMapsPrefix, state.MapsLine);
    add(kInitialMapPrefix, state.InitialMap);
    add(kCharXPrefix, std::to_string(state.CharX));
    add(kCharYPrefix, std::to_string(state.CharY));
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

void writeProjectFile(const ProjectState& state) {
    writeFileAtomic(state.ProjectFile, projectFileBytes(state), state.ProjectFolder);
}

}  // namespace quillmark

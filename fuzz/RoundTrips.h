#pragma once
// Round-trip checks shared by the fuzz harnesses and the corpus replay test.
// Each takes raw input bytes; input the reader refuses with our Error is fine.
// Anything read must come back the same after writing and reading again; a
// check returns an empty string when it holds, else what went wrong.
#include "model/core/DataPacket.h"
#include "model/core/Error.h"
#include "model/core/MapFile.h"
#include "model/core/MapGrid.h"
#include "model/core/MapTree.h"
#include "model/core/ProjectFile.h"
#include "model/core/RecordTable.h"
#include "model/core/Text.h"
#include "model/events/EventCommands.h"
#include "model/events/EventScript.h"
#include "model/mapedit/NewMap.h"
#include "model/mapedit/TiledExchange.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <string>
#include <string_view>

namespace qmfuzz {

using namespace quillmark;

inline std::string dataPacket(std::string_view input) {
    datapacket::Contents first;
    try {
        first = datapacket::parse(std::string(input), QString());
    } catch (const Error&) {
        return {};
    }
    const std::string written = datapacket::write(first.fields, first.records);
    datapacket::Contents second;
    try {
        second = datapacket::parse(written, QString());
    } catch (const Error& e) {
        return std::string("the written packet does not load: ") + e.what();
    }
    if (second.fields.size() != first.fields.size()) return "field count differs";
    for (size_t i = 0; i < first.fields.size(); ++i) {
        const FieldDef& a = first.fields[i];
        const FieldDef& b = second.fields[i];
        if (a.name != b.name || a.kind != b.kind || a.width != b.width)
            return "field " + std::to_string(i) + " differs";
    }
    if (second.records.size() != first.records.size()) return "row count differs";
    for (size_t r = 0; r < first.records.size(); ++r)
        for (size_t f = 0; f < first.fields.size(); ++f) {
            const auto& a = f < first.records[r].size() ? first.records[r][f] : std::optional<std::string>();
            const auto& b = f < second.records[r].size() ? second.records[r][f] : std::optional<std::string>();
            const bool emptyA = !a || a->empty(), emptyB = !b || b->empty();
            if (emptyA != emptyB || (!emptyA && *a != *b))
                return "row " + std::to_string(r) + " field " + std::to_string(f) + " differs";
        }
    return {};
}

inline std::string projectFile(std::string_view input) {
    const QString path = QStringLiteral("/p/Aventura.qmk");
    ProjectState first;
    try {
        readProjectFile(path, QByteArray(input.data(), qsizetype(input.size())), first);
    } catch (const Error&) {
        return {};
    }
    const QByteArray written = projectFileBytes(first);
    ProjectState second;
    try {
        readProjectFile(path, written, second);
    } catch (const Error& e) {
        return std::string("the written project file does not load: ") + e.what();
    }
    if (first.ProjectName != second.ProjectName || first.ProjectAuthor != second.ProjectAuthor ||
        first.MapsLine != second.MapsLine || first.InitialMap != second.InitialMap || first.MapList != second.MapList ||
        first.CharX != second.CharX || first.CharY != second.CharY)
        return "the project state differs after writing";
    if (projectFileBytes(second) != written) return "the project file is not written the same twice";
    return {};
}

inline std::string treeFile(std::string_view input) {
    const std::vector<std::string> maps = {"Vila.xml", "Casa.xml"};
    MapTree first;
    try {
        first.CriaProjeto("Aventura");
        first.loadTreeBytes(QByteArray(input.data(), qsizetype(input.size())), "Aventura", maps);
    } catch (const Error&) {
        return {};
    }
    const QByteArray written = first.treeFileBytes();
    MapTree second;
    try {
        second.CriaProjeto("Aventura");
        second.loadTreeBytes(written, "Aventura", maps);
    } catch (const Error& e) {
        return std::string("the written tree file does not load: ") + e.what();
    }
    if (second.treeFileBytes() != written) return "the tree differs after writing";
    return {};
}

inline std::string mapFile(std::string_view input) {
    static QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/Mapa.xml");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return "cannot write the temporary map";
    f.write(input.data(), qint64(input.size()));
    f.close();
    MapGrid first;
    try {
        Abrir(first, path);
    } catch (const Error&) {
        return {};
    }
    const auto opaque = [](unsigned char) { return false; };
    const std::string written = mapFileText(first, opaque);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return "cannot write the temporary map";
    f.write(written.data(), qint64(written.size()));
    f.close();
    MapGrid second;
    try {
        Abrir(second, path);
    } catch (const Error& e) {
        return std::string("the written map does not load: ") + e.what();
    }
    if (second.N != first.N) return "the map size differs";
    for (int r = 1; r <= first.N; ++r)
        for (int c = 1; c <= first.N; ++c)
            // The writer stores an odd mark as it shows ('O') and a cell
            // without an event as "NULL"; everything else comes back as read.
            if (first.tipo(r, c) != second.tipo(r, c) || first.fundo(r, c) != second.fundo(r, c) ||
                (first.xo(r, c) == 'X') != (second.xo(r, c) == 'X') ||
                (first.evento(r, c) != second.evento(r, c) &&
                 !(IsNoEvent(first.evento(r, c)) && IsNoEvent(second.evento(r, c)))))
                return "cell " + std::to_string(r) + "," + std::to_string(c) + " differs";
    if (mapFileText(second, opaque) != written) return "the map is not written the same twice";
    return {};
}

inline std::string eventScript(std::string_view input) {
    // What the editor stores never holds CR LF; every other text splits into
    // lines that flatten back into it.
    const std::string stored = RemoveCrLf(input);
    // Removing the pairs once may join a CR and an LF into a new pair
    // ("\r\r\n\n"); such a text is not one the editor stores.
    if (stored.find("\r\n") != std::string::npos) return {};
    const std::vector<std::string> lines = SplitEventText(stored);
    if (lines.empty()) return "no lines";
    if (FlattenEventText(lines) != stored) return "split and flatten do not give the text back";
    return {};
}

// An event script as the grammar reads it: whatever the bytes, reading ends
// (nesting is bounded) and every command read whole writes back, with its
// blocks, into a text that reads as the same commands again.
inline void writeCommands(const std::vector<EventCommand>& commands, std::string& out) {
    for (const EventCommand& c : commands) {
        out += CommandText(c.kind, c.args);
        const BlockShape shape = layoutOf(c.kind).blocks;
        for (std::size_t b = 0; b < c.blocks.size(); ++b) {
            if (shape == BlockShape::Condition && b == 1) out += kSenao;
            if (shape == BlockShape::YesNo) out += b == 0 ? kSim : kNao;
            if (shape == BlockShape::Choices) out += kOpcao;
            writeCommands(c.blocks[b].commands, out);
        }
        if (shape == BlockShape::Condition) out += kFimSe;
        if (shape == BlockShape::YesNo || shape == BlockShape::Choices) out += kFimQuestao;
    }
}

inline std::string eventCommands(std::string_view input) {
    (void)ParseCellEvent(input);
    const ParsedEvent first = ParseScriptText(input);
    bool whole = true;
    forEachCommand(first.commands, [&](const EventCommand& c) {
        if (!c.ok || c.kind == EventCommandKind::AddChar) whole = false;
    });
    if (!whole) return {};
    std::string written;
    writeCommands(first.commands, written);
    const ParsedEvent second = ParseScriptText(written);
    if (!second.problems.empty())
        return "the written commands read with a problem: " + describeProblem(second.problems[0]);
    if (!(second.commands == first.commands)) return "the written commands read differently: " + written;
    return {};
}

inline std::string cp1252Text(std::string_view input) {
    const std::string utf8 = cp1252ToUtf8(input);
    std::string back;
    if (!utf8ToCp1252(utf8, &back)) return "the UTF-8 form is not valid UTF-8";
    // Bytes the code page leaves undefined may come back as '?'; every other
    // byte comes back as it was.
    if (back.size() != input.size()) return "the length differs";
    for (size_t i = 0; i < input.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(input[i]);
        const bool undefined = c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
        if (back[i] != input[i] && !(undefined && back[i] == '?')) return "byte " + std::to_string(i) + " differs";
    }
    const QString text = fromCp1252(input);
    if (toCp1252(text) != back) return "the QString form differs";
    return {};
}

inline std::string newMapName(std::string_view input) {
    const std::string name(input);
    try {
        if (!checkMapNameForm(name).empty()) return {};
    } catch (const Error&) {
        return {};
    }
    // An accepted name is listed in the project file and comes back as one map.
    const std::string file = mapFileNameFor(name);
    ProjectState state;
    state.ProjectFile = QStringLiteral("/p/Aventura.qmk");
    state.ProjectName = "Aventura";
    state.MapsLine = file + "%";
    state.InitialMap = file;
    ProjectState back;
    try {
        readProjectFile(state.ProjectFile, projectFileBytes(state), back);
    } catch (const Error& e) {
        return std::string("the project file with the map does not load: ") + e.what();
    }
    if (back.MapList.size() != 1 || mapFileName(back.MapList.first()) != file)
        return "the map list does not hold the map";
    // and the tree file gives it back at the top of the project
    MapTree tree;
    tree.CriaProjeto("Aventura");
    tree.AddMap(file, 2);
    const QByteArray bytes = tree.treeFileBytes();
    MapTree again;
    again.CriaProjeto("Aventura");
    try {
        again.loadTreeBytes(bytes, "Aventura", {file});
    } catch (const Error& e) {
        return std::string("the tree with the map does not load: ") + e.what();
    }
    if (!again.findFirst(file)) return "the tree lost the map";
    return {};
}

// A TMX map as Tiled might write it: what the reader accepts (empty cells
// and extra layers allowed) must export, import back to the same cells and
// export to the same text again. The tileset "Tiles.tsx" lies beside it.
inline std::string tmxFile(std::string_view input) {
    static QTemporaryDir folder;
    static const bool ready = [] {
        QFile tsx(folder.filePath("Tiles.tsx"));
        return tsx.open(QIODevice::WriteOnly) && tsx.write(QByteArray::fromStdString(tiled::tsxText())) > 0;
    }();
    if (!ready) return "no folder for the tileset";
    const tiled::ImportOptions lenient{static_cast<unsigned char>('0'), true};
    const QByteArray bytes(input.data(), static_cast<qsizetype>(input.size()));
    MapGrid first;
    try {
        first = tiled::readTmx(bytes, folder.path(), "f.tmx", lenient);
    } catch (const Error&) {
        return {};
    }
    std::string text;
    try {
        text = tiled::tmxText(first);
    } catch (const Error& e) {
        return std::string("an imported map does not export: ") + e.what();
    }
    MapGrid second;
    try {
        second = tiled::readTmx(QByteArray::fromStdString(text), folder.path(), "f.tmx");
    } catch (const Error& e) {
        return std::string("the exported map does not import: ") + e.what();
    }
    if (second.N != first.N) return "size differs";
    for (int r = 1; r <= first.N; ++r)
        for (int c = 1; c <= first.N; ++c) {
            const std::string at = " differs at " + std::to_string(r) + "," + std::to_string(c);
            if (first.tipo(r, c) != second.tipo(r, c)) return "Tipo" + at;
            if (first.fundo(r, c) != second.fundo(r, c)) return "Fundo" + at;
            if (first.xo(r, c) != second.xo(r, c)) return "XO" + at;
            const bool a = MapGrid::hasEvent(first.evento(r, c)), b = MapGrid::hasEvent(second.evento(r, c));
            if (a != b || (a && first.evento(r, c) != second.evento(r, c))) return "event" + at;
        }
    if (tiled::tmxText(second) != text) return "the second export differs from the first";
    return {};
}

}  // namespace qmfuzz

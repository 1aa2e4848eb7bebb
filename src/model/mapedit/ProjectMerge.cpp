#include "model/mapedit/ProjectMerge.h"

#include "model/core/DataPacket.h"
#include "model/core/Error.h"
#include "model/core/MapFile.h"
#include "model/core/MapGrid.h"
#include "model/core/Text.h"

#include <QFile>
#include <QFileInfo>
#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <set>

namespace quillmark::vcs {

namespace {

std::string labelOf(const QString& label) { return label.toStdString(); }

[[noreturn]] void refuse(const QString& label, const std::string& why) {
    throw Error("Não foi possível unir \"" + labelOf(label) + "\": " + why);
}

bool isDataPacket(const QByteArray& bytes) {
    qsizetype i = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (i < bytes.size() && std::isspace(static_cast<unsigned char>(bytes.at(i)))) ++i;
    return bytes.mid(i, 1) == "<";
}

const std::array<const char*, 6> kMapFields = {"Tipo", "Fundo", "Tamanho", "XO", "Evento", "Transparente"};

bool isMapSchema(const Schema& fields) {
    if (fields.size() != kMapFields.size()) return false;
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (!equalsIgnoreCase(fields[i].name, kMapFields[i])) return false;
    return true;
}

// The schema alone, without the rows: enough to tell a map from a table.
Schema schemaOf(const QByteArray& bytes, const QString& label) {
    pugi::xml_document doc;
    const pugi::xml_parse_result r = doc.load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()));
    if (!r) throw Error("\"" + labelOf(label) + "\" está danificado (" + r.description() + ").");
    const pugi::xml_node fields = doc.child("DATAPACKET").child("METADATA").child("FIELDS");
    if (!fields) throw Error("\"" + labelOf(label) + "\" não é uma tabela do projeto.");
    Schema schema;
    for (const pugi::xml_node f : fields.children("FIELD")) schema.push_back({f.attribute("attrname").value()});
    return schema;
}

std::string escapedLine(std::string_view cp1252) {
    std::string out;
    for (const char ch : cp1252ToUtf8(cp1252)) {
        if (ch == '\r')
            out += "\\r";
        else if (ch == '\n')
            out += "\\n";
        else if (ch == '\t')
            out += "\\t";
        else if (ch == '\\')
            out += "\\\\";
        else
            out += ch;
    }
    return out;
}

std::string cellLabel(int r, int c) { return "linha " + std::to_string(r) + ", coluna " + std::to_string(c); }

// --- maps ----------------------------------------------------------------------------------

MapGrid mapOf(const QString& path) {
    MapGrid grid;
    Abrir(grid, path);
    return grid;
}

// The "Transparente" each file stored for the codes it holds.
void collectTransparency(const QByteArray& bytes, std::array<int, 256>& known) {
    pugi::xml_document doc;
    if (!doc.load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()))) return;
    for (const pugi::xml_node row : doc.child("DATAPACKET").child("ROWDATA").children("ROW")) {
        std::string code;
        for (pugi::xml_attribute a = row.first_attribute(); a; a = a.next_attribute())
            if (equalsIgnoreCase(a.name(), "Tipo") && !utf8ToCp1252(a.value(), &code)) code = a.value();
        if (code.size() != 1) continue;
        for (pugi::xml_attribute a = row.first_attribute(); a; a = a.next_attribute())
            if (equalsIgnoreCase(a.name(), "Transparente"))
                known[static_cast<unsigned char>(code[0])] = equalsIgnoreCase(a.value(), "TRUE") ? 1 : 0;
    }
}

std::string mapText(const MapGrid& g) {
    std::string out = "Mapa " + std::to_string(g.N) + " x " + std::to_string(g.N) + "\n";
    for (int r = 1; r <= g.N; ++r)
        for (int c = 1; c <= g.N; ++c) {
            const unsigned char t = g.tipo(r, c), f = g.fundo(r, c), x = g.xo(r, c);
            if (t != MapGrid::kNewTipo || f != MapGrid::kNewFundo || x != MapGrid::kNewXO)
                out += cellLabel(r, c) + ": Tipo " + std::to_string(t) + ", Fundo " + std::to_string(f) + ", XO " +
                       escapedLine(std::string(1, static_cast<char>(x))) + "\n";
            if (MapGrid::hasEvent(g.evento(r, c)))
                out += cellLabel(r, c) + ": Evento " + escapedLine(g.evento(r, c)) + "\n";
        }
    return out;
}

template <typename T> T pick(const T& base, const T& ours, const T& theirs, bool* conflict) {
    if (ours == theirs || theirs == base) return ours;
    if (ours == base) return theirs;
    *conflict = true;
    return ours;
}

MergeResult mergeMaps(const QString& basePath, const QString& oursPath, const QString& theirsPath,
                      const QByteArray& baseBytes, const QByteArray& oursBytes, const QByteArray& theirsBytes,
                      const QString& label) {
    const MapGrid base = mapOf(basePath);
    const MapGrid ours = mapOf(oursPath);
    const MapGrid theirs = mapOf(theirsPath);
    MapGrid merged = ours;
    if (ours.N != theirs.N) {
        if (ours.N == base.N)
            merged = theirs;
        else if (theirs.N != base.N)
            refuse(label, "o tamanho do mapa mudou dos dois lados (" + std::to_string(ours.N) + " e " +
                              std::to_string(theirs.N) + ").");
        // One side resized the map: its cells are taken whole, the other's
        // edits merged into the cells both sizes hold.
    }
    MergeResult result;
    MapGrid fresh;
    fresh.newGrid(MapGrid::kCapacity);
    const MapGrid& b = base.N == merged.N ? base : fresh;
    static const char* const kNames[] = {"Tipo", "Fundo", "XO"};
    for (int r = 1; r <= merged.N; ++r)
        for (int c = 1; c <= merged.N; ++c) {
            if (!ours.inMap(r, c) || !theirs.inMap(r, c)) continue;
            const std::size_t i = MapGrid::index(r, c);
            std::vector<unsigned char>* mergedCodes[] = {&merged.Tipo, &merged.Fundo, &merged.XO};
            const std::vector<unsigned char>* baseCodes[] = {&b.Tipo, &b.Fundo, &b.XO};
            const std::vector<unsigned char>* ourCodes[] = {&ours.Tipo, &ours.Fundo, &ours.XO};
            const std::vector<unsigned char>* theirCodes[] = {&theirs.Tipo, &theirs.Fundo, &theirs.XO};
            for (int k = 0; k < 3; ++k) {
                bool conflict = false;
                (*mergedCodes[k])[i] = pick((*baseCodes[k])[i], (*ourCodes[k])[i], (*theirCodes[k])[i], &conflict);
                if (conflict)
                    result.conflicts.push_back(labelOf(label) + " " + cellLabel(r, c) + ": " + kNames[k] + " (nosso " +
                                               std::to_string((*ourCodes[k])[i]) + ", deles " +
                                               std::to_string((*theirCodes[k])[i]) + ")");
            }
            // "NULL" and an empty text both mean no event.
            auto norm = [](const std::string& e) { return MapGrid::hasEvent(e) ? e : std::string("NULL"); };
            bool conflict = false;
            merged.Evento[i] = pick(norm(b.Evento[i]), norm(ours.Evento[i]), norm(theirs.Evento[i]), &conflict);
            if (conflict) result.conflicts.push_back(labelOf(label) + " " + cellLabel(r, c) + ": Evento");
        }
    std::array<int, 256> known;
    known.fill(-1);
    collectTransparency(baseBytes, known);
    collectTransparency(theirsBytes, known);
    collectTransparency(oursBytes, known);
    const std::string text = mapFileText(merged, [&known](unsigned char code) { return known[code] == 1; });
    result.text = QByteArray::fromStdString(text);
    return result;
}

// --- tables --------------------------------------------------------------------------------

// The field that names a record, or -1 (records are then named by position).
int keyField(const Schema& fields) {
    for (const char* key : {"Nome", "Tipo", "File", "Cod_Item", "Cod_Magia"})
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (equalsIgnoreCase(fields[i].name, key)) return static_cast<int>(i);
    return -1;
}

std::string kindName(const FieldDef& f) {
    switch (f.kind) {
    case FieldKind::String:
        return "string " + std::to_string(f.width);
    case FieldKind::Integer:
        return "i4";
    case FieldKind::Boolean:
        return "boolean";
    case FieldKind::Memo:
        return "memo";
    }
    return "";
}

// Each record's name: the key field's value ("#2" added for a repeated one)
// or its position.
std::vector<std::string> recordKeys(const datapacket::Contents& t) {
    const int key = keyField(t.fields);
    std::vector<std::string> keys;
    std::map<std::string, int> seen;
    for (std::size_t r = 0; r < t.records.size(); ++r) {
        if (key < 0) {
            keys.push_back("registro " + std::to_string(r + 1));
            continue;
        }
        const auto& v = static_cast<std::size_t>(key) < t.records[r].size() ? t.records[r][key] : std::nullopt;
        std::string k = t.fields[key].name + " \"" + escapedLine(v.value_or("")) + "\"";
        if (const int n = ++seen[k]; n > 1) k += " #" + std::to_string(n);
        keys.push_back(k);
    }
    return keys;
}

std::string tableText(const datapacket::Contents& t) {
    std::string out = "Tabela:";
    for (std::size_t i = 0; i < t.fields.size(); ++i)
        out += (i ? ", " : " ") + cp1252ToUtf8(t.fields[i].name) + " (" + kindName(t.fields[i]) + ")";
    out += "\n";
    const std::vector<std::string> keys = recordKeys(t);
    for (std::size_t r = 0; r < t.records.size(); ++r)
        for (std::size_t f = 0; f < t.fields.size() && f < t.records[r].size(); ++f)
            if (t.records[r][f])
                out += keys[r] + ": " + cp1252ToUtf8(t.fields[f].name) + " = " + escapedLine(*t.records[r][f]) + "\n";
    return out;
}

datapacket::Contents tableOf(const QByteArray& bytes, const QString& label) {
    return datapacket::parse(bytes.toStdString(), label);
}

bool sameSchema(const Schema& a, const Schema& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].name != b[i].name || a[i].kind != b[i].kind || a[i].width != b[i].width) return false;
    return true;
}

MergeResult mergeTables(const QByteArray& baseBytes, const QByteArray& oursBytes, const QByteArray& theirsBytes,
                        const QString& label) {
    const datapacket::Contents base = tableOf(baseBytes, label);
    const datapacket::Contents ours = tableOf(oursBytes, label);
    const datapacket::Contents theirs = tableOf(theirsBytes, label);
    if (!sameSchema(base.fields, ours.fields) || !sameSchema(base.fields, theirs.fields))
        refuse(label, "os campos da tabela mudaram; una este arquivo à mão.");
    const std::size_t width = base.fields.size();
    auto index = [](const datapacket::Contents& t) {
        std::map<std::string, const Record*> m;
        const std::vector<std::string> keys = recordKeys(t);
        for (std::size_t i = 0; i < keys.size(); ++i) m[keys[i]] = &t.records[i];
        return m;
    };
    const auto baseIndex = index(base);
    const auto theirIndex = index(theirs);
    const std::vector<std::string> ourKeys = recordKeys(ours);
    std::set<std::string> ourKeySet(ourKeys.begin(), ourKeys.end());
    auto field = [width](const Record* r, std::size_t f) {
        return r && f < r->size() ? (*r)[f] : std::optional<std::string>();
    };
    auto find = [](const std::map<std::string, const Record*>& m, const std::string& k) -> const Record* {
        const auto it = m.find(k);
        return it == m.end() ? nullptr : it->second;
    };

    MergeResult result;
    std::vector<Record> merged;
    const std::string name = labelOf(label);
    for (std::size_t i = 0; i < ours.records.size(); ++i) {
        const std::string& key = ourKeys[i];
        const Record* o = &ours.records[i];
        const Record* b = find(baseIndex, key);
        const Record* t = find(theirIndex, key);
        if (b && !t) {  // they removed it
            bool changed = false;
            for (std::size_t f = 0; f < width; ++f) changed |= field(o, f) != field(b, f);
            if (!changed) continue;
            result.conflicts.push_back(name + " " + key + ": apagado por eles, mudado por nós");
            merged.push_back(*o);
            continue;
        }
        Record r(width);
        for (std::size_t f = 0; f < width; ++f) {
            bool conflict = false;
            r[f] = pick(field(b, f), field(o, f), field(t, f), &conflict);
            if (conflict) result.conflicts.push_back(name + " " + key + ": " + cp1252ToUtf8(base.fields[f].name));
        }
        merged.push_back(std::move(r));
    }
    const std::vector<std::string> theirKeys = recordKeys(theirs);
    for (std::size_t i = 0; i < theirs.records.size(); ++i) {
        const std::string& key = theirKeys[i];
        if (ourKeySet.count(key)) continue;
        const Record* b = find(baseIndex, key);
        if (!b) {
            merged.push_back(theirs.records[i]);  // they added it
            continue;
        }
        bool changed = false;
        for (std::size_t f = 0; f < width; ++f) changed |= field(&theirs.records[i], f) != field(b, f);
        if (changed) result.conflicts.push_back(name + " " + key + ": apagado por nós, mudado por eles");
    }
    result.text = QByteArray::fromStdString(datapacket::write(ours.fields, merged));
    return result;
}

// --- the project file and the map tree -------------------------------------------------------

std::vector<std::string> linesOf(const QByteArray& bytes) {
    std::vector<std::string> lines;
    std::string current;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char ch = bytes.at(i);
        if (ch == '\n') {
            if (!current.empty() && current.back() == '\r') current.pop_back();
            lines.push_back(current);
            current.clear();
        } else {
            current += ch;
        }
    }
    if (!current.empty()) lines.push_back(current);
    return lines;
}

QByteArray joinLines(const std::vector<std::string>& lines) {
    QByteArray out;
    for (const std::string& l : lines) out += QByteArray::fromStdString(l) + "\r\n";
    return out;
}

std::vector<std::string> mapNames(const std::string& line) {
    std::vector<std::string> names;
    std::string current;
    for (std::size_t i = 6; i < line.size(); ++i) {
        if (line[i] == '%') {
            names.push_back(current);
            current.clear();
        } else {
            current += line[i];
        }
    }
    return names;
}

MergeResult mergeProjectFiles(const QByteArray& baseBytes, const QByteArray& oursBytes, const QByteArray& theirsBytes,
                              const QString& label) {
    const auto base = linesOf(baseBytes), ours = linesOf(oursBytes), theirs = linesOf(theirsBytes);
    if (base.size() != 6 || ours.size() != 6 || theirs.size() != 6)
        refuse(label, "um dos lados não tem as seis linhas de um arquivo de projeto.");
    static const char* const kLines[] = {"Project Name", "Project Autor", "Mapas", "Mapa Inicial", "Char X", "Char Y"};
    MergeResult result;
    std::vector<std::string> merged(6);
    for (int i = 0; i < 6; ++i) {
        if (i == 2) continue;
        bool conflict = false;
        merged[i] = pick(base[i], ours[i], theirs[i], &conflict);
        if (conflict)
            result.conflicts.push_back(labelOf(label) + " linha " + std::to_string(i + 1) + " (" + kLines[i] + ")");
    }
    // The map list as a set: what either side added, without what either removed.
    const auto b = mapNames(base[2]), o = mapNames(ours[2]), t = mapNames(theirs[2]);
    auto has = [](const std::vector<std::string>& v, const std::string& s) {
        return std::find(v.begin(), v.end(), s) != v.end();
    };
    std::string line = "Mapas:";
    std::vector<std::string> taken;
    for (const std::string& m : o)
        if ((!has(b, m) || has(t, m)) && !has(taken, m)) taken.push_back(m);
    for (const std::string& m : t)
        if (!has(b, m) && !has(taken, m)) taken.push_back(m);
    for (const std::string& m : taken) line += m + "%";
    if (ours[2].size() > 6 && ours[2].back() != '%') line = ours[2];  // an odd line is kept as it stands
    merged[2] = line;
    result.text = joinLines(merged);
    return result;
}

// For each base line: whether the side kept it, and the lines the side put
// before it (the last entry: after the last base line).
struct Edit {
    std::vector<bool> kept;
    std::vector<std::vector<std::string>> inserted;
};

Edit editOf(const std::vector<std::string>& base, const std::vector<std::string>& side) {
    const std::size_t n = base.size(), m = side.size();
    std::vector<std::vector<int>> lcs(n + 1, std::vector<int>(m + 1, 0));
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;)
            lcs[i][j] = base[i] == side[j] ? lcs[i + 1][j + 1] + 1 : std::max(lcs[i + 1][j], lcs[i][j + 1]);
    Edit e{std::vector<bool>(n, false), std::vector<std::vector<std::string>>(n + 1)};
    std::size_t i = 0, j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && base[i] == side[j]) {
            e.kept[i++] = true;
            ++j;
        } else if (j < m && (i == n || lcs[i][j + 1] >= lcs[i + 1][j])) {
            e.inserted[i].push_back(side[j++]);
        } else {
            ++i;
        }
    }
    return e;
}

int depthOf(const std::string& line) {
    int d = 0;
    while (d < static_cast<int>(line.size()) && (line[d] == '\t' || line[d] == ' ')) ++d;
    return d;
}

MergeResult mergeTrees(const QByteArray& baseBytes, const QByteArray& oursBytes, const QByteArray& theirsBytes,
                       const QString& label) {
    const auto base = linesOf(baseBytes);
    const Edit o = editOf(base, linesOf(oursBytes));
    const Edit t = editOf(base, linesOf(theirsBytes));
    std::vector<std::string> merged;
    for (std::size_t i = 0; i <= base.size(); ++i) {
        const auto& oi = o.inserted[i];
        const auto& ti = t.inserted[i];
        if (!oi.empty() && !ti.empty() && oi != ti) {
            // Both sides put lines in the same place: safe only when neither
            // replaced the line there.
            if (i < base.size() && (!o.kept[i] || !t.kept[i]))
                refuse(label, "os dois lados mudaram a árvore de mapas no mesmo lugar; una este arquivo à mão.");
        }
        merged.insert(merged.end(), oi.begin(), oi.end());
        if (oi != ti) merged.insert(merged.end(), ti.begin(), ti.end());
        if (i < base.size() && o.kept[i] && t.kept[i]) merged.push_back(base[i]);
    }
    // The result must still be a tree: each line at most one level below the one before.
    for (std::size_t i = 0; i < merged.size(); ++i)
        if (depthOf(merged[i]) > (i == 0 ? 0 : depthOf(merged[i - 1]) + 1))
            refuse(label, "unir as duas árvores de mapas daria uma árvore inválida; una este arquivo à mão.");
    return {joinLines(merged), {}};
}

}  // namespace

QByteArray readDriverFile(const QString& path) {
    const QFileInfo info(path);
    const std::string shown = "\"" + path.toStdString() + "\"";
    if (!info.exists()) throw Error("O arquivo " + shown + " não existe.");
    if (!info.isFile()) throw Error("O arquivo " + shown + " não é um arquivo comum.");
    if (info.size() > kMaxFileSize) throw Error("O arquivo " + shown + " passa de 64 MB.");
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw Error("O arquivo " + shown + " não pode ser lido (" + f.errorString().toStdString() + ").");
    return f.read(kMaxFileSize + 1);
}

FileKind kindOf(const QByteArray& bytes, const QString& label) {
    if (isDataPacket(bytes)) return isMapSchema(schemaOf(bytes, label)) ? FileKind::Map : FileKind::Table;
    if (bytes.contains('\0')) throw Error("\"" + labelOf(label) + "\" não é um arquivo de texto do projeto.");
    return bytes.startsWith("Project Name:") ? FileKind::ProjectFile : FileKind::Tree;
}

std::string readableText(const QString& path) {
    const QByteArray bytes = readDriverFile(path);
    const QString label = QFileInfo(path).fileName();
    switch (kindOf(bytes, label)) {
    case FileKind::Map:
        return mapText(mapOf(path));
    case FileKind::Table:
        return tableText(tableOf(bytes, label));
    case FileKind::ProjectFile:
    case FileKind::Tree:
        break;
    }
    std::string out;
    for (const std::string& line : linesOf(bytes)) out += cp1252ToUtf8(line) + "\n";
    return out;
}

MergeResult merge(const QString& basePath, const QString& oursPath, const QString& theirsPath, const QString& label) {
    const QByteArray base = readDriverFile(basePath);
    const QByteArray ours = readDriverFile(oursPath);
    const QByteArray theirs = readDriverFile(theirsPath);
    // Every side is read and checked, even when one is taken whole; a
    // message names the side.
    const QString oursLabel = label + QStringLiteral(" (nosso)");
    const QString baseLabel = label + QStringLiteral(" (base)");
    const QString theirsLabel = label + QStringLiteral(" (deles)");
    const FileKind kind = kindOf(ours, oursLabel);
    if (kindOf(base, baseLabel) != kind || kindOf(theirs, theirsLabel) != kind)
        refuse(label, "os três lados não são o mesmo tipo de arquivo.");
    switch (kind) {
    case FileKind::Map:
        mapOf(basePath), mapOf(theirsPath), mapOf(oursPath);
        break;
    case FileKind::Table:
        tableOf(base, baseLabel), tableOf(theirs, theirsLabel), tableOf(ours, oursLabel);
        break;
    default:
        break;
    }
    if (ours == theirs || theirs == base) return {ours, {}};
    if (ours == base) return {theirs, {}};
    switch (kind) {
    case FileKind::Map:
        return mergeMaps(basePath, oursPath, theirsPath, base, ours, theirs, label);
    case FileKind::Table:
        return mergeTables(base, ours, theirs, label);
    case FileKind::ProjectFile:
        return mergeProjectFiles(base, ours, theirs, label);
    case FileKind::Tree:
        return mergeTrees(base, ours, theirs, label);
    }
    return {ours, {}};
}

std::string gitAttributesBlock(const QString& mapas, const QString& data) {
    const std::string m = mapas.toStdString(), d = data.toStdString();
    return "# quillmark: begin (written by quillmark-cli git-setup)\n"
           "# Maps, tables, the project file and the map tree diff and merge through quillmark-cli.\n" +
           m + "/*.xml diff=quillmark merge=quillmark\n" + d + "/*.xml diff=quillmark merge=quillmark\n" + d +
           "/Project.dat diff=quillmark merge=quillmark\n"
           "*.qmk diff=quillmark merge=quillmark\n"
           "# Pictures, sounds and programs are never merged as text.\n"
           "*.bmp binary\n*.png binary\n*.jpg binary\n*.jpeg binary\n*.gif binary\n"
           "*.wav binary\n*.mp3 binary\n*.ogg binary\n*.mid binary\n*.exe binary\n"
           "# quillmark: end\n";
}

std::string withGitAttributes(const std::string& existing, const std::string& block) {
    const std::string begin = "# quillmark: begin";
    const std::string end = "# quillmark: end\n";
    const std::size_t a = existing.find(begin);
    const std::size_t b = a == std::string::npos ? std::string::npos : existing.find(end, a);
    if (a != std::string::npos && b != std::string::npos)
        return existing.substr(0, a) + block + existing.substr(b + end.size());
    std::string out = existing;
    if (!out.empty() && out.back() != '\n') out += '\n';
    return out + block;
}

}  // namespace quillmark::vcs

#include "model/core/DataPacket.h"

#include "model/core/Format.h"

#include "model/core/Error.h"
#include "model/core/Text.h"
#include "model/core/XmlEscape.h"

#include <QDir>
#include <pugixml.hpp>

#include <charconv>
#include <cstring>

namespace quillmark::datapacket {

namespace {

std::string kindName(FieldKind kind) {
    switch (kind) {
    case FieldKind::String:
        return "string";
    case FieldKind::Integer:
        return "i4";
    case FieldKind::Boolean:
        return "boolean";
    case FieldKind::Memo:
        return "bin.hex";
    }
    return "string";
}

// Attribute values, field names included, are escaped by the one XML rule.
void appendEscaped(std::string& out, std::string_view value) { xml::appendAttribute(out, value); }

std::string where(const QString& source) {
    return source.isEmpty() ? std::string("data packet") : QDir::toNativeSeparators(source).toStdString();
}

void lineColumn(const std::string& text, ptrdiff_t offset, int* line, int* column) {
    *line = 1;
    *column = 1;
    for (ptrdiff_t i = 0; i < offset && i < static_cast<ptrdiff_t>(text.size()); ++i) {
        if (text[static_cast<size_t>(i)] == '\n') {
            ++*line;
            *column = 1;
        } else {
            ++*column;
        }
    }
}

// A name or value as stored: UTF-8 read back as CP1252 (raw CP1252 in older
// files); ASCII text, by far the most common, is taken as it is.
std::string textOf(const char* s) {
    const size_t length = std::strlen(s);
    for (size_t i = 0; i < length; ++i)
        if (static_cast<unsigned char>(s[i]) >= 0x80) return fromFileText(std::string_view(s, length));
    return std::string(s, length);
}

bool parseInt(std::string_view s, int* value) {
    const std::optional<int> v = format::toInteger(s);
    if (v) *value = *v;
    return v.has_value();
}

// A field name becomes an attribute name of every row when written, so it
// must be one the code page holds, an XML name, and not another field's.
void checkFieldName(const char* raw, const std::string& name, const std::vector<FieldDef>& earlier,
                    const QString& source) {
    if (name.empty()) return;  // refused by the caller
    const std::string_view bytes(raw);
    for (unsigned char c : bytes) {
        if (c < 0x80) continue;
        // Stored as UTF-8: every character must have a CP1252 byte.
        const QString text = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
        if (text.toUtf8() == QByteArray(bytes.data(), qsizetype(bytes.size())) && !isCp1252(text))
            throw Error(formatMessage("%s: field name \"%s\" holds characters outside Windows-1252",
                                      {where(source), std::string(bytes)}));
        break;
    }
    auto nameStart = [](unsigned char c) {
        return c >= 0x80 || c == '_' || c == ':' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    };
    auto nameChar = [&](unsigned char c) { return nameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9'); };
    bool ok = nameStart(static_cast<unsigned char>(name[0]));
    for (unsigned char c : name) ok = ok && nameChar(c);
    if (!ok) throw Error(formatMessage("%s: \"%s\" is not a valid field name", {where(source), cp1252ToUtf8(name)}));
    for (const FieldDef& other : earlier)
        if (equalsIgnoreCase(other.name, name))
            throw Error(formatMessage("%s: field \"%s\" is defined twice", {where(source), cp1252ToUtf8(name)}));
}

}  // namespace

std::optional<FieldKind> fieldKindOf(std::string_view fieldtype, std::string_view subtype) {
    const std::string type = asciiLower(fieldtype);
    const std::string sub = asciiLower(subtype);
    if (type == "string" || type == "string.uni") return FieldKind::String;
    if (type == "i4" || type == "i2" || type == "i1" || type == "ui4" || type == "ui2" || type == "ui1")
        return FieldKind::Integer;
    if (type == "boolean") return FieldKind::Boolean;
    if (type == "bin.hex" && (sub == "text" || sub == "widetext")) return FieldKind::Memo;
    return std::nullopt;
}

Contents parse(const std::string& xml, const QString& source) {
    pugi::xml_document doc;
    pugi::xml_parse_result result = doc.load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!result) {
        int line, column;
        lineColumn(xml, result.offset, &line, &column);
        throw Error(formatMessage("%s: invalid data packet at line %d, column %d: %s",
                                  {where(source), std::to_string(line), std::to_string(column), result.description()}));
    }
    pugi::xml_node root = doc.child("DATAPACKET");
    if (!root) throw Error(formatMessage("%s: not a data packet (no DATAPACKET element)", {where(source)}));
    pugi::xml_node metadata = root.child("METADATA");
    if (!metadata) throw Error(formatMessage("%s: data packet without METADATA", {where(source)}));

    Contents contents;
    for (pugi::xml_node f : metadata.child("FIELDS").children("FIELD")) {
        FieldDef def;
        const char* rawName = f.attribute("attrname").as_string();
        def.name = fromFileText(rawName);
        checkFieldName(rawName, def.name, contents.fields, source);
        if (def.name.empty()) throw Error(formatMessage("%s: a field without a name", {where(source)}));
        const std::optional<FieldKind> kind =
            fieldKindOf(f.attribute("fieldtype").as_string(), f.attribute("SUBTYPE").as_string());
        if (kind) {
            def.kind = *kind;
            if (*kind == FieldKind::String) def.width = f.attribute("WIDTH").as_int(0);
        } else {
            throw Error(formatMessage("%s: field \"%s\" has an unknown fieldtype \"%s\"",
                                      {where(source), cp1252ToUtf8(def.name), f.attribute("fieldtype").as_string()}));
        }
        contents.fields.push_back(std::move(def));
    }

    // The field of an attribute, resolved once per spelling: rows name their
    // fields in the same order, so the name met at the same place in the
    // previous row is tried first.
    struct Seen {
        const char* name = nullptr;
        size_t field = 0;
    };
    std::vector<Seen> seen;
    auto fieldOf = [&](const char* attribute) {
        const std::string name = textOf(attribute);
        size_t index = 0;
        for (; index < contents.fields.size(); ++index)
            if (equalsIgnoreCase(contents.fields[index].name, name)) break;
        return index;
    };

    int rowNumber = 0;
    for (pugi::xml_node row : root.child("ROWDATA").children("ROW")) {
        ++rowNumber;
        Record record(contents.fields.size());
        size_t position = 0;
        for (pugi::xml_attribute a = row.first_attribute(); a; a = a.next_attribute(), ++position) {
            if (position == seen.size()) seen.emplace_back();
            Seen& known = seen[position];
            if (!known.name || std::strcmp(known.name, a.name()) != 0) known = Seen{a.name(), fieldOf(a.name())};
            const size_t index = known.field;
            if (index == contents.fields.size()) continue;  // RowState and the like
            const FieldDef& def = contents.fields[index];
            std::string value = textOf(a.value());
            switch (def.kind) {
            case FieldKind::Integer: {
                int v;
                if (!parseInt(value, &v))
                    throw Error(formatMessage(
                        "%s: row %d: '%s' is not a valid integer value for field \"%s\"",
                        {where(source), std::to_string(rowNumber), cp1252ToUtf8(value), cp1252ToUtf8(def.name)}));
                value = std::to_string(v);
                break;
            }
            case FieldKind::Boolean: {
                std::string lower = asciiLower(value);
                value = (lower == "true" || lower == "1") ? "TRUE" : "FALSE";
                break;
            }
            case FieldKind::String:
                if (def.width > 0 && static_cast<int>(value.size()) > def.width)
                    throw Error(formatMessage(
                        "%s: row %d: the value of field \"%s\" is longer than %d characters",
                        {where(source), std::to_string(rowNumber), cp1252ToUtf8(def.name), std::to_string(def.width)}));
                break;
            case FieldKind::Memo:
                break;
            }
            record[index] = std::move(value);
        }
        contents.records.push_back(std::move(record));
    }
    return contents;
}

namespace {
void appendHeader(std::string& out, const Schema& fields) {
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?> <DATAPACKET Version=\"2.0\">";
    out += "<METADATA><FIELDS>";
    for (const FieldDef& f : fields) {
        out += "<FIELD attrname=\"";
        appendEscaped(out, cp1252ToUtf8(f.name));
        out += "\" fieldtype=\"" + kindName(f.kind) + "\"";
        if (f.kind == FieldKind::String) out += " WIDTH=\"" + std::to_string(f.width) + "\"";
        if (f.kind == FieldKind::Memo) out += " SUBTYPE=\"Text\"";
        out += "/>";
    }
    out += "</FIELDS><PARAMS/></METADATA><ROWDATA>";
}
}  // namespace

std::string write(const Schema& fields, const std::vector<Record>& records) {
    std::string out;
    out.reserve(256 + records.size() * (fields.size() * 16 + 8));
    appendHeader(out, fields);
    std::vector<std::string> names;
    names.reserve(fields.size());
    for (const FieldDef& f : fields) {
        std::string n;
        appendEscaped(n, cp1252ToUtf8(f.name));
        names.push_back(std::move(n));
    }
    for (const Record& record : records) {
        out += "<ROW";
        for (size_t i = 0; i < fields.size() && i < record.size(); ++i) {
            if (!record[i] || record[i]->empty()) continue;
            out += ' ';
            out += names[i];
            out += "=\"";
            appendEscaped(out, cp1252ToUtf8(*record[i]));
            out += '"';
        }
        out += "/>";
    }
    out += "</ROWDATA></DATAPACKET>";
    return out;
}

std::string emptyPacket(const Schema& fields) { return write(fields, {}); }

}  // namespace quillmark::datapacket

#pragma once
// The XML data packet, the form in which every record table is stored:
//   <?xml version="1.0" encoding="UTF-8" standalone="yes"?>
//   <DATAPACKET Version="2.0"><METADATA><FIELDS>
//     <FIELD attrname="Tipo" fieldtype="string" WIDTH="1"/> …
//   </FIELDS><PARAMS/></METADATA><ROWDATA><ROW Tipo="0" …/> …</ROWDATA></DATAPACKET>
// One ROW per record, one attribute per field that holds a value.
// Values are written as UTF-8; a value that is not valid UTF-8 is read as raw
// CP1252 (older files). Booleans are TRUE/FALSE; memo line breaks are kept
// (&#13;&#10;).
#include "model/core/RecordTable.h"

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace quillmark::datapacket {

struct Contents {
    Schema fields;
    std::vector<Record> records;
};

// Parses data-packet text. `source` names the file in error texts. Throws Error
// for malformed XML (with line and column), a missing DATAPACKET or METADATA,
// an unknown fieldtype, an "i4" value that is not a number, or a string longer
// than its WIDTH.
Contents parse(const std::string& xml, const QString& source);

// The kind of a declared field from its "fieldtype" and "SUBTYPE" (either
// case); nothing for a type the reader does not know.
std::optional<FieldKind> fieldKindOf(std::string_view fieldtype, std::string_view subtype);

// Writes data-packet text.
std::string write(const Schema& fields, const std::vector<Record>& records);

// The empty packet of a schema (no rows).
std::string emptyPacket(const Schema& fields);

}  // namespace quillmark::datapacket

#pragma once
// Escaping text for the value of an XML attribute, the one rule every file
// the editor writes as XML follows (record tables, Tiled maps and tilesets).
#include <string>
#include <string_view>

namespace quillmark::xml {

// What becomes of a control character other than TAB, CR and LF, which XML
// cannot hold even as a character reference.
enum class ControlChars {
    Reference,  // written as a character reference "&#N;" (record tables always did)
    Refuse,     // not written: the append reports failure
};

// Appends UTF-8 text as an attribute value: & < > " become entities, line
// breaks and TABs character references so that they survive a load. Returns
// false (with `out` holding only the text before the refused character) when
// a control character is met and `control` is Refuse.
bool appendAttribute(std::string& out, std::string_view utf8, ControlChars control = ControlChars::Reference);

}  // namespace quillmark::xml

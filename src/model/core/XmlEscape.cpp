#include "model/core/XmlEscape.h"

namespace quillmark::xml {

bool appendAttribute(std::string& out, std::string_view utf8, ControlChars control) {
    for (const char ch : utf8) {
        switch (ch) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\r':
            out += "&#13;";
            break;
        case '\n':
            out += "&#10;";
            break;
        case '\t':
            out += "&#9;";
            break;
        default:
            if (static_cast<unsigned char>(ch) < 0x20) {
                if (control == ControlChars::Refuse) return false;
                out += "&#" + std::to_string(static_cast<unsigned char>(ch)) + ";";
            } else {
                out += ch;
            }
        }
    }
    return true;
}

}  // namespace quillmark::xml

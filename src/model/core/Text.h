#pragma once
// Stored text is Windows-1252. In the model it is a std::string holding CP1252
// bytes; it becomes a QString only at the widget boundary, through these.
#include <QString>
#include <string>
#include <string_view>

namespace quillmark {

// CP1252 bytes -> QString. Every byte maps to one character; the five bytes the
// code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to U+0081 … so
// that they come back unchanged.
QString fromCp1252(std::string_view bytes);

// QString -> CP1252 bytes. A character the code page cannot hold becomes '?'
// and sets *ok to false.
std::string toCp1252(const QString& text, bool* ok = nullptr);

// True when every character of the text has a CP1252 byte.
bool isCp1252(const QString& text);

// CP1252 bytes <-> UTF-8 bytes (data packets, the terminal, error texts).
std::string cp1252ToUtf8(std::string_view bytes);

// UTF-8 bytes -> CP1252 bytes. Returns false (and leaves *out untouched) when the
// input is not valid UTF-8; characters valid in UTF-8 but outside CP1252 become '?'.
bool utf8ToCp1252(std::string_view utf8, std::string* out);

// A value read from a file that may be UTF-8 or, in older files, raw CP1252.
std::string fromFileText(std::string_view bytes);

// ASCII-only case folding, as the editor compares names ("Vila" = "vila").
bool equalsIgnoreCase(std::string_view a, std::string_view b);
std::string asciiLower(std::string_view s);

}  // namespace quillmark

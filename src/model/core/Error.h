#pragma once
// The one error type of the editor. A failing operation throws it with the
// exact text the user will read; the command wrapper shows it in the general
// error box. Texts are UTF-8.
#include <stdexcept>
#include <string>

namespace quillmark {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// "%s" and "%d" placeholders filled in order, printf-like but type-safe enough
// for the editor's messages ("'%s' is not a valid integer value").
std::string formatMessage(std::string_view pattern, std::initializer_list<std::string> args);

// The text of the general error box: a full stop is appended when the last
// character sorts after ".".
std::string errorBoxText(const std::string& message);

}  // namespace quillmark

#include "model/core/Error.h"

namespace quillmark {

std::string formatMessage(std::string_view pattern, std::initializer_list<std::string> args) {
    std::string out;
    auto it = args.begin();
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && (pattern[i + 1] == 's' || pattern[i + 1] == 'd')) {
            if (it != args.end()) out += *it++;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::string errorBoxText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
        return message + ".";
    return message;
}

}  // namespace quillmark

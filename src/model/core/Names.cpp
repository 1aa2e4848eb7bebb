#include "model/core/Names.h"

#include "model/core/Error.h"
#include "model/core/Text.h"

namespace quillmark {

namespace {

std::string quoted(std::string_view name) { return "\"" + cp1252ToUtf8(name) + "\""; }

bool hasControlCharacter(std::string_view name) {
    for (char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F) return true;
    }
    return false;
}

bool hasForbiddenCharacter(std::string_view name) {
    return name.find_first_of(kForbiddenNameCharacters) != std::string_view::npos;
}

}  // namespace

bool isReservedDeviceName(std::string_view name) {
    // the part before the first dot counts, without the blanks that end it:
    // "con.txt" and "con .txt" are as reserved as "con"
    std::string base = asciiLower(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    static constexpr std::string_view kReserved[] = {"con", "prn", "aux", "nul"};
    for (std::string_view r : kReserved)
        if (base == r) return true;
    return base.size() == 4 && (base.compare(0, 3, "com") == 0 || base.compare(0, 3, "lpt") == 0) && base[3] >= '1' &&
           base[3] <= '9';
}

bool isPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return !hasControlCharacter(name) && !hasForbiddenCharacter(name) && !isReservedDeviceName(name);
}

std::string reservedNameMessage(std::string_view name, std::string_view what) {
    return "O nome " + quoted(name) + " é reservado pelo sistema e não pode ser usado como nome de " +
           std::string(what) + ".";
}

std::string folderNameProblem(std::string_view name, std::string_view whatCp) {
    const std::string what(whatCp);
    if (name.empty()) return "Digite o nome do " + what + ".";
    if (name == "." || name == "..") return "O nome " + quoted(name) + " não pode ser usado como nome de " + what + ".";
    if (hasControlCharacter(name)) return "O nome do " + what + " não pode conter caracteres de controle.";
    if (hasForbiddenCharacter(name))
        return "O nome do " + what + " não pode conter nenhum destes caracteres: \\ / : * ? \" < > |";
    if (name.front() == ' ' || name.front() == '.' || name.back() == ' ' || name.back() == '.')
        return "O nome do " + what + " não pode começar nem terminar com espaço ou ponto.";
    if (isReservedDeviceName(name)) return reservedNameMessage(name, what);
    return {};
}

void checkFolderName(std::string_view name, std::string_view what) {
    const std::string problem = folderNameProblem(name, what);
    if (!problem.empty()) throw Error(problem);
}

}  // namespace quillmark

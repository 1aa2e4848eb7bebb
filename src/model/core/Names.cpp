#include "model/core/Names.h"

#include "model/core/Error.h"
#include "model/core/Text.h"

namespace quillmark {

namespace {

bool isReservedDeviceName(std::string_view name) {
    // the part before the first dot counts: "con.txt" is as reserved as "con"
    const std::string base = asciiLower(name.substr(0, name.find('.')));
    static constexpr std::string_view kReserved[] = {"con", "prn", "aux", "nul"};
    for (std::string_view r : kReserved)
        if (base == r) return true;
    if (base.size() == 4 && (base.compare(0, 3, "com") == 0 || base.compare(0, 3, "lpt") == 0) && base[3] >= '1' &&
        base[3] <= '9')
        return true;
    return false;
}

std::string quoted(std::string_view name) { return "\"" + cp1252ToUtf8(name) + "\""; }

}  // namespace

std::string folderNameProblem(std::string_view name, std::string_view whatCp) {
    const std::string what(whatCp);
    if (name.empty()) return "Digite o nome do " + what + ".";
    if (name == "." || name == "..") return "O nome " + quoted(name) + " não pode ser usado como nome de " + what + ".";
    for (char ch : name) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F) return "O nome do " + what + " não pode conter caracteres de controle.";
        if (std::string_view("\\/:*?\"<>|").find(ch) != std::string_view::npos)
            return "O nome do " + what + " não pode conter nenhum destes caracteres: \\ / : * ? \" < > |";
    }
    if (name.front() == ' ' || name.front() == '.' || name.back() == ' ' || name.back() == '.')
        return "O nome do " + what + " não pode começar nem terminar com espaço ou ponto.";
    if (isReservedDeviceName(name))
        return "O nome " + quoted(name) + " é reservado pelo sistema e não pode ser usado como nome de " + what + ".";
    return {};
}

void checkFolderName(std::string_view name, std::string_view what) {
    const std::string problem = folderNameProblem(name, what);
    if (!problem.empty()) throw Error(problem);
}

}  // namespace quillmark

#include "model/events/SwitchNames.h"

#include "model/core/Error.h"
#include "model/core/Paths.h"
#include "model/core/ProjectFile.h"
#include "model/core/RecordTable.h"
#include "model/core/Text.h"
#include "model/events/EventCommands.h"
#include "model/events/EventScript.h"

#include <QDir>
#include <QFileInfo>

namespace quillmark {

namespace {

QString tableFile(const QString& projectFolder) {
    return projectPath(projectFolder, std::string_view(kSwitchNamesFile));
}

std::string shownFile(const QString& projectFolder) {
    return QDir::toNativeSeparators(tableFile(projectFolder)).toStdString();
}

std::map<int, std::string> namesOf(const std::vector<SwitchNameRecord>& records) {
    std::map<int, std::string> names;
    for (const SwitchNameRecord& r : records) {
        const std::string name = TrimBlanks(r.name);
        if (r.number < kFirstSwitch || r.number > kLastSwitch || name.empty()) continue;
        names.emplace(r.number, name);  // the first record of a number counts
    }
    return names;
}

}  // namespace

const Schema& switchNamesSchema() {
    static const Schema schema{
        {"Numero", FieldKind::Integer, 0},
        {"Nome", FieldKind::String, kSwitchNameWidth},
    };
    return schema;
}

std::vector<SwitchNameRecord> readSwitchNameRecords(const QString& projectFolder) {
    std::vector<SwitchNameRecord> out;
    if (projectFolder.isEmpty()) return out;  // no project: no names
    const QString file = tableFile(projectFolder);
    if (!QFileInfo::exists(file)) return out;
    RecordTable t("Interruptores");
    t.setFileName(file);
    t.open();
    const int numero = t.fieldIndex("Numero");
    const int nome = t.fieldIndex("Nome");
    if (numero < 0 || nome < 0)
        throw Error(shownFile(projectFolder) + ": a tabela não tem os campos \"Numero\" e \"Nome\"");
    for (const Record& r : t.allRecords()) {
        SwitchNameRecord s;
        const auto& n = r[static_cast<size_t>(numero)];
        s.number = n ? parseIntegerValue(*n) : 0;
        if (const auto& name = r[static_cast<size_t>(nome)]) s.name = *name;
        out.push_back(std::move(s));
    }
    return out;
}

std::map<int, std::string> readSwitchNames(const QString& projectFolder) {
    return namesOf(readSwitchNameRecords(projectFolder));
}

void storeSwitchNames(const QString& projectFolder, const std::map<int, std::string>& names) {
    if (projectFolder.isEmpty()) throw Error("Nenhum projeto está aberto; nenhum nome foi gravado");
    std::map<int, std::string> kept;
    for (const auto& [number, given] : names) {
        if (number < kFirstSwitch || number > kLastSwitch)
            throw Error("O interruptor " + std::to_string(number) + " não está entre 1 e 100; nenhum nome foi gravado");
        const std::string name = TrimBlanks(given);
        if (static_cast<int>(name.size()) > kSwitchNameWidth)
            throw Error("O nome do interruptor " + std::to_string(number) + " passa de " +
                        std::to_string(kSwitchNameWidth) + " caracteres; nenhum nome foi gravado");
        if (!name.empty()) kept.emplace(number, name);
    }
    // The stored table read first: one that cannot be read is not written over.
    const std::vector<SwitchNameRecord> stored = readSwitchNameRecords(projectFolder);
    const bool same = QFileInfo::exists(tableFile(projectFolder))
                          ? stored.size() == kept.size() && namesOf(stored) == kept
                          : kept.empty();
    if (same) return;
    std::vector<Record> records;
    for (const auto& [number, name] : kept) records.push_back({std::to_string(number), name});
    RecordTable t("Interruptores");
    t.setFileName(tableFile(projectFolder));
    t.setProjectFolder(projectFolder);
    t.setContents(switchNamesSchema(), std::move(records));
    t.writeToFile();
}

std::string switchCaption(int number, const std::map<int, std::string>& names) {
    const auto found = names.find(number);
    if (found == names.end()) return std::to_string(number);
    return std::to_string(number) + " - " + found->second;
}

}  // namespace quillmark

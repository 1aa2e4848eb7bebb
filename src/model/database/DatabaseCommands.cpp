#include "model/database/DatabaseCommands.h"

#include "model/core/Error.h"
#include "model/core/Files.h"
#include "model/core/Paths.h"
#include "model/core/Text.h"
#include "model/database/DataModule.h"
#include "model/database/DatabasePages.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace quillmark {

namespace {

const RecordKindInfo kKinds[] = {
    {"Inimigo", "Digite o nome do Inimigo.", true, "Este Inimigo já existe, utilize outro nome."},
    {"item", "Digite o nome do item e confirme com \"OK\".", false, ""},
    {"magia", "Digite o nome da magia.", false, ""},
};

// The record's index among all stored records, or -1 while it is being inserted.
int storedIndexOfCurrent(const RecordTable& t) {
    if (t.state() == RecordTable::State::Insert || t.isEmpty() || t.filtered()) return -1;
    return t.recNo() - 1;
}

}  // namespace

const RecordKindInfo& recordKindInfo(RecordKind kind) { return kKinds[static_cast<int>(kind)]; }

DatabaseCommands::DatabaseCommands(TDataModule1& data, std::function<QString()> projectFolder, QObject* parent)
    : QObject(parent), data_(data), folder_(std::move(projectFolder)) {}

DatabaseCommands::DatabaseCommands(TDataModule1& data, const QString& projectFolder, QObject* parent)
    : DatabaseCommands(
          data, [projectFolder] { return projectFolder; }, parent) {}

QString DatabaseCommands::openFolder() const {
    const QString folder = projectFolder();
    // never a folder relative to wherever the editor was started
    if (folder.isEmpty()) throw Error("Nenhum projeto está aberto.");
    return folder;
}

RecordTable& DatabaseCommands::table(RecordKind kind) const {
    switch (kind) {
    case RecordKind::Monster:
        return data_.cdsMonstros;
    case RecordKind::Item:
        return data_.cdsItens;
    case RecordKind::Spell:
        break;
    }
    return data_.cdsMagias;
}

bool DatabaseCommands::nameTaken(RecordKind kind, std::string_view name) const {
    const RecordTable& t = table(kind);
    if (!t.active()) return false;
    const int nome = t.fieldIndex("Nome");
    if (nome < 0) return false;
    const int self = t.state() == RecordTable::State::Edit ? storedIndexOfCurrent(t) : -1;
    const std::vector<Record>& records = t.allRecords();
    for (size_t i = 0; i < records.size(); ++i) {
        if (static_cast<int>(i) == self) continue;
        const auto& v = records[i][static_cast<size_t>(nome)];
        if (v && *v == name) return true;
    }
    return false;
}

void DatabaseCommands::checkName(RecordKind kind, std::string_view name) const {
    // the one rule for names that become folders; it throws the reason
    recordFolder(openFolder(), name, recordKindInfo(kind).what);
}

bool DatabaseCommands::insertMonster(std::string_view name) {
    checkName(RecordKind::Monster, name);
    if (nameTaken(RecordKind::Monster, name)) return false;
    makeRecordFolder(openFolder(), name, recordKindInfo(RecordKind::Monster).what);
    RecordTable& t = table(RecordKind::Monster);
    t.insert();
    t.setString("Nome", name);
    emit recordInserted(RecordKind::Monster);
    return true;
}

PendingInsert DatabaseCommands::commitPendingInsert(RecordKind kind) {
    RecordTable& t = table(kind);
    if (!t.active() || t.state() != RecordTable::State::Insert) return PendingInsert::None;
    const std::string name = t.asString("Nome");
    if (name.empty()) return PendingInsert::NeedsName;
    checkName(kind, name);
    if (recordKindInfo(kind).uniqueNames && nameTaken(kind, name)) return PendingInsert::Duplicate;
    makeRecordFolder(openFolder(), name, recordKindInfo(kind).what);
    t.post();
    emit recordCommitted(kind);
    return PendingInsert::Committed;
}

void DatabaseCommands::nameRecord(RecordKind kind) {
    RecordTable& t = table(kind);
    makeRecordFolder(openFolder(), t.asString("Nome"), recordKindInfo(kind).what);
}

void DatabaseCommands::storePicture(RecordKind kind, const Picture& picture, std::string_view field) {
    RecordTable& t = table(kind);
    if (!t.active() || (!t.editing() && t.isEmpty())) throw Error("Nenhum registro foi escolhido.");
    const QString folder = openFolder();
    writeRecordPicture(picture, folder, t.asString("Nome"), t.asString(field), recordKindInfo(kind).what);
    emit pictureStored(kind, recordFile(folder, t.asString("Nome"), t.asString(field), recordKindInfo(kind).what));
}

QString DatabaseCommands::existingRecordFolder(RecordKind kind) const {
    const RecordTable& t = table(kind);
    if (!t.active() || (!t.editing() && t.isEmpty()) || projectFolder().isEmpty()) return {};
    const std::string name = t.asString("Nome");
    try {
        const QString folder = recordFolder(projectFolder(), name, recordKindInfo(kind).what);
        return folderExists(folder) ? folder : QString();
    } catch (const Error&) {
        return {};
    }
}

bool DatabaseCommands::folderShared(RecordKind kind) const {
    const RecordTable& t = table(kind);
    if (!t.active() || (!t.editing() && t.isEmpty())) return false;
    const std::string name = t.asString("Nome");
    const int nome = t.fieldIndex("Nome");
    const int self = storedIndexOfCurrent(t);
    const std::vector<Record>& records = t.allRecords();
    for (size_t i = 0; i < records.size(); ++i) {
        if (static_cast<int>(i) == self) continue;
        const auto& v = records[i][static_cast<size_t>(nome)];
        // folders are found without regard to letter case
        if (v && asciiLower(*v) == asciiLower(name)) return true;
    }
    return false;
}

void DatabaseCommands::deleteRecord(RecordKind kind, bool removeFolder) {
    RecordTable& t = table(kind);
    const QString folder = removeFolder && !folderShared(kind) ? existingRecordFolder(kind) : QString();
    QString aside;
    if (!folder.isEmpty()) {
        // moved aside in one rename: either it moves whole or nothing changes
        QString clean = QDir::cleanPath(folder);
        aside = clean + QStringLiteral(".apagando-") + QString::number(QDateTime::currentMSecsSinceEpoch());
        if (!QDir().rename(clean, aside)) {
            forgetFolderListings();
            throw Error(formatMessage("A pasta \"%s\" não pôde ser apagada; nada foi excluído.",
                                      {QDir::toNativeSeparators(clean).toStdString()}));
        }
        forgetFolderListings();
        try {
            t.remove();
        } catch (...) {
            QDir().rename(aside, clean);
            forgetFolderListings();
            throw;
        }
        // the record is gone; what is left of the folder is only files nobody names
        QDir(aside).removeRecursively();
        forgetFolderListings();
    } else {
        t.remove();
    }
    emit recordDeleted(kind);
}

}  // namespace quillmark

#pragma once
// The database window's commands that change records together with their
// folders and pictures: a monster made by "Novo", a pending new record
// committed before its frames are edited, an item named with "OK", a record
// deleted with or without its picture folder, and a picture stored into a
// record folder. Each checks first and changes nothing when a check or the
// folder fails; names are checked against the table, never against a list
// widget. The window only asks the questions and shows the results.
#include "model/core/Picture.h"
#include "model/core/RecordTable.h"

#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <string_view>

namespace quillmark {

class TDataModule1;

// The three tables whose records keep their pictures in "Imagens\" + Nome + "\".
enum class RecordKind { Monster, Item, Spell };

struct RecordKindInfo {
    const char* what;         // the kind as the name messages name it ("Inimigo", "item", "magia")
    const char* askName;      // UTF-8: what an unnamed new record is told ("Digite o nome do Inimigo.")
    bool uniqueNames;         // a second record may not take a name already in the table
    const char* duplicateOf;  // UTF-8: the refusal of a duplicate name
};
const RecordKindInfo& recordKindInfo(RecordKind kind);

// How a pending new record fared when its frames were to be edited.
enum class PendingInsert { None, Committed, NeedsName, Duplicate };

class DatabaseCommands : public QObject {
    Q_OBJECT
public:
    // `projectFolder` gives the folder of the open project, asked afresh by
    // every command (empty while none is open: the commands then refuse).
    DatabaseCommands(TDataModule1& data, std::function<QString()> projectFolder, QObject* parent = nullptr);
    DatabaseCommands(TDataModule1& data, const QString& projectFolder, QObject* parent = nullptr);

    QString projectFolder() const { return folder_ ? folder_() : QString(); }

    RecordTable& table(RecordKind kind) const;

    // Whether a committed record other than the one being edited holds `name`
    // exactly (letter case counts), whatever the table's filter.
    bool nameTaken(RecordKind kind, std::string_view name) const;

    // "Novo" on "Inimigos" once a name was typed: the name checked (folder rule,
    // then unique in the table: false when taken, nothing changed), the record
    // folder made when missing, then a monster inserted with that "Nome" and
    // left uncommitted. A folder that cannot be made throws and inserts nothing.
    bool insertMonster(std::string_view name);

    // Before a frame-set editor opens on a record being inserted: an unnamed one
    // gives NeedsName and a taken name Duplicate (nothing changes); a named one
    // has its name checked, its record folder made and is committed. A record
    // that is not being inserted gives None.
    PendingInsert commitPendingInsert(RecordKind kind);

    // "OK" under "Nome:" on "Itens": the name checked and its record folder
    // made when missing; the record stays uncommitted.
    void nameRecord(RecordKind kind);

    // Writes a picture into the current record's folder under the file name its
    // `field` holds. A missing folder fails with "Cannot create file ..." and
    // nothing is written.
    void storePicture(RecordKind kind, const Picture& picture, std::string_view field);

    // The record folder of the current record when it exists on disk (empty
    // otherwise, also for a name that cannot be a folder), and whether another
    // committed record of the table shares it.
    QString existingRecordFolder(RecordKind kind) const;
    bool folderShared(RecordKind kind) const;

    // Deletes the current record (a pending insert is dropped). With
    // `removeFolder`, its record folder goes too: the folder is first moved
    // aside, so that a folder that cannot be moved leaves record and folder as
    // they were, and a record that cannot be deleted gets its folder back.
    void deleteRecord(RecordKind kind, bool removeFolder);

signals:
    void recordInserted(RecordKind kind);
    void recordCommitted(RecordKind kind);
    void recordDeleted(RecordKind kind);
    void pictureStored(RecordKind kind, const QString& path);

private:
    void checkName(RecordKind kind, std::string_view name) const;
    // The open project's folder; "Nenhum projeto está aberto." without one.
    QString openFolder() const;

    TDataModule1& data_;
    std::function<QString()> folder_;
};

}  // namespace quillmark

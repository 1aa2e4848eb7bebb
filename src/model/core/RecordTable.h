#pragma once
// A record table: named, typed fields, records held in memory, a current
// record, the states closed / browsing / editing / inserting, one equality
// filter, and after-open/insert/post/delete steps. It is stored as an XML data
// packet (DataPacket.h). Every table of the editor — the five game tables and
// the map table — is one of these.
//
// Values are CP1252 bytes. A field never set reads as empty text, 0 or false.
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillmark {

enum class FieldKind { String, Integer, Boolean, Memo };

struct FieldDef {
    std::string name;  // CP1252, matched without regard to letter case
    FieldKind kind = FieldKind::String;
    int width = 0;  // characters, for strings
    // What a newly inserted record receives in this field, as stored text
    // (booleans "TRUE"/"FALSE"); nothing when the field starts empty.
    std::optional<std::string> onInsert = std::nullopt;
};
using Schema = std::vector<FieldDef>;

// One record: the raw value of each field in schema order. An empty optional
// is a field never set (written as no attribute). Integers are decimal text,
// booleans "TRUE"/"FALSE".
using Record = std::vector<std::optional<std::string>>;

// What changed in a table, for the controls that follow its current record.
enum class TableChange { Opened, Closed, Scrolled, StateChanged, FieldChanged, Posted, Deleted };

class RecordTable {
public:
    enum class State { Closed, Browse, Edit, Insert };
    using Step = std::function<void(RecordTable&)>;
    using Observer = std::function<void(RecordTable&, TableChange)>;

    explicit RecordTable(std::string name = {});

    const std::string& name() const { return name_; }

    // --- file ------------------------------------------------------------
    void setFileName(const QString& path) { fileName_ = path; }
    // The folder the table's file must stay inside when written (Files.h,
    // checkWriteInsideProject); empty: no such check.
    void setProjectFolder(const QString& folder) { projectFolder_ = folder; }
    const QString& fileName() const { return fileName_; }
    // Reads the file with the fields it declares; the first record is current.
    // A missing file: "Missing data provider or data packet", the table stays closed.
    void open();
    // Opens from data-packet text held in memory (the file name is kept for the
    // next close). Bad text throws as open() does.
    void openFromText(const std::string& xml);
    // A changed table is written to its file first (atomically); an unchanged
    // one leaves its file alone; a record being edited is dropped.
    void close();
    // Writes the table to its file now, whatever its changed flag.
    void writeToFile() const;
    bool active() const { return state_ != State::Closed; }
    State state() const { return state_; }
    bool changedSinceOpen() const { return changed_; }
    // Reads the file again, dropping a pending edit and every change made since
    // opening. A file that cannot be read throws and leaves the table as it was.
    void reload();

    // --- fields ----------------------------------------------------------
    const Schema& fields() const { return fields_; }
    // -1 when the table has no such field.
    int fieldIndex(std::string_view name) const;
    bool hasField(std::string_view name) const { return fieldIndex(name) >= 0; }

    // --- moving ----------------------------------------------------------
    // All of these commit a pending edit that changed something, else drop it.
    int recordCount() const;  // records that pass the filter
    bool isEmpty() const { return recordCount() == 0; }
    void first();
    void next();  // on the last record it stays there
    void prior();
    void last();
    bool eof() const { return eof_; }  // set by next() on the last record
    bool bof() const { return bof_; }
    // 1-based position among the records that pass the filter; 0 when empty.
    int recNo() const;
    void setRecNo(int recNo);

    // --- filter: "Tipo = 'A'", "File = 'x.bmp'", "Cod = 12" -------------
    // Switching it on, or changing it while on, moves to the first match;
    // switching it off moves to the first record.
    void setFilter(const std::string& expression);
    const std::string& filter() const { return filterText_; }
    void setFiltered(bool on);
    bool filtered() const { return filtered_; }

    // --- editing ---------------------------------------------------------
    void insert();  // a new empty record (added at the end); the after-insert step runs
    void edit();    // on an empty table it inserts
    void post();    // "Dataset not in edit or insert mode" outside editing
    void cancel();
    void remove();  // deletes the current record; the after-delete step runs
    bool editing() const { return state_ == State::Edit || state_ == State::Insert; }
    // A field of the pending edit or insert was set since it began.
    bool modified() const { return editing() && editDirty_; }

    // --- values of the current record ---------------------------------------
    // Unknown field names throw "Field '%s' not found".
    std::string asString(std::string_view field) const;
    int asInteger(std::string_view field) const;
    bool asBoolean(std::string_view field) const;
    bool isNull(std::string_view field) const;
    // Setting needs the edit or insert state; text is cut to the field's width.
    void setString(std::string_view field, std::string_view value);
    void setInteger(std::string_view field, int value);
    void setBoolean(std::string_view field, bool value);
    void clearField(std::string_view field);

    // --- steps run by the table itself -------------------------------------
    Step afterOpen, afterInsert, afterPost, afterDelete, afterScroll;

    // --- any number of observers, told of every change after the steps above ---
    int addObserver(Observer observer);
    void removeObserver(int id);

    // --- whole-table access for the data-packet reader/writer and tools -----
    // (the records as stored, filter ignored)
    const std::vector<Record>& allRecords() const { return records_; }
    // One field of every record that passes the filter, in table order, as
    // committed (a pending edit not included). The cursor does not move.
    std::vector<std::string> values(std::string_view field) const;
    void setContents(Schema fields, std::vector<Record> records);

private:
    struct Filter {
        int field = -1;
        std::string value;  // raw value compared exactly
        bool valid = false;
    };

    int requireField(std::string_view field) const;
    void requireActive() const;
    void requireEditing() const;
    void commitOrDrop();
    void rebuildView();
    void parseFilter();
    bool passes(const Record& r) const;
    Record& current();
    const Record* currentOrNull() const;
    void fire(const Step& step);
    void tell(TableChange change);

    std::string name_;
    QString fileName_;
    QString projectFolder_;
    State state_ = State::Closed;
    Schema fields_;
    std::vector<Record> records_;
    std::vector<int> view_;  // indexes into records_ that pass the filter
    int cursor_ = -1;        // position in view_
    bool eof_ = false;
    bool bof_ = false;
    bool changed_ = false;

    // pending edit
    Record editBuffer_;
    bool editDirty_ = false;
    int editRecord_ = -1;  // records_ index edited; -1 while inserting

    std::string filterText_;
    Filter filterSpec_;
    bool filtered_ = false;

    std::vector<std::pair<int, Observer>> observers_;
    int nextObserverId_ = 1;
};

}  // namespace quillmark

#pragma once
// The one guard that narrows a table to the records an equality filter lets
// through and, however the block is left, shows every record again: the tile
// cache walks the tiles table code by code, and the tile editors work on the
// one record of their code. With `cancelEdit`, a pending edit is dropped on
// leaving as well.
#include "model/core/RecordTable.h"

#include <string>

namespace quillmark {

class TableRestriction {
public:
    explicit TableRestriction(RecordTable& table, bool cancelEdit = false) : table_(table), cancel_(cancelEdit) {}
    TableRestriction(const TableRestriction&) = delete;
    TableRestriction& operator=(const TableRestriction&) = delete;
    ~TableRestriction() {
        try {
            if (!table_.active()) return;
            if (cancel_) table_.cancel();
            if (table_.filtered()) table_.setFiltered(false);  // also moves to the first record
        } catch (...) {
            // leaving a block must not throw; the table is then left as it stands
        }
    }

    // Narrows the table to `filter` ("Cod = 12", "Tipo = 'A'"); the first match becomes current.
    void restrict(const std::string& filter) {
        table_.setFilter(filter);
        table_.setFiltered(true);
    }

private:
    RecordTable& table_;
    bool cancel_;
};

}  // namespace quillmark

#pragma once
// One record-list page of the database window, configured per table: the
// list of the records' names with "Novo" below it, a record navigator on
// top where the page has one, and the record's fields to the right, which
// the configuration adds to grid() from column 1 on. The page keeps the list
// and the table's current record together both ways, deletes records through
// the model's commands (asking about the picture folder), and before a
// frame-set editor opens it commits a pending new record.
#include "model/database/DatabaseCommands.h"
#include "ui/common/uDatabaseLinks.h"

#include <QWidget>
#include <functional>

class QGridLayout;
class QListWidget;
class QPushButton;

namespace quillmark {

class Workspace;
class TDBNavigator;

struct RecordListConfig {
    RecordKind kind;
    DatabasePage page;
    const char* listCaption;  // UTF-8: "Lista de Inimigos" …
    bool navigator;           // "Itens" and "Magias" have one, "Inimigos" none
};

class TRecordListPage : public QWidget {
    Q_OBJECT
public:
    TRecordListPage(Workspace& ws, DatabaseCommands& commands, const RecordListConfig& config,
                    QWidget* parent = nullptr);

    const RecordListConfig& config() const { return config_; }
    RecordTable& table() const { return commands_.table(config_.kind); }

    QListWidget* list() const { return list_; }
    QPushButton* novo() const { return novo_; }
    TDBNavigator* navigator() const { return navigator_; }
    // The page's grid: the list fills column 0 from firstRow(); fields go to column 1 on.
    QGridLayout* grid() const { return grid_; }
    int firstRow() const { return navigator_ ? 1 : 0; }

    // The list rebuilt from the table (a pending edit committed first), the
    // first record current and highlighted.
    void rebuild();
    // The list highlights the table's current record (nothing while inserting).
    void highlightCurrent();

    // Before a frame-set editor opens: false (the editor stays closed) when a
    // pending new record has no name yet or a taken one; a named one is
    // committed with its record folder. Throws what the commands throw.
    bool readyForFrames();

    // "Delete record?", then, where the record has a picture folder, whether to
    // keep it (the default) or delete it too.
    void deleteCurrent();

    // Set by the configuration.
    std::function<void()> onNovo;                 // "Novo"
    std::function<void()> onSelected;             // a list entry was selected (the record is current)
    std::function<void()> onRecordChanged;        // the current record changed: previews and pictures follow
    std::function<void()> onInsertedByNavigator;  // the navigator's "+"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void selectEntry();
    void navigated(int button);

    Workspace& ws_;
    DatabaseCommands& commands_;
    RecordListConfig config_;
    QGridLayout* grid_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* novo_ = nullptr;
    TDBNavigator* navigator_ = nullptr;
};

}  // namespace quillmark

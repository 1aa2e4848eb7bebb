#pragma once
// The record navigator: ten buttons bound to a table — first, prior, next,
// last, insert, delete, edit, post, cancel, refresh. Delete asks "Delete
// record?" (OK/Cancel, titled "Confirmação"). Refresh reads the table again from its file, asking
// first when changes not yet written would be lost.
#include <QToolButton>
#include <QWidget>
#include <array>
#include <functional>

namespace quillmark {

class RecordTable;
class Workspace;

class TDBNavigator : public QWidget {
    Q_OBJECT
public:
    enum Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh, Count };

    TDBNavigator(Workspace& ws, RecordTable& table, QWidget* parent = nullptr);
    ~TDBNavigator() override;

    QToolButton* button(Button b) const { return buttons_[b]; }
    void click(Button b);
    // Enables the buttons for the table's state and position.
    void updateButtons();
    // After a move, an insert or a refresh: the page follows the new current record.
    std::function<void(Button)> onAction;
    // When set, delete hands the whole step (its questions included) to the page.
    std::function<void()> removeRecord;

private:
    Workspace& ws_;
    RecordTable& table_;
    int observer_ = 0;
    std::array<QToolButton*, Count> buttons_{};
};

}  // namespace quillmark

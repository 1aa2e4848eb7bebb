#pragma once
// Controls bound to a field of a record table. A TDataLink watches one table
// and tells its controls whenever the current record, its state or a value
// changes; each control shows the current record's value and writes what the
// user does back into the field. A database page is then a list of
// label -> field -> kind of control (BoundField), built by addBoundRows.
//
// Typing into a text, memo, check box or lookup list puts a browsed record
// into editing first (an empty table gets a new record), as a data-aware form
// does; a code list writes only while the record is already being edited or
// inserted.
#include "model/core/Picture.h"
#include "model/core/RecordTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class QGridLayout;
class QToolButton;

namespace quillmark {

class TBoundControl;

class TDataLink {
public:
    // `run` runs a step and shows its error (Workspace::run).
    using Runner = std::function<bool(const std::function<void()>&)>;
    TDataLink(RecordTable& table, Runner run);
    ~TDataLink();
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    RecordTable& table() const { return table_; }
    void add(TBoundControl* control);
    void remove(TBoundControl* control);
    // Every control shows the current record again.
    void refreshAll();
    // Runs a write of one control: the table put into editing when asked, the
    // step run, errors shown; the writing control is not refreshed by the
    // change it caused.
    void write(TBoundControl* from, bool autoEdit, const std::function<void()>& step);
    // Runs a step, showing its error; false when it failed.
    bool run(const std::function<void()>& step) { return run_(step); }
    // Called after every change of the table (refreshes, then this).
    std::function<void(TableChange)> onChange;
    // Whether typing into a control of an empty table starts a new record. A
    // table whose records are only made by a page's own "Novo" says no.
    bool insertOnEdit = true;

private:
    RecordTable& table_;
    Runner run_;
    int observer_ = 0;
    std::vector<TBoundControl*> controls_;
    TBoundControl* writer_ = nullptr;
};

class TBoundControl {
public:
    TBoundControl(TDataLink& link, std::string field);
    virtual ~TBoundControl();
    TBoundControl(const TBoundControl&) = delete;
    TBoundControl& operator=(const TBoundControl&) = delete;
    const std::string& field() const { return field_; }
    // Shows the current record's value (nothing on a closed or empty table).
    virtual void refresh() = 0;
    // The widget to place on a page.
    virtual QWidget* widget() = 0;

protected:
    // The field's stored text of the current record, or empty.
    std::string value() const;
    bool hasRecord() const;
    TDataLink& link_;
    std::string field_;
};

// A one-line text; for integer fields only a sign and digits can be typed.
class TBoundEdit : public QLineEdit, public TBoundControl {
    Q_OBJECT
public:
    TBoundEdit(TDataLink& link, std::string field, QWidget* parent = nullptr);
    void refresh() override;
    QWidget* widget() override { return this; }
};

// An integer entry with an up/down arrow pair: up adds 1, down subtracts 1,
// with no bound; a text that is not a number is refused and stays.
class TBoundSpin : public QWidget, public TBoundControl {
    Q_OBJECT
public:
    TBoundSpin(TDataLink& link, std::string field, QWidget* parent = nullptr);
    void refresh() override;
    QWidget* widget() override { return this; }
    void step(int delta);
    TBoundEdit* edit() const { return edit_; }
    QToolButton* up() const { return up_; }
    QToolButton* down() const { return down_; }

private:
    TBoundEdit* edit_;
    QToolButton* up_;
    QToolButton* down_;
};

// A drop-down list of the records of another table: it shows `display` and
// stores `key` of the chosen record. A stored value no record has shows an
// empty choice; the Delete key empties the field.
class TBoundLookup : public QComboBox, public TBoundControl {
    Q_OBJECT
public:
    TBoundLookup(TDataLink& link, std::string field, RecordTable& lookup, std::string key, std::string display = "Nome",
                 QWidget* parent = nullptr);
    void refresh() override;
    QWidget* widget() override { return this; }
    // Reads the lookup table's records again (its list changed).
    void reloadEntries();
    const std::vector<std::string>& keys() const { return keys_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    RecordTable& lookup_;
    std::string key_, display_;
    std::vector<std::string> keys_;
};

// A drop-down list whose entry index is the integer stored in the field.
class TBoundCodeList : public QComboBox, public TBoundControl {
    Q_OBJECT
public:
    TBoundCodeList(TDataLink& link, std::string field, const QStringList& entries, QWidget* parent = nullptr);
    void refresh() override;
    QWidget* widget() override { return this; }
    // Besides writing the field, a choice by the user is announced here.
    std::function<void(int)> onChosen;
};

class TBoundCheck : public QCheckBox, public TBoundControl {
    Q_OBJECT
public:
    TBoundCheck(TDataLink& link, std::string field, const QString& caption, QWidget* parent = nullptr);
    void refresh() override;
    QWidget* widget() override { return this; }
};

// A multi-line text; lines are stored ended by CR LF.
class TBoundMemo : public QPlainTextEdit, public TBoundControl {
    Q_OBJECT
public:
    TBoundMemo(TDataLink& link, std::string field, QWidget* parent = nullptr);
    void refresh() override;
    QWidget* widget() override { return this; }

private:
    bool showing_ = false;
};

// A picture shown stretched. The file it shows is worked out from the current
// record by `pathFor`; the file is read again only when that path changes or on
// reload(). A left click calls onClick.
class TBoundPicture : public QWidget, public TBoundControl {
    Q_OBJECT
public:
    TBoundPicture(TDataLink& link, std::function<QString()> pathFor, QSize size, QWidget* parent = nullptr);
    void refresh() override;
    QWidget* widget() override { return this; }
    void reload();
    // Shows a picture that was chosen by the user (until the path changes).
    void setPicture(const Picture& picture);
    const Picture& picture() const { return picture_; }
    const QString& shownPath() const { return path_; }
    // Drawn without the colour of its bottom-left pixel, as the game draws it.
    void setTransparent(bool on);
    std::function<void()> onClick;

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::function<QString()> pathFor_;
    QString path_;
    Picture picture_;
    bool transparent_ = false;
};

// One row of a declarative page: a caption, a field and the kind of control.
struct BoundField {
    enum Kind { Text, Integer, Spin, ReadOnlyText };
    const char* caption;  // UTF-8, shown as is
    const char* field;    // CP1252 field name
    Kind kind = Text;
};

// Adds one row per field (caption in `column`, control in `column` + 1) from
// `row` on, and returns the controls in the same order.
std::vector<TBoundControl*> addBoundRows(QGridLayout* grid, TDataLink& link, const std::vector<BoundField>& fields,
                                         int row = 0, int column = 0);

}  // namespace quillmark

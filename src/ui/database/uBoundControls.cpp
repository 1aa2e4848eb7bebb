#include "ui/database/uBoundControls.h"

#include "model/core/Error.h"
#include "model/core/Text.h"
#include "model/database/DatabasePages.h"
#include "ui/common/uTextValidator.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace quillmark {

// --- the link ---------------------------------------------------------------------

TDataLink::TDataLink(RecordTable& table, Runner run) : table_(table), run_(std::move(run)) {
    observer_ = table_.addObserver([this](RecordTable&, TableChange change) {
        for (TBoundControl* c : std::vector<TBoundControl*>(controls_))
            if (c != writer_) c->refresh();  // the writing control shows what the user did
        if (onChange) onChange(change);
    });
}

TDataLink::~TDataLink() { table_.removeObserver(observer_); }

void TDataLink::add(TBoundControl* control) { controls_.push_back(control); }

void TDataLink::remove(TBoundControl* control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
}

void TDataLink::refreshAll() {
    for (TBoundControl* c : controls_) c->refresh();
}

void TDataLink::write(TBoundControl* from, bool autoEdit, const std::function<void()>& step) {
    TBoundControl* before = writer_;
    writer_ = from;
    run_([&] {
        if (!table_.active()) return;
        // a browsed record goes into editing; an empty table gets one
        if (autoEdit && !table_.editing()) {
            if (table_.recNo() == 0 && !insertOnEdit) return;
            table_.edit();
        }
        if (table_.editing()) step();
    });
    writer_ = before;
}

// --- the common part ----------------------------------------------------------------

TBoundControl::TBoundControl(TDataLink& link, std::string field) : link_(link), field_(std::move(field)) {
    link_.add(this);
}

TBoundControl::~TBoundControl() { link_.remove(this); }

bool TBoundControl::hasRecord() const {
    const RecordTable& t = link_.table();
    return t.active() && (t.editing() || t.recNo() > 0) && (field_.empty() || t.hasField(field_));
}

std::string TBoundControl::value() const {
    return hasRecord() && !field_.empty() ? link_.table().asString(field_) : "";
}

namespace {

bool isIntegerField(const RecordTable& t, const std::string& field) {
    const int i = t.fieldIndex(field);
    return i >= 0 && t.fields()[static_cast<size_t>(i)].kind == FieldKind::Integer;
}

// Integer fields take a sign and digits; text fields one line of CP1252 text.
class FieldValidator : public QValidator {
public:
    FieldValidator(const RecordTable& table, const std::string& field, QObject* parent)
        : QValidator(parent), table_(table), field_(field) {}
    State validate(QString& input, int& pos) const override {
        if (isIntegerField(table_, field_)) {
            static const QRegularExpression number(QStringLiteral("[+-]?[0-9]*"));
            return number.match(input, 0, QRegularExpression::NormalMatch,
                                QRegularExpression::AnchorAtOffsetMatchOption)
                               .capturedLength() == input.size()
                       ? Acceptable
                       : Invalid;
        }
        return text_.validate(input, pos);
    }

private:
    const RecordTable& table_;
    std::string field_;
    Cp1252LineValidator text_;
};

}  // namespace

// --- text -------------------------------------------------------------------------------

TBoundEdit::TBoundEdit(TDataLink& link, std::string field, QWidget* parent)
    : QLineEdit(parent), TBoundControl(link, std::move(field)) {
    // the table may still be closed here: the field's kind is looked at while typing
    setValidator(new FieldValidator(link.table(), field_, this));
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        const bool integer = isIntegerField(link_.table(), field_);
        link_.write(this, true, [&] {
            if (text.isEmpty()) {
                link_.table().clearField(field_);
            } else if (integer) {
                // a lone sign is a number being typed: the field keeps its value
                if (text == QLatin1String("-") || text == QLatin1String("+")) return;
                link_.table().setString(field_, toCp1252(text));
            } else {
                link_.table().setString(field_, toCp1252(text));
            }
        });
    });
    refresh();
}

void TBoundEdit::refresh() {
    const RecordTable& t = link_.table();
    const int i = t.fieldIndex(field_);
    const int width = i >= 0 ? t.fields()[static_cast<size_t>(i)].width : 0;
    if (width > 0 && maxLength() != width) setMaxLength(width);
    const QString shown = fromCp1252(value());
    if (text() != shown) setText(shown);
}

// --- integer with arrows -------------------------------------------------------------------

TBoundSpin::TBoundSpin(TDataLink& link, std::string field, QWidget* parent) : QWidget(parent), TBoundControl(link, "") {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    edit_ = new TBoundEdit(link, std::move(field), this);
    row->addWidget(edit_);
    auto* arrows = new QVBoxLayout;
    arrows->setSpacing(0);
    up_ = new QToolButton(this);
    down_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) {
        b->setFixedSize(17, 11);
        b->setAutoRaise(false);
        arrows->addWidget(b);
    }
    row->addLayout(arrows);
    connect(up_, &QToolButton::clicked, this, [this] { step(+1); });
    connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
}

void TBoundSpin::refresh() {}

void TBoundSpin::step(int delta) {
    std::string result;
    // the entry stays as it was when its text is not a number
    if (!link_.run([&] { result = stepIntegerText(toCp1252(edit_->text()), delta); })) return;
    edit_->setText(fromCp1252(result));
    const std::string& field = edit_->field();
    link_.write(edit_, true, [&] { link_.table().setString(field, result); });
}

// --- lookup list ------------------------------------------------------------------------------

TBoundLookup::TBoundLookup(TDataLink& link, std::string field, RecordTable& lookup, std::string key,
                           std::string display, QWidget* parent)
    : QComboBox(parent), TBoundControl(link, std::move(field)), lookup_(lookup), key_(std::move(key)),
      display_(std::move(display)) {
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (index < 0 || index >= static_cast<int>(keys_.size())) return;
        const std::string k = keys_[static_cast<size_t>(index)];
        link_.write(this, true, [&] { link_.table().setString(field_, k); });
    });
    reloadEntries();
}

void TBoundLookup::reloadEntries() {
    keys_.clear();
    QStringList names;
    if (lookup_.active() && lookup_.hasField(key_) && lookup_.hasField(display_)) {
        keys_ = lookup_.values(key_);
        for (const std::string& n : lookup_.values(display_)) names << fromCp1252(n);
    }
    const QSignalBlocker block(this);
    clear();
    addItems(names);
    refresh();
}

void TBoundLookup::refresh() {
    const std::string v = value();
    int index = -1;
    if (!v.empty()) {
        const auto it = std::find(keys_.begin(), keys_.end(), v);
        if (it != keys_.end()) index = static_cast<int>(it - keys_.begin());
    }
    if (currentIndex() != index) {
        const QSignalBlocker block(this);
        setCurrentIndex(index);
    }
}

void TBoundLookup::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete) {
        link_.write(this, true, [&] { link_.table().clearField(field_); });
        const QSignalBlocker block(this);
        setCurrentIndex(-1);
        return;
    }
    QComboBox::keyPressEvent(event);
}

// --- code list ----------------------------------------------------------------------------------

TBoundCodeList::TBoundCodeList(TDataLink& link, std::string field, const QStringList& entries, QWidget* parent)
    : QComboBox(parent), TBoundControl(link, std::move(field)) {
    addItems(entries);
    setCurrentIndex(-1);
    connect(this, &QComboBox::activated, this, [this](int index) {
        // the choice reaches the field only while the record is edited or inserted
        link_.write(this, false, [&] { link_.table().setInteger(field_, index); });
        if (onChosen) onChosen(index);
    });
    refresh();
}

void TBoundCodeList::refresh() {
    const std::string v = value();
    if (v.empty()) return;  // an empty field leaves the selection as it was
    int index = -1;
    try {
        index = parseIntegerValue(v);
    } catch (const Error&) {
        index = -1;
    }
    if (index < 0 || index >= count()) index = -1;
    const QSignalBlocker block(this);
    setCurrentIndex(index);
}

// --- check box ----------------------------------------------------------------------------------

TBoundCheck::TBoundCheck(TDataLink& link, std::string field, const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent), TBoundControl(link, std::move(field)) {
    connect(this, &QCheckBox::clicked, this,
            [this](bool on) { link_.write(this, true, [&] { link_.table().setBoolean(field_, on); }); });
    refresh();
}

void TBoundCheck::refresh() {
    const bool on = hasRecord() && link_.table().asBoolean(field_);
    if (isChecked() != on) {
        const QSignalBlocker block(this);
        setChecked(on);
    }
}

// --- memo ------------------------------------------------------------------------------------------

TBoundMemo::TBoundMemo(TDataLink& link, std::string field, QWidget* parent)
    : QPlainTextEdit(parent), TBoundControl(link, std::move(field)) {
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (showing_) return;
        QString text = toPlainText();
        text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        const std::string v = toCp1252(text);
        link_.write(this, true, [&] { link_.table().setString(field_, v); });
    });
    refresh();
}

void TBoundMemo::refresh() {
    QString shown = fromCp1252(value());
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (toPlainText() == shown) return;
    showing_ = true;
    setPlainText(shown);
    showing_ = false;
}

// --- picture ------------------------------------------------------------------------------------------

TBoundPicture::TBoundPicture(TDataLink& link, std::function<QString()> pathFor, QSize size, QWidget* parent)
    : QWidget(parent), TBoundControl(link, ""), pathFor_(std::move(pathFor)) {
    setFixedSize(size);
    refresh();
}

void TBoundPicture::refresh() {
    const QString path = pathFor_ ? pathFor_() : QString();
    if (path == path_) return;
    path_ = path;
    picture_ = loadShownPicture(path_);
    picture_.setTransparent(transparent_);
    update();
}

void TBoundPicture::reload() {
    path_ = pathFor_ ? pathFor_() : QString();
    picture_ = loadShownPicture(path_);
    picture_.setTransparent(transparent_);
    update();
}

void TBoundPicture::setPicture(const Picture& picture) {
    picture_ = picture;
    picture_.setTransparent(transparent_);
    update();
}

void TBoundPicture::setTransparent(bool on) {
    transparent_ = on;
    picture_.setTransparent(on);
    update();
}

void TBoundPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    if (!picture_.isEmpty()) picture_.draw(painter, rect());
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TBoundPicture::mouseReleaseEvent(QMouseEvent* event) {
    QWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onClick) onClick();
}

// --- declarative rows -----------------------------------------------------------------------------------

std::vector<TBoundControl*> addBoundRows(QGridLayout* grid, TDataLink& link, const std::vector<BoundField>& fields,
                                         int row, int column) {
    std::vector<TBoundControl*> controls;
    QWidget* parent = grid->parentWidget();
    for (const BoundField& f : fields) {
        auto* label = new QLabel(QString::fromUtf8(f.caption), parent);
        grid->addWidget(label, row, column);
        TBoundControl* control = nullptr;
        if (f.kind == BoundField::Spin) {
            auto* spin = new TBoundSpin(link, f.field, parent);
            label->setBuddy(spin->edit());
            control = spin;
        } else {
            auto* edit = new TBoundEdit(link, f.field, parent);
            edit->setReadOnly(f.kind == BoundField::ReadOnlyText);
            label->setBuddy(edit);
            control = edit;
        }
        grid->addWidget(control->widget(), row, column + 1);
        controls.push_back(control);
        ++row;
    }
    return controls;
}

}  // namespace quillmark

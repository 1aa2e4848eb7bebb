#include "model/core/RecordTable.h"

#include "model/core/Format.h"

#include "model/core/DataPacket.h"
#include "model/core/Error.h"
#include "model/core/Files.h"
#include "model/core/Text.h"

#include <QDir>
#include <QFileInfo>
#include <charconv>

namespace quillmark {

namespace {
const char* kMissingPacket = "Missing data provider or data packet";
const char* kNotEditing = "Dataset not in edit or insert mode";
const char* kInactive = "Cannot perform this operation on a closed dataset";

bool toInt(std::string_view s, int* value) {
    const std::optional<int> v = format::toInteger(s);
    if (v) *value = *v;
    return v.has_value();
}
// A table whose name is taken by a folder (or a device): the message names it,
// as "Missing data provider or data packet" alone would not say which table.
[[noreturn]] void refuseNonFile(const QString& path) {
    throw Error(formatMessage("\"%s\" não é um arquivo de tabela (é uma pasta ou outro tipo de entrada).",
                              {QDir::toNativeSeparators(path).toStdString()}));
}

}  // namespace

RecordTable::RecordTable(std::string name) : name_(std::move(name)) {}

// --- file ---------------------------------------------------------------------

void RecordTable::open() {
    if (active()) return;
    QFileInfo info(fileName_);
    if (fileName_.isEmpty() || !info.exists()) throw Error(kMissingPacket);
    if (!info.isFile()) refuseNonFile(fileName_);
    QByteArray bytes = readFile(fileName_);
    datapacket::Contents c = datapacket::parse(bytes.toStdString(), fileName_);
    setContents(std::move(c.fields), std::move(c.records));
}

void RecordTable::openFromText(const std::string& xml) {
    if (active()) return;
    datapacket::Contents c = datapacket::parse(xml, fileName_);
    setContents(std::move(c.fields), std::move(c.records));
}

void RecordTable::setContents(Schema fields, std::vector<Record> records) {
    fields_ = std::move(fields);
    records_ = std::move(records);
    for (Record& r : records_) r.resize(fields_.size());
    state_ = State::Browse;
    changed_ = false;
    editDirty_ = false;
    editRecord_ = -1;
    // the filter text survives a close and an open, as a property of the table
    parseFilter();
    rebuildView();
    cursor_ = view_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = view_.empty();
    fire(afterOpen);
    tell(TableChange::Opened);
}

void RecordTable::reload() {
    requireActive();
    QFileInfo info(fileName_);
    if (fileName_.isEmpty() || !info.exists()) throw Error(kMissingPacket);
    if (!info.isFile()) refuseNonFile(fileName_);
    datapacket::Contents c = datapacket::parse(readFile(fileName_).toStdString(), fileName_);
    cancel();
    setContents(std::move(c.fields), std::move(c.records));
}

void RecordTable::close() {
    if (!active()) return;
    if (state_ == State::Edit || state_ == State::Insert) cancel();
    if (changed_) writeToFile();
    state_ = State::Closed;
    records_.clear();
    view_.clear();
    cursor_ = -1;
    changed_ = false;
    tell(TableChange::Closed);
}

void RecordTable::writeToFile() const {
    writeFileAtomic(fileName_, QByteArray::fromStdString(datapacket::write(fields_, records_)), projectFolder_);
}

// --- fields ---------------------------------------------------------------------

int RecordTable::fieldIndex(std::string_view name) const {
    for (size_t i = 0; i < fields_.size(); ++i)
        if (equalsIgnoreCase(fields_[i].name, name)) return static_cast<int>(i);
    return -1;
}

int RecordTable::requireField(std::string_view field) const {
    int i = fieldIndex(field);
    if (i < 0) throw Error(formatMessage("Field '%s' not found", {cp1252ToUtf8(field)}));
    return i;
}

void RecordTable::requireActive() const {
    if (!active()) throw Error(kInactive);
}

void RecordTable::requireEditing() const {
    if (state_ != State::Edit && state_ != State::Insert) throw Error(kNotEditing);
}

// --- view and moving ------------------------------------------------------------

bool RecordTable::passes(const Record& r) const {
    if (!filtered_ || !filterSpec_.valid) return true;
    const auto& v = r[static_cast<size_t>(filterSpec_.field)];
    const std::string& value = v ? *v : std::string();
    if (fields_[static_cast<size_t>(filterSpec_.field)].kind == FieldKind::Integer) {
        int a = 0, b = 0;
        return toInt(value, &a) && toInt(filterSpec_.value, &b) && a == b;
    }
    return value == filterSpec_.value;
}

void RecordTable::rebuildView() {
    view_.clear();
    view_.reserve(records_.size());
    for (size_t i = 0; i < records_.size(); ++i)
        if (passes(records_[i])) view_.push_back(static_cast<int>(i));
}

int RecordTable::recordCount() const {
    if (!active()) return 0;
    return static_cast<int>(view_.size());
}

std::vector<std::string> RecordTable::values(std::string_view field) const {
    const size_t i = static_cast<size_t>(requireField(field));
    std::vector<std::string> out;
    if (!active()) return out;
    out.reserve(view_.size());
    for (int index : view_) {
        const auto& v = records_[static_cast<size_t>(index)][i];
        out.push_back(v ? *v : std::string());
    }
    return out;
}

int RecordTable::recNo() const {
    if (!active() || cursor_ < 0) return 0;
    return cursor_ + 1;
}

void RecordTable::commitOrDrop() {
    if (state_ == State::Edit || state_ == State::Insert) {
        if (editDirty_)
            post();
        else
            cancel();
    }
}

void RecordTable::first() {
    requireActive();
    commitOrDrop();
    cursor_ = view_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = view_.empty();
    fire(afterScroll);
    tell(TableChange::Scrolled);
}

void RecordTable::next() {
    requireActive();
    commitOrDrop();
    bof_ = false;
    if (cursor_ + 1 < static_cast<int>(view_.size())) {
        ++cursor_;
        eof_ = false;
    } else {
        eof_ = true;
    }
    fire(afterScroll);
    tell(TableChange::Scrolled);
}

void RecordTable::prior() {
    requireActive();
    commitOrDrop();
    eof_ = false;
    if (cursor_ > 0) {
        --cursor_;
        bof_ = false;
    } else {
        bof_ = true;
    }
    fire(afterScroll);
    tell(TableChange::Scrolled);
}

void RecordTable::last() {
    requireActive();
    commitOrDrop();
    cursor_ = static_cast<int>(view_.size()) - 1;
    eof_ = true;
    bof_ = view_.empty();
    fire(afterScroll);
    tell(TableChange::Scrolled);
}

void RecordTable::setRecNo(int recNo) {
    requireActive();
    commitOrDrop();
    if (recNo >= 1 && recNo <= static_cast<int>(view_.size())) cursor_ = recNo - 1;
    bof_ = cursor_ <= 0;
    eof_ = view_.empty();
    fire(afterScroll);
    tell(TableChange::Scrolled);
}

// --- filter ---------------------------------------------------------------------

void RecordTable::setFilter(const std::string& expression) {
    filterText_ = expression;
    parseFilter();
    if (active() && filtered_) {
        if (!filterSpec_.valid) throw Error(formatMessage("Invalid filter expression: %s", {cp1252ToUtf8(expression)}));
        commitOrDrop();
        rebuildView();
        cursor_ = view_.empty() ? -1 : 0;
        bof_ = true;
        eof_ = view_.empty();
        fire(afterScroll);
        tell(TableChange::Scrolled);
    }
}

void RecordTable::parseFilter() {
    const std::string& expression = filterText_;
    filterSpec_ = Filter{};
    // Field = 'text'   or   Field = 123
    size_t eq = expression.find('=');
    if (eq != std::string::npos) {
        std::string field = expression.substr(0, eq);
        while (!field.empty() && field.back() == ' ') field.pop_back();
        while (!field.empty() && field.front() == ' ') field.erase(field.begin());
        std::string value = expression.substr(eq + 1);
        while (!value.empty() && value.front() == ' ') value.erase(value.begin());
        while (!value.empty() && value.back() == ' ') value.pop_back();
        if (value.size() >= 2 && value.front() == '\'' && value.back() == '\'') {
            value = value.substr(1, value.size() - 2);
            // a quote inside the text is written twice
            std::string unq;
            for (size_t i = 0; i < value.size(); ++i) {
                unq += value[i];
                if (value[i] == '\'' && i + 1 < value.size() && value[i + 1] == '\'') ++i;
            }
            value = unq;
        }
        filterSpec_.field = fieldIndex(field);
        filterSpec_.value = value;
        filterSpec_.valid = filterSpec_.field >= 0;
    }
}

void RecordTable::setFiltered(bool on) {
    if (on && !filterSpec_.valid && active())
        throw Error(formatMessage("Invalid filter expression: %s", {cp1252ToUtf8(filterText_)}));
    if (!active()) {
        filtered_ = on;
        return;
    }
    commitOrDrop();
    filtered_ = on;
    rebuildView();
    cursor_ = view_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = view_.empty();
    fire(afterScroll);
    tell(TableChange::Scrolled);
}

// --- editing --------------------------------------------------------------------

void RecordTable::insert() {
    requireActive();
    commitOrDrop();
    editBuffer_.assign(fields_.size(), std::nullopt);
    editRecord_ = -1;
    editDirty_ = false;
    state_ = State::Insert;
    fire(afterInsert);
    tell(TableChange::StateChanged);
}

void RecordTable::edit() {
    requireActive();
    if (state_ == State::Edit || state_ == State::Insert) return;
    if (cursor_ < 0) {
        insert();
        return;
    }
    editRecord_ = view_[static_cast<size_t>(cursor_)];
    editBuffer_ = records_[static_cast<size_t>(editRecord_)];
    editDirty_ = false;
    state_ = State::Edit;
    tell(TableChange::StateChanged);
}

void RecordTable::post() {
    requireEditing();
    if (state_ == State::Insert) {
        // a new record goes to the end, so the view stays in record order
        records_.push_back(std::move(editBuffer_));
        int index = static_cast<int>(records_.size()) - 1;
        state_ = State::Browse;
        if (passes(records_.back())) {
            view_.push_back(index);
            cursor_ = static_cast<int>(view_.size()) - 1;
        } else if (cursor_ >= static_cast<int>(view_.size())) {
            cursor_ = static_cast<int>(view_.size()) - 1;
        }
    } else {
        records_[static_cast<size_t>(editRecord_)] = std::move(editBuffer_);
        state_ = State::Browse;
        if (filtered_) {
            int index = editRecord_;
            rebuildView();
            int pos = -1;
            for (size_t i = 0; i < view_.size(); ++i)
                if (view_[i] == index) pos = static_cast<int>(i);
            if (pos < 0) pos = std::min(cursor_, static_cast<int>(view_.size()) - 1);
            cursor_ = pos;
        }
    }
    editBuffer_.clear();
    editRecord_ = -1;
    editDirty_ = false;
    changed_ = true;
    bof_ = false;
    eof_ = false;
    fire(afterPost);
    tell(TableChange::Posted);
}

void RecordTable::cancel() {
    if (state_ != State::Edit && state_ != State::Insert) return;
    state_ = State::Browse;
    editBuffer_.clear();
    editRecord_ = -1;
    editDirty_ = false;
    tell(TableChange::StateChanged);
}

void RecordTable::remove() {
    requireActive();
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    cancel();
    if (cursor_ < 0) throw Error("Cannot perform this operation on an empty dataset");
    int index = view_[static_cast<size_t>(cursor_)];
    records_.erase(records_.begin() + index);
    rebuildView();
    if (cursor_ >= static_cast<int>(view_.size())) cursor_ = static_cast<int>(view_.size()) - 1;
    changed_ = true;
    eof_ = view_.empty();
    bof_ = cursor_ <= 0;
    fire(afterDelete);
    tell(TableChange::Deleted);
}

// --- values -----------------------------------------------------------------------

Record& RecordTable::current() {
    if (state_ == State::Edit || state_ == State::Insert) return editBuffer_;
    return records_[static_cast<size_t>(view_[static_cast<size_t>(cursor_)])];
}

const Record* RecordTable::currentOrNull() const {
    if (!active()) return nullptr;
    if (state_ == State::Edit || state_ == State::Insert) return &editBuffer_;
    if (cursor_ < 0) return nullptr;
    return &records_[static_cast<size_t>(view_[static_cast<size_t>(cursor_)])];
}

std::string RecordTable::asString(std::string_view field) const {
    int i = requireField(field);
    const Record* r = currentOrNull();
    if (!r || !(*r)[static_cast<size_t>(i)]) return {};
    return *(*r)[static_cast<size_t>(i)];
}

int RecordTable::asInteger(std::string_view field) const {
    std::string s = asString(field);
    if (s.empty()) return 0;
    int v = 0;
    if (!toInt(s, &v)) throw Error(formatMessage("'%s' is not a valid integer value", {cp1252ToUtf8(s)}));
    return v;
}

bool RecordTable::asBoolean(std::string_view field) const {
    std::string s = asciiLower(asString(field));
    return s == "true" || s == "1";
}

bool RecordTable::isNull(std::string_view field) const {
    int i = requireField(field);
    const Record* r = currentOrNull();
    return !r || !(*r)[static_cast<size_t>(i)] || (*r)[static_cast<size_t>(i)]->empty();
}

void RecordTable::setString(std::string_view field, std::string_view value) {
    int i = requireField(field);
    requireEditing();
    const FieldDef& def = fields_[static_cast<size_t>(i)];
    std::string v(value);
    switch (def.kind) {
    case FieldKind::String:
        if (def.width > 0 && static_cast<int>(v.size()) > def.width) v.resize(static_cast<size_t>(def.width));
        break;
    case FieldKind::Integer: {
        if (!v.empty()) {
            int n;
            if (!toInt(v, &n)) throw Error(formatMessage("'%s' is not a valid integer value", {cp1252ToUtf8(v)}));
            v = std::to_string(n);
        }
        break;
    }
    case FieldKind::Boolean: {
        std::string lower = asciiLower(v);
        if (!v.empty()) v = (lower == "true" || lower == "1") ? "TRUE" : "FALSE";
        break;
    }
    case FieldKind::Memo:
        break;
    }
    auto& slot = current()[static_cast<size_t>(i)];
    if (v.empty())
        slot.reset();
    else
        slot = std::move(v);
    editDirty_ = true;
    tell(TableChange::FieldChanged);
}

void RecordTable::setInteger(std::string_view field, int value) { setString(field, std::to_string(value)); }

void RecordTable::setBoolean(std::string_view field, bool value) { setString(field, value ? "TRUE" : "FALSE"); }

void RecordTable::clearField(std::string_view field) {
    int i = requireField(field);
    requireEditing();
    current()[static_cast<size_t>(i)].reset();
    editDirty_ = true;
    tell(TableChange::FieldChanged);
}

void RecordTable::fire(const Step& step) {
    if (step) step(*this);
}

int RecordTable::addObserver(Observer observer) {
    const int id = nextObserverId_++;
    observers_.emplace_back(id, std::move(observer));
    return id;
}

void RecordTable::removeObserver(int id) {
    for (auto it = observers_.begin(); it != observers_.end(); ++it)
        if (it->first == id) {
            observers_.erase(it);
            return;
        }
}

void RecordTable::tell(TableChange change) {
    // a copy, so that an observer may add or remove observers while told; one
    // removed meanwhile is not called any more
    const auto observers = observers_;
    for (const auto& [id, observer] : observers) {
        bool present = false;
        for (const auto& o : observers_) present = present || o.first == id;
        if (present && observer) observer(*this, change);
    }
}

}  // namespace quillmark

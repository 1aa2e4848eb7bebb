#include "ui/database/uRecordListPage.h"

#include "model/core/Text.h"
#include "model/database/DatabasePages.h"
#include "model/session/Workspace.h"
#include "ui/database/uDBNavigator.h"

#include <QDir>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillmark {

TRecordListPage::TRecordListPage(Workspace& ws, DatabaseCommands& commands, const RecordListConfig& config,
                                 QWidget* parent)
    : QWidget(parent), ws_(ws), commands_(commands), config_(config) {
    grid_ = new QGridLayout(this);
    grid_->setContentsMargins(4, 4, 4, 4);
    if (config_.navigator) {
        navigator_ = new TDBNavigator(ws_, table(), this);
        grid_->addWidget(navigator_, 0, 0, 1, 3);
        navigator_->removeRecord = [this] { deleteCurrent(); };
        navigator_->onAction = [this](TDBNavigator::Button b) { navigated(b); };
    }

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QString::fromUtf8(config_.listCaption), this));
    list_ = new QListWidget(this);
    list_->setFixedWidth(150);
    list_->installEventFilter(this);
    left->addWidget(list_, 1);
    novo_ = new QPushButton(QStringLiteral("Novo"), this);
    left->addWidget(novo_);
    grid_->addLayout(left, firstRow(), 0, 5, 1);
    connect(novo_, &QPushButton::clicked, this, [this] {
        if (onNovo) onNovo();
    });
    connect(list_, &QListWidget::currentRowChanged, this, [this] { selectEntry(); });
}

void TRecordListPage::rebuild() {
    const std::vector<std::string> names = rebuildRecordList(table());
    QStringList entries;
    entries.reserve(static_cast<int>(names.size()));
    for (const std::string& n : names) entries << fromCp1252(n);
    const QSignalBlocker block(list_);
    list_->clear();
    list_->addItems(entries);
    highlightCurrent();
}

void TRecordListPage::highlightCurrent() {
    const RecordTable& t = table();
    const int row = t.active() && t.state() != RecordTable::State::Insert ? t.recNo() - 1 : -1;
    const QSignalBlocker block(list_);
    if (row >= 0 && row < list_->count())
        list_->setCurrentRow(row);
    else
        list_->setCurrentRow(-1);
}

void TRecordListPage::selectEntry() {
    QListWidgetItem* item = list_->currentItem();
    if (!item) return;
    const std::string name = toCp1252(item->text());
    ws_.run([&] {
        selectRecordByName(table(), name);
        // a pending edit committed on the way may have rebuilt the list
        highlightCurrent();
        if (onSelected) onSelected();
        if (onRecordChanged) onRecordChanged();
    });
}

void TRecordListPage::navigated(int button) {
    if (button == TDBNavigator::Refresh) rebuild();
    highlightCurrent();
    if (button == TDBNavigator::Insert && onInsertedByNavigator) onInsertedByNavigator();
    if (onRecordChanged) onRecordChanged();
}

bool TRecordListPage::readyForFrames() {
    switch (commands_.commitPendingInsert(config_.kind)) {
    case PendingInsert::NeedsName:
        ws_.prompts().notice(QString::fromUtf8(recordKindInfo(config_.kind).askName));
        return false;
    case PendingInsert::Duplicate:
        ws_.prompts().notice(QString::fromUtf8(recordKindInfo(config_.kind).duplicateOf));
        return false;
    case PendingInsert::Committed:
        // the list shows the new record, which stays current for its frames (it is the last one)
        rebuild();
        table().last();
        highlightCurrent();
        return true;
    case PendingInsert::None:
        break;
    }
    return true;
}

void TRecordListPage::deleteCurrent() {
    RecordTable& t = table();
    if (!t.active() || (t.isEmpty() && t.state() != RecordTable::State::Insert)) return;
    if (ws_.prompts().message(QString::fromUtf8("Confirmação"), QStringLiteral("Delete record?"), Icon::Question,
                              Buttons::OkCancel) != Answer::Ok)
        return;
    bool removeFolder = false;
    const QString folder =
        t.state() == RecordTable::State::Insert ? QString() : commands_.existingRecordFolder(config_.kind);
    if (!folder.isEmpty() && !commands_.folderShared(config_.kind)) {
        const QString shown = QDir::toNativeSeparators(QDir(ws_.project.ProjectFolder).relativeFilePath(folder));
        removeFolder = ws_.prompts().confirm(QString::fromUtf8("Manter a pasta de figuras \"%1\"?\n\n"
                                                               "\"Não\" apaga a pasta com todas as figuras dela.")
                                                 .arg(shown),
                                             Buttons::YesNo) == Answer::No;
    }
    commands_.deleteRecord(config_.kind, removeFolder);
    rebuild();
    if (onRecordChanged) onRecordChanged();
}

bool TRecordListPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        ws_.run([this] { deleteCurrent(); });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace quillmark

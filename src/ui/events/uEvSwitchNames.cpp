#include "ui/events/uEvSwitchNames.h"

#include "model/core/Error.h"
#include "model/core/Text.h"
#include "model/events/EventCommands.h"
#include "model/events/SwitchNames.h"
#include "model/session/Workspace.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quillmark {

TFormSwitchNames::TFormSwitchNames(Workspace& ws, QWidget* parent) : QDialog(parent), ws_(ws) {
    setObjectName(QStringLiteral("FormSwitchNames"));
    setWindowTitle(QStringLiteral("Nomes dos Interruptores"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    auto* hint =
        new QLabel(QStringLiteral("Os eventos guardam o número do interruptor; o nome só ajuda a escolhê-lo."), this);
    hint->setWordWrap(true);
    table_ = new QTableWidget(kLastSwitch - kFirstSwitch + 1, 1, this);
    table_->setObjectName(QStringLiteral("Nomes"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Nome")});
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 8);

    std::map<int, std::string> names;
    ws_.run([&] { names = readSwitchNames(ws_.project.ProjectFolder); });
    for (int n = kFirstSwitch; n <= kLastSwitch; ++n) {
        const int row = n - kFirstSwitch;
        table_->setVerticalHeaderItem(row, new QTableWidgetItem(QString::number(n)));
        const auto found = names.find(n);
        table_->setItem(row, 0, new QTableWidgetItem(found == names.end() ? QString() : fromCp1252(found->second)));
    }

    btnOK_ = new QPushButton(QStringLiteral("OK"), this);
    btnOK_->setDefault(true);
    btnCancel_ = new QPushButton(QStringLiteral("Cancelar"), this);  // a window of ours: its own texts are Portuguese
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK_);
    buttons->addWidget(btnCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
    resize(380, 460);

    connect(btnOK_, &QPushButton::clicked, this, [this] { ws_.run([this] { OK(); }); });
    connect(btnCancel_, &QPushButton::clicked, this, &QDialog::reject);
}

std::map<int, std::string> TFormSwitchNames::shownNames() const {
    std::map<int, std::string> names;
    for (int row = 0; row < table_->rowCount(); ++row) {
        const QTableWidgetItem* item = table_->item(row, 0);
        const QString text = item ? item->text().trimmed() : QString();
        if (text.isEmpty()) continue;
        const int number = row + kFirstSwitch;
        bool ok = true;
        const std::string name = toCp1252(text, &ok);
        if (!ok)
            throw Error("O nome do interruptor " + std::to_string(number) +
                        " tem letras que não podem ser gravadas; nenhum nome foi gravado");
        names.emplace(number, name);
    }
    return names;
}

void TFormSwitchNames::OK() {
    // a name being typed is taken as it stands (its editor commits on losing the focus)
    if (QWidget* editing = QApplication::focusWidget(); editing && table_->isAncestorOf(editing)) editing->clearFocus();
    storeSwitchNames(ws_.project.ProjectFolder, shownNames());
    accept();
}

}  // namespace quillmark

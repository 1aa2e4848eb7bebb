#include "ui/events/uEvCommandDialog.h"

#include "model/core/Error.h"
#include "model/events/EventCommands.h"
#include "model/session/Workspace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

namespace quillmark {

TFormCMD::TFormCMD(Workspace& ws, const QString& caption, QWidget* parent) : QDialog(parent), ws_(ws) {
    setObjectName(QStringLiteral("FormCMD"));
    setWindowTitle(caption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    form_ = new QFormLayout;
    btnOK_ = new QPushButton(QStringLiteral("OK"), this);
    btnOK_->setDefault(true);
    btnCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK_);
    buttons->addWidget(btnCancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form_, 1);
    layout->addLayout(buttons);
    setMinimumWidth(360);

    connect(btnOK_, &QPushButton::clicked, this, [this] { ws_.run([this] { OK(); }); });
    connect(btnCancel_, &QPushButton::clicked, this, &QDialog::reject);
}

QComboBox* TFormCMD::addNames(const QString& objectName, const QString& label, const QStringList& names) {
    auto* box = new QComboBox(this);
    box->setObjectName(objectName);
    box->addItems(names);
    addRow(label, box);
    return box;
}

QSpinBox* TFormCMD::addNumber(const QString& objectName, const QString& label, int low, int high, int value) {
    auto* box = new QSpinBox(this);
    box->setObjectName(objectName);
    box->setRange(low, high);
    box->setValue(value);
    addRow(label, box);
    return box;
}

QLineEdit* TFormCMD::addText(const QString& objectName, const QString& label, const QString& value) {
    auto* edit = new QLineEdit(value, this);
    edit->setObjectName(objectName);
    addRow(label, edit);
    return edit;
}

QCheckBox* TFormCMD::addCheck(const QString& objectName, const QString& label, bool checked) {
    auto* box = new QCheckBox(label, this);
    box->setObjectName(objectName);
    box->setChecked(checked);
    addRow(box);
    return box;
}

void TFormCMD::addRow(const QString& label, QWidget* field) { form_->addRow(label, field); }

void TFormCMD::addRow(QWidget* field) { form_->addRow(field); }

void TFormCMD::OK() {
    if (check_) {
        const QString refusal = check_();
        if (!refusal.isEmpty()) throw Error(refusal.toStdString());
    }
    accept();
}

// --- steps --------------------------------------------------------------------------

TStepsEdit::TStepsEdit(QWidget* parent) : QWidget(parent) {
    line_ = new QLineEdit(this);
    line_->setObjectName(QStringLiteral("Passos"));
    line_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[CBEDcbed]*")), line_));
    connect(line_, &QLineEdit::textEdited, this, [this](const QString& text) {
        const int at = line_->cursorPosition();
        line_->setText(text.toUpper());
        line_->setCursorPosition(at);
    });
    auto* arrows = new QHBoxLayout;
    const struct {
        char step;
        const char* caption;
    } steps[] = {{kStepUp, "\xE2\x86\x91 Cima"},
                 {kStepDown, "\xE2\x86\x93 Baixo"},
                 {kStepLeft, "\xE2\x86\x90 Esquerda"},
                 {kStepRight, "\xE2\x86\x92 Direita"}};
    for (int i = 0; i < 4; ++i) {
        buttons_[i] = new QPushButton(QString::fromUtf8(steps[i].caption), this);
        buttons_[i]->setAutoDefault(false);
        const QChar letter = QLatin1Char(steps[i].step);
        connect(buttons_[i], &QPushButton::clicked, this, [this, letter] { line_->setText(line_->text() + letter); });
        arrows->addWidget(buttons_[i]);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(line_);
    layout->addLayout(arrows);
}

QPushButton* TStepsEdit::stepButton(char step) const {
    const char order[] = {kStepUp, kStepDown, kStepLeft, kStepRight};
    for (int i = 0; i < 4; ++i)
        if (order[i] == step) return buttons_[i];
    return nullptr;
}

}  // namespace quillmark

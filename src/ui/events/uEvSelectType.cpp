#include "ui/events/uEvSelectType.h"

#include "model/core/Text.h"
#include "model/events/EventScript.h"
#include "model/session/Workspace.h"
#include "ui/events/uEventEditor.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quillmark {

TFormSEV::TFormSEV(Workspace& ws, TForm6& editor, QWidget* parent) : QDialog(parent), ws_(ws), editor_(editor) {
    setObjectName(QStringLiteral("FormSEV"));
    setWindowTitle(QStringLiteral("Editor de Eventos"));
    // no title-bar buttons: the selector ends by "OK" or "Cancel"
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    RadioGroup1 = new QGroupBox(QStringLiteral("Selecione o Tipo do Evento a Ser Criado:"), this);
    group_ = new QButtonGroup(this);
    auto* groupLayout = new QVBoxLayout(RadioGroup1);
    const QString captions[] = {QStringLiteral("OnActionPress"), QStringLiteral("OnPlayerTouch"),
                                QStringLiteral("Add Object")};
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(captions[i], RadioGroup1);
        group_->addButton(radio, i);
        groupLayout->addWidget(radio);
    }
    group_->button(OnActionPress)->setChecked(true);

    btnOK_ = new QPushButton(QStringLiteral("OK"), this);
    btnOK_->setDefault(true);
    btnCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK_);
    buttons->addWidget(btnCancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RadioGroup1);
    layout->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(300, 0)));

    connect(btnOK_, &QPushButton::clicked, this, [this] { ws_.run([this] { OK(); }); });
    connect(btnCancel_, &QPushButton::clicked, this, &QDialog::reject);

    ws_.session().links().eventSelector.fill([this] { return showSelector(); });
}

TFormSEV::~TFormSEV() { ws_.session().links().eventSelector.clear(); }

TFormSEV::Choice TFormSEV::choice() const { return static_cast<Choice>(group_->checkedId()); }

void TFormSEV::setChoice(Choice choice) { group_->button(choice)->setChecked(true); }

QRadioButton* TFormSEV::choiceButton(Choice choice) const { return static_cast<QRadioButton*>(group_->button(choice)); }

std::string TFormSEV::showSelector() {
    if (exec() != QDialog::Accepted) return std::string(kNoEvent);
    return editor_.showScript();
}

void TFormSEV::OK() {
    switch (choice()) {
    case OnActionPress:
        editor_.setScriptText(fromCp1252(kOnActionPress));
        editor_.setMenus(true, false);
        break;
    case OnPlayerTouch:
        editor_.setScriptText(fromCp1252(kOnPlayerTouch));
        editor_.setMenus(true, false);
        break;
    case AddObject:
        editor_.setScriptText(QString());
        editor_.setMenus(false, true);
        break;
    }
    accept();
}

}  // namespace quillmark

#include "ui/events/uEvShowMessage.h"

#include "model/core/Text.h"
#include "model/events/EventScript.h"
#include "model/session/Workspace.h"
#include "ui/events/uEventEditor.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillmark {

TFormMSG::TFormMSG(Workspace& ws, TForm6& editor, QWidget* parent) : QDialog(parent), ws_(ws), editor_(editor) {
    setObjectName(QStringLiteral("FormMSG"));
    setWindowTitle(QStringLiteral("Editor de Eventos - Mostrar Mensagem"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    resize(420, 260);

    GroupBox1 = new QGroupBox(QStringLiteral("Texto"), this);
    Memo1 = new TEventMemo(GroupBox1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    auto* groupLayout = new QVBoxLayout(GroupBox1);
    groupLayout->addWidget(Memo1);

    btnOK_ = new QPushButton(QStringLiteral("OK"), this);
    btnOK_->setDefault(true);
    btnCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK_);
    buttons->addWidget(btnCancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1, 1);
    layout->addLayout(buttons);

    connect(btnOK_, &QPushButton::clicked, this, [this] { ws_.run([this] { OK(); }); });
    connect(btnCancel_, &QPushButton::clicked, this, &QDialog::reject);

    editor_.setMessageDialog(this);
}

void TFormMSG::OK() {
    editor_.appendCommand(ShowMessageCommand(toCp1252(Memo1->toPlainText())));
    accept();
}

}  // namespace quillmark

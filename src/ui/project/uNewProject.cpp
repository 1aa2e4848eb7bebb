#include "ui/project/uNewProject.h"

#include "model/core/Text.h"
#include "model/project/ProjectCreation.h"
#include "model/session/Workspace.h"

#include "ui/common/uTextValidator.h"
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>

namespace quillmark {

TForm5::TForm5(Workspace& ws, QWidget* parent) : QDialog(parent), ws_(ws) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Novo Projeto"));
    setModal(true);

    EditNome = new QLineEdit(QStringLiteral("Meu Game"), this);
    EditNome->setObjectName(QStringLiteral("EditNome"));
    EditNome->setValidator(new Cp1252LineValidator(EditNome));
    EditAutor = new QLineEdit(QString::fromUtf8(kDefaultAuthor), this);
    EditAutor->setObjectName(QStringLiteral("EditAutor"));
    EditAutor->setValidator(new Cp1252LineValidator(EditAutor));
    EditFile = new QLineEdit(this);
    EditFile->setObjectName(QStringLiteral("EditFile"));
    EditFile->setMinimumWidth(260);
    BtnLocalizar = new QPushButton(QStringLiteral("Localizar"), this);
    BtnLocalizar->setObjectName(QStringLiteral("BtnLocalizar"));
    BtnLocalizar->setAutoDefault(false);

    auto* form = new QGridLayout();
    auto addRow = [&](int row, const QString& caption, QLineEdit* edit) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(edit);
        form->addWidget(label, row, 0);
        form->addWidget(edit, row, 1);
    };
    addRow(0, QStringLiteral("Nome do Projeto:"), EditNome);
    addRow(1, QStringLiteral("Autor:"), EditAutor);
    addRow(2, QStringLiteral("File Name:"), EditFile);
    form->addWidget(BtnLocalizar, 2, 2);

    BtnOK = new QPushButton(QStringLiteral("OK"), this);
    BtnOK->setObjectName(QStringLiteral("BtnOK"));
    BtnOK->setDefault(true);
    BtnCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    BtnCancelar->setObjectName(QStringLiteral("BtnCancelar"));
    BtnCancelar->setAutoDefault(false);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    buttons->addWidget(BtnOK);
    buttons->addWidget(BtnCancelar);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(BtnLocalizar, &QPushButton::clicked, this, [this] { BtnLocalizarClick(); });
    connect(BtnOK, &QPushButton::clicked, this, [this] { BtnOKClick(); });
    connect(BtnCancelar, &QPushButton::clicked, this, &QDialog::reject);

    ws_.session().links().newProjectWizard.fill([this] { Execute(); });
}

TForm5::~TForm5() { ws_.session().links().newProjectWizard.clear(); }

void TForm5::Execute() { exec(); }

void TForm5::BtnLocalizarClick() {
    ws_.run([this] {
        const std::optional<QString> file = ws_.prompts().saveFile(QStringLiteral("Quillmark Project|*.qmk"),
                                                                   QStringLiteral("*.qmk"), true, EditFile->text());
        if (file) EditFile->setText(*file);
    });
}

void TForm5::BtnOKClick() {
    ws_.run([this] {
        const std::string name = toCp1252(EditNome->text());
        const std::string author = toCp1252(EditAutor->text());
        ws_.session().createProject(EditFile->text(), name, author, [this] { accept(); });
    });
}

}  // namespace quillmark

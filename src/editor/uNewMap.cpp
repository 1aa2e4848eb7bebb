#include "editor/uNewMap.h"

#include "core/MapFile.h"
#include "core/Text.h"
#include "editor/NewMap.h"
#include "session/Workspace.h"

#include "editor/uTextValidator.h"
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QValidator>

namespace quillmark {

TOKRightDlg::TOKRightDlg(Workspace& ws, QWidget* parent) : QDialog(parent), ws_(ws) {
    setObjectName(QStringLiteral("OKRightDlg"));
    setWindowTitle(QStringLiteral("Novo Mapa"));
    setModal(true);
    setFixedSize(302, 110);

    auto* bevel = new QFrame(this);
    bevel->setFrameShape(QFrame::Panel);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(8, 8, 201, 94);

    auto* nameLabel = new QLabel(QStringLiteral("Nome:"), this);
    nameLabel->setGeometry(18, 24, 66, 21);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(86, 24, 113, 21);
    Edit1->setMaxLength(kMapNameMaxLength);
    Edit1->setValidator(new Cp1252LineValidator(Edit1));
    nameLabel->setBuddy(Edit1);

    auto* sizeLabel = new QLabel(QStringLiteral("Tamanho:"), this);
    sizeLabel->setGeometry(18, 64, 66, 21);
    Edit2 = new QLineEdit(QString::number(kNewMapSize), this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setGeometry(86, 64, 33, 21);
    Edit2->setMaxLength(2);
    Edit2->setReadOnly(true);
    Edit2->setFocusPolicy(Qt::ClickFocus);
    sizeLabel->setBuddy(Edit2);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(218, 8, 75, 25);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(218, 38, 75, 25);

    connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    ws_.hooks.newMapCommand = [this] { NovoMapa(); };
}

TOKRightDlg::~TOKRightDlg() { ws_.hooks.newMapCommand = nullptr; }

void TOKRightDlg::showEvent(QShowEvent* event) {
    resultOk_ = false;
    if (QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    }
    QDialog::showEvent(event);
    Edit1->setFocus(Qt::OtherFocusReason);
}

void TOKRightDlg::OKBtnClick() {
    bool registering = false;
    const bool done = ws_.run([&] {
        const std::string name = toCp1252(Edit1->text());
        const std::string problem = checkNewMapName(ws_.tree, name);
        if (!problem.empty()) {
            ws_.prompts().warning(QString::fromUtf8(problem.c_str()));
            return;
        }
        // The loaded map's changes are not thrown away without a question.
        if (!ws_.askToSaveChanges()) return;
        if (ws_.MapLoaded && ws_.hooks.destroyCells) ws_.hooks.destroyCells();
        bool ok = false;
        const int n = Edit2->text().toInt(&ok);
        size_ = ok ? n : kNewMapSize;
        resultOk_ = true;
        ws_.MapLoaded = true;
        if (ws_.hooks.verificaStatus) ws_.hooks.verificaStatus();
        registering = true;
        registerNewMap(ws_.project, ws_.grid, ws_.tree, name);
        registering = false;
        accept();
    });
    if (!done && registering) {
        // The map's files could not be written. Its cells are gone already, so
        // the editor goes on without a loaded map rather than with a map
        // whose grid and name do not belong together.
        resultOk_ = false;
        ws_.MapLoaded = false;
        ws_.Modified = false;
        ws_.grid.CurrentMap.clear();
        if (ws_.hooks.verificaStatus) ws_.hooks.verificaStatus();
    }
}

void TOKRightDlg::NovoMapa() {
    if (!ws_.ProjectOpen) return;
    ws_.run([&] {
        resultOk_ = false;
        exec();
        if (!resultOk_) return;
        ws_.grid.newGrid(size_);
        if (ws_.hooks.buildNewMapCells) ws_.hooks.buildNewMapCells();
        // Until its file is written the new map counts as unsaved.
        ws_.Modified = true;
        Salvar(ws_.grid, ws_.project.ProjectFolder, ws_.DataModule1);
        ws_.Modified = false;
        if (ws_.hooks.setCaption) ws_.hooks.setCaption(QStringLiteral("Quillmark 1.0 - Camada Superior"));
        ws_.MapLoaded = true;
        if (ws_.hooks.verificaStatus) ws_.hooks.verificaStatus();
    });
}

}  // namespace quillmark

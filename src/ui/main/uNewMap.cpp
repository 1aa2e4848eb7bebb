#include "ui/main/uNewMap.h"

#include "model/core/Text.h"
#include "model/mapedit/NewMap.h"
#include "model/session/Workspace.h"

#include "ui/common/uTextValidator.h"
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
    // Any side a map file holds, 1 to 100.
    Edit2->setMaxLength(3);
    Edit2->setValidator(new QIntValidator(kMinMapSize, kMaxMapSize, Edit2));
    Edit2->setToolTip(QStringLiteral("Lado do mapa em células, de 1 a 100"));
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

    ws_.session().links().newMapDialog.fill([this] { NovoMapa(); });
    // The close command clears the dialog's result.
    connect(&ws_.session(), &EditorSession::projectClosed, this, [this] { clearResult(); });
}

TOKRightDlg::~TOKRightDlg() { ws_.session().links().newMapDialog.clear(); }
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
    ws_.run([&] {
        const std::optional<int> n = parseMapSize(Edit2->text().toStdString());
        if (!n) {
            // The dialog stays open with what was typed.
            ws_.prompts().warning(QString::fromUtf8(kMapSizeInvalid));
            Edit2->setFocus(Qt::OtherFocusReason);
            Edit2->selectAll();
            return;
        }
        size_ = *n;
        // The session checks the name, asks about unsaved changes, registers
        // the map, writes its empty grid and shows it.
        if (!ws_.session().newMap(toCp1252(Edit1->text()), size_)) return;
        resultOk_ = true;
        accept();
    });
}

void TOKRightDlg::NovoMapa() {
    if (!ws_.session().projectOpen()) return;
    resultOk_ = false;
    exec();
}

}  // namespace quillmark

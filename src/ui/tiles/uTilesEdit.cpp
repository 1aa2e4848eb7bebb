#include "ui/tiles/uTilesEdit.h"

#include "model/session/Workspace.h"
#include "ui/tiles/uTilePictureBox.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillmark {

TFormTi::TFormTi(Workspace& ws, QWidget* parent) : TTileDialog(ws, false, parent) {
    setObjectName(QStringLiteral("FormTi"));
    setWindowTitle(QStringLiteral("Tiles Edit"));

    auto* group = new QGroupBox(QStringLiteral("Imagem"), this);
    group->setObjectName(QStringLiteral("GroupImagem"));
    auto* groupLayout = new QHBoxLayout(group);
    groupLayout->setContentsMargins(12, 8, 12, 10);
    groupLayout->addWidget(addPictureBox(group), 0, Qt::AlignCenter);

    createControls();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnOK_);
    buttons->addWidget(btnCancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(hint_);
    layout->addWidget(CheckTransparente);
    layout->addLayout(buttons);
    // a fixed size, from what the layout needs
    layout->activate();
    setFixedSize(sizeHint());
}

std::optional<QString> TFormTi::askPicture() {
    return ws_.prompts().openFile(QString::fromLatin1(kPictureFilter), QStringLiteral("bmp"));
}

}  // namespace quillmark

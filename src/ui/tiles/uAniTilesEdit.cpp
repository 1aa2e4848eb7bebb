#include "ui/tiles/uAniTilesEdit.h"

#include "model/session/Workspace.h"
#include "ui/tiles/uTilePictureBox.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillmark {

TFormTA::TFormTA(Workspace& ws, QWidget* parent) : TTileDialog(ws, true, parent) {
    setObjectName(QStringLiteral("FormTA"));
    setWindowTitle(QStringLiteral("Edit Animação"));

    // "Animção 2" is the window's own spelling.
    static const char* const kCaptions[] = {"Animação 1", "Animção 2", "Animação 3"};
    auto* groups = new QHBoxLayout;
    for (int frame = 0; frame < tiles::kAnimationFrames; ++frame) {
        auto* group = new QGroupBox(QString::fromUtf8(kCaptions[frame]), this);
        group->setObjectName(QStringLiteral("GroupAnimacao%1").arg(frame + 1));
        auto* groupLayout = new QHBoxLayout(group);
        groupLayout->setContentsMargins(12, 8, 12, 10);
        groupLayout->addWidget(addPictureBox(group), 0, Qt::AlignCenter);
        groups->addWidget(group);
    }

    createControls();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(CheckTransparente);
    bottom->addStretch(1);
    bottom->addWidget(btnOK_);
    bottom->addWidget(btnCancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addWidget(hint_);
    layout->addLayout(bottom);
    // a fixed size, from what the layout needs
    layout->activate();
    setFixedSize(sizeHint());
}

std::optional<QString> TFormTA::askPicture() { return ws_.prompts().openPicture(); }

}  // namespace quillmark

#include "ui/tiles/uTileDialog.h"

#include "model/session/Workspace.h"
#include "ui/tiles/uTilePictureBox.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace quillmark {

TTileDialog::TTileDialog(Workspace& ws, bool animated, QWidget* parent)
    : QDialog(parent), ws_(ws), animated_(animated) {
    // only a close box in the title bar
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
}

TTilePictureBox* TTileDialog::addPictureBox(QWidget* group) {
    auto* box = new TTilePictureBox(group);
    const int index = static_cast<int>(boxes_.size());
    box->setObjectName(QStringLiteral("Image%1").arg(index + 1));
    boxes_.push_back(box);
    connect(box, &TTilePictureBox::clicked, this, [this, index] { ws_.run([this, index] { PickPicture(index); }); });
    return box;
}

void TTileDialog::createControls() {
    CheckTransparente = new QCheckBox(QStringLiteral("Transparente"), this);
    CheckTransparente->setObjectName(QStringLiteral("CheckTransparente"));
    btnOK_ = new QPushButton(QStringLiteral("OK"), this);
    btnOK_->setObjectName(QStringLiteral("btnOK"));
    btnOK_->setDefault(true);
    btnCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel_->setObjectName(QStringLiteral("btnCancel"));
    hint_ = new QLabel(QStringLiteral("Clique na imagem para escolher um arquivo"), this);
    hint_->setObjectName(QStringLiteral("LabelDica"));
    hint_->setAlignment(Qt::AlignCenter);

    connect(CheckTransparente, &QCheckBox::toggled, this, [this](bool on) {
        for (TTilePictureBox* box : boxes_) box->setTransparent(on);
    });
    connect(btnOK_, &QPushButton::clicked, this, [this] { ws_.run([this] { OK(); }); });
    connect(btnCancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void TTileDialog::FormShow() {
    TileEdit edit = TileEdit::open(ws_.session().tables().cdsTiles, ws_.session().project().ProjectFolder,
                                   ws_.session().editorFolder(), animated_);
    edit_ = std::move(edit);
    for (size_t i = 0; i < boxes_.size(); ++i)
        boxes_[i]->setPicture(i < edit_.pictures.size() ? edit_.pictures[i] : Picture());
    CheckTransparente->setChecked(edit_.transparent);
    for (TTilePictureBox* box : boxes_) box->setTransparent(edit_.transparent);
}

int TTileDialog::Execute() {
    FormShow();
    btnOK_->setFocus();
    return exec();
}

void TTileDialog::PickPicture(int index) {
    const std::optional<QString> path = askPicture();
    if (!path || path->isEmpty()) return;
    // a file that cannot be read as a picture leaves the box as it was
    boxes_[static_cast<size_t>(index)]->setPicture(Picture::fromFile(*path));
}

void TTileDialog::OK() {
    TileEdit edit = edit_;
    edit.transparent = CheckTransparente->isChecked();
    for (size_t i = 0; i < edit.pictures.size() && i < boxes_.size(); ++i) edit.pictures[i] = boxes_[i]->picture();
    edit.store(ws_.session().tables().cdsTiles, ws_.session().project().ProjectFolder);
    edit_ = std::move(edit);
    // The tile is stored; a picture of another tile that fails to load is
    // reported on its own and does not keep this dialog open.
    // The cache is filled again; the palette and the open map follow.
    ws_.run([this] { ws_.session().refreshTiles(); });
    emit tilesChanged();
    accept();
}

void TTileDialog::done(int result) {
    ws_.run([this] {
        RecordTable& tiles = ws_.session().tables().cdsTiles;
        if (!tiles.active()) return;
        tiles.cancel();
        tiles.setFiltered(false);  // also moves to the first record
    });
    QDialog::done(result);
}

}  // namespace quillmark

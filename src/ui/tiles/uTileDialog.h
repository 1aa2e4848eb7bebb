#pragma once
// What the two tile editors ("Tiles Edit" and "Edit Animação") share: the
// picture boxes, the "Transparente" check box, "OK" and "Cancel".
//
// Both work on the current record of the tiles table, which whoever opens them
// has restricted to the tile's code. Every opening reloads the tile. "OK"
// writes every picture under its name (also a placeholder shown for a missing
// file), posts "Transparente" on the tile's own record, refills the tile image
// cache and announces tilesChanged(). However the dialog closes, the table is
// left unfiltered, on its first record, with no pending change.
#include "model/tiles/TileEditing.h"

#include <QDialog>
#include <optional>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;

namespace quillmark {

class Workspace;
class TTilePictureBox;

class TTileDialog : public QDialog {
    Q_OBJECT
public:
    // Loads the current record of the tiles table into the dialog. Throws (and
    // leaves the dialog as it was) when the tile cannot be opened.
    void FormShow();
    // FormShow, then shows the dialog modally. Returns the dialog's result.
    int Execute();

    // Clicking picture i: a picture dialog; a chosen file replaces the picture.
    void PickPicture(int index);
    // "OK": stores the tile and closes. Throws, leaving the dialog open and
    // the table unchanged, when a picture cannot be written.
    void OK();

    int pictureCount() const { return static_cast<int>(boxes_.size()); }
    TTilePictureBox* pictureBox(int index) const { return boxes_[static_cast<size_t>(index)]; }
    QCheckBox* transparentCheck() const { return CheckTransparente; }
    QPushButton* okButton() const { return btnOK_; }
    QPushButton* cancelButton() const { return btnCancel_; }
    // The tile as opened (code, File, the names written by "OK").
    const TileEdit& tile() const { return edit_; }

signals:
    // After "OK" stored the tile and refilled the tile image cache.
    void tilesChanged();

protected:
    TTileDialog(Workspace& ws, bool animated, QWidget* parent);

    // A new picture box inside `group`, numbered in the order of the files.
    TTilePictureBox* addPictureBox(QWidget* group);
    // The check box and the buttons, created by the base and placed by the window.
    void createControls();
    // The line that tells how to choose a picture, placed by the window.
    QLabel* hint_ = nullptr;
    // The file dialog of the window; nothing when the user cancelled.
    virtual std::optional<QString> askPicture() = 0;

    void done(int result) override;

    Workspace& ws_;
    QCheckBox* CheckTransparente = nullptr;
    QPushButton* btnOK_ = nullptr;
    QPushButton* btnCancel_ = nullptr;

private:
    bool animated_;
    TileEdit edit_;
    std::vector<TTilePictureBox*> boxes_;
};

}  // namespace quillmark

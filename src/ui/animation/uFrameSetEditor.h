#pragma once
// The frame-set editor: a small modal window showing the frames of one
// animation of the hero, the current monster, the current item or the current
// spell in clickable slots. A click picks a new picture for a slot; "OK"
// writes every slot back to the file its field names; the cancel button
// writes nothing. The fourteen editors of the database window are named
// instances of this class, each driven by its row of the catalogue
// (Animations.h); their units (uCharAniEdit.h …) only give them their names.
#include "model/animation/Animations.h"
#include "model/core/Picture.h"

#include <QDialog>
#include <QFrame>
#include <vector>

class QGroupBox;
class QPushButton;

namespace quillmark {

class Workspace;

// One clickable picture cell bound to one frame of the animation.
class TFrameSlot : public QFrame {
    Q_OBJECT
public:
    TFrameSlot(bool face, QWidget* parent = nullptr);

    const Picture& picture() const { return picture_; }
    void setPicture(const Picture& picture);  // drawn transparent

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Picture picture_;
    bool face_;
};

class TFrameSetEditor : public QDialog {
    Q_OBJECT
public:
    TFrameSetEditor(Workspace& ws, const EditorLayout& layout, QWidget* parent = nullptr);

    const EditorLayout& layout() const { return layout_; }
    const Animation& animation() const { return animation_; }

    // Showing, then the window modally. Returns QDialog::Accepted after OK.
    int execute();

    // Fills every slot from disk, in storing order: the frame file when one
    // exists there, otherwise the placeholder "Imagens\null.bmp". A file that
    // cannot be read is reported; that slot and the ones after it keep what
    // they showed.
    void showFrames();
    // Picks a new picture for a slot through the picture dialog. Nothing is written.
    void pick(int slot);
    // Checks every target, writes every slot to its frame file, performs the
    // follow-up and closes. A failure is reported and the window stays open.
    // Returns whether everything was stored.
    bool OK();

    int slotCount() const { return static_cast<int>(slots_.size()); }
    TFrameSlot* slot(int index) const { return slots_.at(size_t(index)); }
    QGroupBox* group(int index) const { return groups_.at(size_t(index)); }
    // The walking editor's "Folha de sprites…": one picture of 3 x 4 frames
    // cut into the twelve slots (nothing written before OK).
    void pickSheet();
    QPushButton* sheetButton() const { return sheetButton_; }
    QPushButton* okButton() const { return okButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void followUp();
    bool isWalkingEditor() const;

    Workspace& ws_;
    const EditorLayout& layout_;
    const Animation& animation_;
    std::vector<Slot> slotFields_;
    std::vector<TFrameSlot*> slots_;
    std::vector<QGroupBox*> groups_;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* sheetButton_ = nullptr;
};

}  // namespace quillmark

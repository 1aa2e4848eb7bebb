#pragma once
// One frame picture as the database window and the frame-set editors show it:
// an ordinary frame centred at its natural size, clipped to the box, with the
// colour of its bottom-left pixel left out; a face stretched to fill the box.
#include "model/core/Picture.h"

#include <QWidget>

class QPainter;

namespace quillmark {

// Draws a frame into a box as described above. An empty picture draws nothing.
void paintFrame(QPainter& painter, const QRect& box, const Picture& picture, bool stretch);

// The picture box of a preview. It fills its host and shows whatever picture
// the previews object gives it.
class TFramePreview : public QWidget {
    Q_OBJECT
public:
    TFramePreview(bool stretch, QWidget* parent = nullptr);

    const Picture& picture() const { return picture_; }
    // The picture is drawn transparent (its bottom-left colour left out).
    void setPicture(const Picture& picture);
    void clear();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Picture picture_;
    bool stretch_;
};

}  // namespace quillmark

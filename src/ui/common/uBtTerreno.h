#pragma once
// TTile: a 40 x 40 picture button standing for one tile code. The palette
// fills twelve lists with them and a click chooses the brush; the database
// window's "Tiles" page reuses them with a click that opens a tile editor.
#include "model/core/Picture.h"

#include <QWidget>
#include <functional>

namespace quillmark {

class TTile : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSize = 40;

    explicit TTile(QWidget* parent = nullptr);

    unsigned char code() const { return code_; }
    void setCode(unsigned char code) { code_ = code; }
    int index() const { return index_; }
    void setIndex(int index) { index_ = index; }

    // The tile's picture (a copy of the cache's entry); may be empty.
    const Picture& picture() const { return picture_; }
    void setPicture(const Picture& picture);
    void clearPicture();

    bool selected() const { return selected_; }
    void setSelected(bool on);
    // The pointer is over the button (the outline is drawn).
    bool hovered() const { return hovered_; }

    // What a click does; set by the owner.
    std::function<void(TTile&)> clickAction;

    // Presses the button as a click of the mouse does.
    void click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    unsigned char code_ = 0;
    int index_ = 0;
    Picture picture_;
    bool selected_ = false;
    bool hovered_ = false;
    bool pressed_ = false;
};

}  // namespace quillmark

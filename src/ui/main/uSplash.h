#pragma once
// The splash window shown while the editor starts: borderless, 496 x 267,
// filled by its picture, centred on the screen and 20 pixels higher, fading
// in over 1500 milliseconds.
#include <QImage>
#include <QWidget>

class QPropertyAnimation;

namespace quillmark {

class TFormSplash : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 496;
    static constexpr int kHeight = 267;
    static constexpr int kFadeMs = 1500;

    explicit TFormSplash(QWidget* parent = nullptr);

    // Places the window (centred, then 20 pixels up), shows it and starts the fade.
    void showSplash();
    // The splash stays on top of every window; a dialog shown while the
    // editor starts (an error, a question) would open behind it. From this
    // call on, the first dialog to show hides the splash first.
    void hideBeforeDialogs();
    QPropertyAnimation* fade() const { return fade_; }
    const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QImage picture_;
    QPropertyAnimation* fade_;
};

}  // namespace quillmark

#pragma once
// The main window's band bar: a 40-pixel strip holding four movable bands of
// flat 33 x 33 picture buttons. A band is dragged sideways by its grip; the
// bands keep their order and never overlap. Tool buttons are never disabled:
// a button whose command does not apply now shows its picture greyed while
// the mouse is not over it.
#include "ui/common/uArt.h"

#include <QToolButton>
#include <QWidget>
#include <array>
#include <functional>
#include <vector>

class QToolBar;

namespace quillmark {

class TToolButton : public QToolButton {
    Q_OBJECT
public:
    static constexpr int kSize = 33;

    TToolButton(art::Tool tool, const QString& hint, QWidget* parent = nullptr);

    art::Tool tool() const { return tool_; }
    // The greyed look (the picture is grey unless the mouse is over the button).
    bool greyed() const { return greyed_; }
    void setGreyed(bool on);
    // Whether the picture now shown is the grey one.
    bool showsGreyPicture() const { return showsGrey_; }

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void refreshPicture();

    art::Tool tool_;
    bool greyed_ = false;
    bool hovered_ = false;
    bool showsGrey_ = false;
    QIcon colour_;
    QIcon grey_;
};

class TBand : public QWidget {
    Q_OBJECT
public:
    static constexpr int kGripWidth = 9;

    explicit TBand(QWidget* parent = nullptr);
    QToolBar* toolBar() const { return toolBar_; }
    void addButton(TToolButton* button);
    // Moves the band by dragging its grip; the bar keeps it in place.
    std::function<void(TBand&, int newLeft)> onDragged;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QToolBar* toolBar_;
    bool dragging_ = false;
    int grabX_ = 0;
};

class TBandBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 40;
    static constexpr int kBands = 4;

    explicit TBandBar(QWidget* parent = nullptr);

    TBand* band(int i) const { return bands_[static_cast<size_t>(i)]; }
    // Left positions of the four bands.
    std::array<int, kBands> lefts() const;
    // Places the bands at these left positions, keeping their order: a band
    // never starts before the end of the band to its left.
    void setLefts(const std::array<int, kBands>& lefts);
    // Packs the bands from the left, one after another.
    void packLefts();
    // Moves one band as its grip's drag asks, within its neighbours.
    void moveBand(int index, int newLeft);

    QSize sizeHint() const override;

private:
    std::array<TBand*, kBands> bands_{};
};

}  // namespace quillmark

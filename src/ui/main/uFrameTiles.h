#pragma once
// TFrame1: the tile palette. Twelve panels of 113 x 265 pixels lie on top of
// each other, exactly one shown; each holds twelve TTile buttons in two
// columns and six rows. Button i has the code 48 + i and lies on panel
// i / 12 + 1. A click on a button makes its tile the brush.
#include "ui/common/uBtTerreno.h"

#include <QWidget>
#include <array>
#include <vector>

namespace quillmark {

class Workspace;

class TFrame1 : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPanels = 12;
    static constexpr int kButtons = 144;
    static constexpr int kPanelWidth = 113;
    static constexpr int kPanelHeight = 265;
    static constexpr int kHeight = 280;

    // Follows the session: rebuilt when the tile pictures change, the first
    // tile chosen when a project opens.
    explicit TFrame1(Workspace& ws, QWidget* parent = nullptr);
    ~TFrame1() override;

    // Builds the 144 buttons anew, replacing any earlier ones; none is selected.
    void LoadImgs();
    // The picture of a tile code from the tile image cache.
    const Picture& PegaImg(unsigned char code);
    // Clears the selected flag of every button that has it.
    void UnSelectAll();
    // Empties every button's picture; the buttons stay.
    void LimpaTiles();
    // A click on a palette button: the brush becomes its tile.
    void chooseBrush(TTile& button);
    // A click on button 0, when it exists.
    void chooseFirstBrush();
    // The picker: the button of a tile code becomes the brush, selected, and
    // its panel is shown. False when no button has the code.
    bool pickCode(unsigned char code);

    // Shows panel index + 1 (index from 0) and hides the other eleven.
    void showPanel(int index);
    int currentPanel() const { return current_; }
    QWidget* panel(int index) const { return panels_[static_cast<size_t>(index)]; }

    // Button i (0 … 143), or nullptr before the first LoadImgs.
    TTile* button(int i) const;
    int buttonCount() const { return static_cast<int>(buttons_.size()); }

    // Centres every panel horizontally in the palette area.
    void centrePanels();

    // Where button i lies on its panel.
    static QPoint buttonPosition(int i);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    Workspace& ws_;
    std::array<QWidget*, kPanels> panels_{};
    std::vector<TTile*> buttons_;
    int current_ = 0;
};

}  // namespace quillmark

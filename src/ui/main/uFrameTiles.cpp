#include "ui/main/uFrameTiles.h"

#include "model/session/Workspace.h"

#include <QResizeEvent>
#include <cmath>

namespace quillmark {

TFrame1::TFrame1(Workspace& ws, QWidget* parent) : QWidget(parent), ws_(ws) {
    setFixedHeight(kHeight);
    setMinimumWidth(kPanelWidth);
    for (int k = 0; k < kPanels; ++k) {
        auto* panel = new QWidget(this);
        panel->setObjectName(QStringLiteral("Panel%1").arg(k + 1));
        panel->setGeometry(0, 0, kPanelWidth, kPanelHeight);
        panel->setVisible(k == 0);
        panels_[static_cast<size_t>(k)] = panel;
    }
    connect(&ws_.session(), &EditorSession::tilesChanged, this, &TFrame1::LoadImgs);
    connect(&ws_.session(), &EditorSession::brushReset, this, &TFrame1::chooseFirstBrush);
}

TFrame1::~TFrame1() = default;

void TFrame1::chooseFirstBrush() {
    if (TTile* first = button(0)) chooseBrush(*first);
}

bool TFrame1::pickCode(unsigned char code) {
    TTile* b = button(int(code) - 48);
    if (!b) return false;
    chooseBrush(*b);
    b->update();
    showPanel((int(code) - 48) / 12);
    return true;
}

QPoint TFrame1::buttonPosition(int i) {
    const int p = i % 12;
    return QPoint(p % 2 == 0 ? 15 : 57, 8 + 42 * (p / 2));
}

void TFrame1::LoadImgs() {
    // The old buttons may be the one whose click led here: they go once the
    // current event is over.
    for (TTile* old : buttons_) {
        old->hide();
        old->deleteLater();
    }
    buttons_.clear();
    buttons_.reserve(kButtons);
    for (int i = 0; i < kButtons; ++i) {
        auto* b = new TTile(panels_[static_cast<size_t>(i / 12)]);
        b->move(buttonPosition(i));
        b->setIndex(i);
        b->setCode(static_cast<unsigned char>(48 + i));
        b->setSelected(false);
        b->clickAction = [this](TTile& tile) { chooseBrush(tile); };
        b->setPicture(PegaImg(b->code()));
        b->show();
        buttons_.push_back(b);
    }
}

const Picture& TFrame1::PegaImg(unsigned char code) { return ws_.session().PegaImg(code); }

void TFrame1::UnSelectAll() {
    for (TTile* b : buttons_)
        if (b->selected()) b->setSelected(false);
}

void TFrame1::LimpaTiles() {
    for (TTile* b : buttons_) b->clearPicture();
    // An empty slot is no brush to show: the frame goes with the pictures.
    UnSelectAll();
}

void TFrame1::chooseBrush(TTile& button) {
    ws_.session().setBrush(button.code(), button.picture());
    UnSelectAll();
    button.setSelected(true);
}

void TFrame1::showPanel(int index) {
    if (index < 0 || index >= kPanels) return;
    current_ = index;
    for (int k = 0; k < kPanels; ++k) panels_[static_cast<size_t>(k)]->setVisible(k == index);
}

TTile* TFrame1::button(int i) const {
    if (i < 0 || i >= static_cast<int>(buttons_.size())) return nullptr;
    return buttons_[static_cast<size_t>(i)];
}

void TFrame1::centrePanels() {
    const int left = static_cast<int>(std::lround(width() / 2.0 - kPanelWidth / 2.0));
    for (QWidget* panel : panels_) panel->move(left, panel->y());
}

void TFrame1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    centrePanels();
}

}  // namespace quillmark

#include "ui/animation/uFrameSetEditor.h"

#include "model/core/Paths.h"
#include "model/session/Workspace.h"
#include "ui/animation/uFramePreview.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <string_view>

namespace quillmark {

namespace {

// The window's frame as the outer sizes of the layout count it: a thin
// border and a title bar.
const QSize kWindowFrame(8, 27);
constexpr int kSlotSpacing = 3;

}  // namespace

// --- slot ----------------------------------------------------------------------

TFrameSlot::TFrameSlot(bool face, QWidget* parent) : QFrame(parent), face_(face) {
    const int side = face ? kFaceSide : kFrameSide;
    setFixedSize(side, side);
    setCursor(Qt::PointingHandCursor);
}

void TFrameSlot::setPicture(const Picture& picture) {
    picture_ = picture;
    picture_.setTransparent(true);
    update();
}

void TFrameSlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window).darker(104));
    paintFrame(painter, rect(), picture_, face_);
}

void TFrameSlot::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
    QFrame::mouseReleaseEvent(event);
}

// --- editor ----------------------------------------------------------------------

TFrameSetEditor::TFrameSetEditor(Workspace& ws, const EditorLayout& layout, QWidget* parent)
    : QDialog(parent), ws_(ws), layout_(layout), animation_(animationOf(layout)), slotFields_(slotsOf(layout)) {
    setObjectName(QString::fromLatin1(layout.windowClass + 1));
    setWindowTitle(QString::fromUtf8(layout.title));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->setSpacing(4);

    size_t slotIndex = 0;
    for (const SlotGroup& g : layout.groups) {
        auto* box = new QGroupBox(QString::fromUtf8(g.caption), this);
        groups_.push_back(box);
        auto* grid = new QGridLayout(box);
        grid->setContentsMargins(6, 6, 6, 6);
        grid->setHorizontalSpacing(kSlotSpacing);
        grid->setVerticalSpacing(kSlotSpacing);
        const bool columns = !layout.columnHeads.empty();
        if (columns) {
            for (size_t c = 0; c < layout.columnHeads.size(); ++c) {
                auto* head = new QLabel(QString::fromUtf8(layout.columnHeads[c]), box);
                head->setAlignment(Qt::AlignCenter);
                grid->addWidget(head, 0, int(c), Qt::AlignHCenter);
            }
        }
        const int perColumn = columns ? int(g.frames.size() / layout.columnHeads.size()) : 1;
        for (size_t i = 0; i < g.frames.size(); ++i, ++slotIndex) {
            auto* s = new TFrameSlot(animation_.face, box);
            s->setObjectName(QString::fromStdString(slotFields_[slotIndex].field));
            s->setToolTip(QString::fromStdString(slotFields_[slotIndex].field));
            const int n = int(slotIndex);
            connect(s, &TFrameSlot::clicked, this, [this, n] { pick(n); });
            if (columns)
                grid->addWidget(s, 1 + int(i) % perColumn, int(i) / perColumn, Qt::AlignCenter);
            else
                grid->addWidget(s, 0, int(i), Qt::AlignCenter);
            slots_.push_back(s);
        }
        outer->addWidget(box, 0, Qt::AlignHCenter);
    }

    // the panel with the two buttons
    auto* panel = new QHBoxLayout;
    if (isWalkingEditor()) {
        // one sprite sheet instead of twelve file dialogs
        sheetButton_ = new QPushButton(QString::fromUtf8("Folha de sprites…"), this);
        sheetButton_->setToolTip(QString::fromUtf8("Uma imagem de 3 colunas e 4 linhas de quadros de 40 x 40 "
                                                   "(linhas: baixo, esquerda, direita, cima), cortada nos doze "
                                                   "quadros."));
        panel->addWidget(sheetButton_);
        connect(sheetButton_, &QPushButton::clicked, this, [this] { pickSheet(); });
    }
    panel->addStretch(1);
    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    cancelButton_ = new QPushButton(QString::fromUtf8(layout.cancelText), this);
    okButton_->setDefault(true);
    panel->addWidget(okButton_);
    panel->addWidget(cancelButton_);
    outer->addLayout(panel);
    connect(okButton_, &QPushButton::clicked, this, [this] { OK(); });
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

    // The outer width of the layout (or what the slots need when the style asks
    // for more), and only the height the slots and buttons take: no empty band
    // between them.
    const QSize hint = sizeHint();
    setFixedSize(std::max(layout.outerSize.width() - kWindowFrame.width(), hint.width()), hint.height());
}

void TFrameSetEditor::showEvent(QShowEvent* event) {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    QDialog::showEvent(event);
}

int TFrameSetEditor::execute() {
    showFrames();
    return exec();
}

void TFrameSetEditor::showFrames() {
    ws_.run([this] {
        const FrameRecord record = readFrameRecord(ws_.session().tables(), animation_);
        const QString folder = ws_.session().project().ProjectFolder;
        for (size_t i = 0; i < slots_.size(); ++i) {
            const int frame = layout_.groups[size_t(slotFields_[i].group)].frames[size_t(slotFields_[i].indexInGroup)];
            const QString path = framePath(folder, animation_, record, frame);
            Picture picture;
            if (!path.isEmpty() && fileExists(path))
                picture.LoadFromFile(path);
            else if (!folder.isEmpty())
                picture.LoadFromFile(placeholderPath(folder));
            slots_[i]->setPicture(picture);
        }
    });
}

void TFrameSetEditor::pick(int slot) {
    ws_.run([this, slot] {
        const std::optional<QString> chosen = ws_.prompts().openPicture();
        if (!chosen) return;
        slots_.at(size_t(slot))->setPicture(Picture::fromFile(*chosen));
    });
}

bool TFrameSetEditor::isWalkingEditor() const {
    return std::string_view(layout_.unit) == "uCharAniEdit" && slotFields_.size() == size_t(kSheetColumns * kSheetRows);
}

void TFrameSetEditor::pickSheet() {
    ws_.run([this] {
        const std::optional<QString> chosen = ws_.prompts().openPicture();
        if (!chosen) return;
        const std::vector<QImage> frames = cutWalkingSheet(Picture::fromFile(*chosen).image());
        // the slots stand in the sheet's order: Down, Left, Right, Up, three steps each
        for (size_t i = 0; i < frames.size() && i < slots_.size(); ++i) slots_[i]->setPicture(Picture(frames[i]));
    });
}

bool TFrameSetEditor::OK() {
    const bool stored = ws_.run([this] {
        const FrameRecord record = readFrameRecord(ws_.session().tables(), animation_);
        // every slot that holds a picture, in storing order
        std::vector<int> frames;
        std::vector<const TFrameSlot*> filled;
        for (size_t i = 0; i < slots_.size(); ++i) {
            if (slots_[i]->picture().isEmpty()) continue;
            frames.push_back(layout_.groups[size_t(slotFields_[i].group)].frames[size_t(slotFields_[i].indexInGroup)]);
            filled.push_back(slots_[i]);
        }
        const std::vector<QString> targets =
            checkedTargets(ws_.session().project().ProjectFolder, animation_, record, frames);
        for (size_t i = 0; i < targets.size(); ++i) filled[i]->picture().SaveToFile(targets[i]);
        followUp();
    });
    if (stored) accept();
    return stored;
}

void TFrameSetEditor::followUp() {
    if (layout_.followUp != FollowUp::HeroStaysInEdit) return;
    // The hero record stays in edit; the database window posts it when its
    // hero page is left or the window closes.
    RecordTable& hero = ws_.session().tables().cdsPersonagem;
    if (!hero.active() || hero.isEmpty() || hero.state() != RecordTable::State::Browse) return;
    if (hero.recNo() != 1) hero.first();
    hero.edit();
}

}  // namespace quillmark

#include "ui/tiles/uTilesPage.h"

#include "model/core/Error.h"
#include "model/database/TableRestriction.h"
#include "model/session/Workspace.h"
#include "model/tiles/TileEditing.h"
#include "ui/tiles/uAniTilesEdit.h"
#include "ui/tiles/uTilesEdit.h"

#include <QGroupBox>
#include <stdexcept>

namespace quillmark {

namespace {

constexpr int kGroupLeft = 24;
constexpr int kGroupTop = 2;
constexpr int kGroupStepX = 112;
constexpr int kGroupStepY = 272;
constexpr int kButtonsPerGroup = 12;

}  // namespace

TTilesPage::TTilesPage(Workspace& ws, TFormTi& tileEditor, TFormTA& animationEditor, QObject* parent)
    : QObject(parent), ws_(ws), tileEditor_(tileEditor), animationEditor_(animationEditor) {
    setObjectName(QStringLiteral("TilesPage"));
    connect(&tileEditor_, &TTileDialog::tilesChanged, this, &TTilesPage::redraw);
    connect(&animationEditor_, &TTileDialog::tilesChanged, this, &TTilesPage::redraw);
}

TTilesPage::~TTilesPage() = default;

QPoint TTilesPage::groupPosition(int g) {
    return QPoint(kGroupLeft + kGroupStepX * (g % 6), kGroupTop + kGroupStepY * (g / 6));
}

QPoint TTilesPage::buttonPosition(int k) {
    const int p = k % kButtonsPerGroup;
    return QPoint(p % 2 == 0 ? 8 : 50, 14 + 42 * (p / 2));
}

QString TTilesPage::groupCaption(int g) {
    return g == kGroups - 1 ? QStringLiteral("Animações") : QStringLiteral("Lista %1").arg(g + 1);
}

void TTilesPage::build(QWidget* page) {
    if (!page) throw std::logic_error("TTilesPage::build: no page");
    if (page_) throw std::logic_error("TTilesPage::build: the \"Tiles\" page is built once");
    page_ = page;
    for (int g = 0; g < kGroups; ++g) {
        auto* group = new QGroupBox(groupCaption(g), page);
        group->setObjectName(QStringLiteral("GroupLista%1").arg(g + 1));
        group->setGeometry(QRect(groupPosition(g), QSize(kGroupWidth, kGroupHeight)));
        groups_[static_cast<size_t>(g)] = group;
    }
    for (int k = 0; k < kButtons; ++k) {
        auto* button = new TTile(groups_[static_cast<size_t>(k / kButtonsPerGroup)]);
        button->setObjectName(QStringLiteral("Tile%1").arg(k));
        button->move(buttonPosition(k));
        button->setIndex(k);
        buttons_[static_cast<size_t>(k)] = button;
    }
    // the page belongs to the database window; forget its widgets with it
    connect(page, &QObject::destroyed, this, [this] {
        page_ = nullptr;
        groups_.fill(nullptr);
        buttons_.fill(nullptr);
    });
}

void TTilesPage::entered() {
    if (!page_) throw std::logic_error("TTilesPage::entered: the \"Tiles\" page was never built");
    for (int k = 0; k < kButtons; ++k) {
        TTile* button = buttons_[static_cast<size_t>(k)];
        const auto code = static_cast<unsigned char>(tiles::kFirstCode + k);
        button->setCode(code);
        button->setIndex(k);
        if (tiles::isAnimated(code))
            button->clickAction = [this](TTile& tile) { ShowEditAni(tile.code()); };
        else
            button->clickAction = [this](TTile& tile) { ShowEdit(tile.code()); };
        button->setPicture(ws_.session().PegaImg(code));
    }
    RecordTable& table = ws_.session().tables().cdsTiles;
    if (table.active() && table.filtered()) table.setFiltered(false);
}

void TTilesPage::ShowEdit(unsigned char code) { open(tileEditor_, code); }

void TTilesPage::ShowEditAni(unsigned char code) { open(animationEditor_, code); }

void TTilesPage::open(TTileDialog& editor, unsigned char code) {
    RecordTable& table = ws_.session().tables().cdsTiles;
    ws_.run([&] {
        TableRestriction restriction(table, true);
        restriction.restrict(tiles::tipoFilter(code));
        if (table.isEmpty())
            throw Error(formatMessage("Nenhum tile tem o código %s.", {std::to_string(static_cast<int>(code))}));
        editor.Execute();
    });
}

void TTilesPage::redraw() {
    ws_.run([this] {
        if (page_) entered();
    });
}

}  // namespace quillmark

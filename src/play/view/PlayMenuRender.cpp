// Drawing the title screen and the map's menu, on the game's pixels like the
// map (the window enlarges them).
#include "model/core/Text.h"
#include "play/view/PlayRender.h"

#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

namespace quillmark::play {

namespace {

const QColor kText(250, 248, 235);
const QColor kChosen(255, 225, 140);
const QColor kDim(165, 168, 185);

QFont menuFont(int px, bool bold = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(px);
    f.setBold(bold);
    return f;
}

// A framed panel like the message box.
void menuPanel(QPainter& p, const QRect& r) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(235, 230, 200), 2));
    p.setBrush(QColor(16, 24, 64, 232));
    p.drawRoundedRect(QRectF(r).adjusted(1, 1, -1, -1), 6, 6);
    p.setBrush(Qt::NoBrush);
    p.setRenderHint(QPainter::Antialiasing, false);
}

// A list with the entry under the cursor marked, one row of `step` pixels each.
void drawList(QPainter& p, const QRect& area, const std::vector<std::string>& entries, int cursor, int step,
              bool numbered) {
    const QFontMetrics fm(p.font());
    int y = area.top() + fm.ascent();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const bool current = static_cast<int>(i) == cursor;
        p.setPen(current ? kChosen : kText);
        QString text = QString::fromUtf8(entries[i].c_str());
        if (numbered) text = QString::number(i + 1) + QLatin1Char(' ') + text;
        text = fm.elidedText(text, Qt::ElideRight, area.width() - 18);
        p.drawText(area.left(), y, current ? QStringLiteral("▶") : QString());
        p.drawText(area.left() + 18, y, text);
        y += step;
    }
}

void drawMessage(QPainter& p, const QRect& view, const std::string& message) {
    if (message.empty()) return;
    p.setFont(menuFont(13));
    const QString text = QString::fromUtf8(message.c_str());
    const QRect inner(view.left() + 28, 0, view.width() - 56, 1000);
    const QRect needed = p.fontMetrics().boundingRect(inner, Qt::TextWordWrap, text);
    const QRect box(view.left() + 16, view.bottom() - needed.height() - 40, view.width() - 32, needed.height() + 24);
    menuPanel(p, box);
    p.setPen(kChosen);
    p.drawText(box.adjusted(12, 12, -12, -12), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
}

}  // namespace

void Renderer::drawMenu(QPainter& p, const Game& game) {
    const MapMenu& menu = game.menu();
    const QRect view = back_.rect();
    p.fillRect(view, QColor(0, 0, 0, 70));
    // the first list, always at the left
    const std::vector<std::string> main = {"Itens", "Magias", "Status", "Salvar", "Sair"};
    const QRect left(16, 16, 150, 24 + static_cast<int>(main.size()) * 26);
    menuPanel(p, left);
    p.setFont(menuFont(15, true));
    if (menu.page() != MapMenu::Page::Main && !menu.direct()) {
        // the entry whose page is open, marked without the cursor
        const QRect row(left.left() + 6, left.top() + 12 + menu.mainCursor() * 26 - 2, left.width() - 12, 26);
        p.fillRect(row, QColor(255, 225, 140, 50));
    }
    drawList(p, left.adjusted(12, 12, -8, -8), main, menu.page() == MapMenu::Page::Main ? menu.cursor() : -1, 26,
             false);
    if (menu.page() == MapMenu::Page::Main) {
        drawMessage(p, view, menu.message());
        return;
    }
    // the page chosen, beside it
    const std::vector<std::string> entries = menu.entries();
    const bool status = menu.page() == MapMenu::Page::Status;
    const int rows = std::max<int>(1, static_cast<int>(entries.size()));
    const int faceSide = status ? 96 : 0;
    const QRect page(left.right() + 12, 16, view.width() - left.right() - 28, std::max(48 + rows * 22, faceSide + 64));
    menuPanel(p, page);
    p.setFont(menuFont(15, true));
    p.setPen(kChosen);
    p.drawText(page.left() + 14, page.top() + 26, QString::fromUtf8(menu.title().c_str()));
    p.setFont(menuFont(14));
    QRect listArea = page.adjusted(14, 40, -12, -8);
    if (status) {
        const std::string& face = game.data().db.hero.face;
        const QRect faceRect(listArea.left(), listArea.top() + 4, faceSide, faceSide);
        if (!face.empty()) {
            const Picture& pic = art(game, "Imagens\\" + face, false);
            p.drawImage(faceRect, pic.drawImage());
        }
        p.setPen(QPen(QColor(235, 230, 200), 1));
        p.drawRect(faceRect.adjusted(0, 0, -1, -1));
        listArea.setLeft(faceRect.right() + 16);
        p.setPen(kText);
        const QFontMetrics fm(p.font());
        int y = listArea.top() + fm.ascent();
        for (const std::string& line : entries) {
            p.drawText(listArea.left(), y, QString::fromUtf8(line.c_str()));
            y += 22;
        }
    } else if (entries.empty()) {
        p.setPen(kDim);
        p.drawText(listArea.left() + 18, listArea.top() + QFontMetrics(p.font()).ascent(),
                   menu.page() == MapMenu::Page::Magic ? QString::fromUtf8("Nenhuma magia")
                                                       : QStringLiteral("Nenhum item"));
    } else {
        drawList(p, listArea, entries, menu.cursor(), 22, menu.page() != MapMenu::Page::Quit);
    }
    if (menu.page() == MapMenu::Page::Magic || status) {
        const GameState& s = game.state();
        p.setFont(menuFont(12));
        p.setPen(kDim);
        if (!status)
            p.drawText(page.adjusted(0, 0, -14, -8), Qt::AlignRight | Qt::AlignBottom,
                       QStringLiteral("MP %1/%2").arg(s.mp()).arg(s.maxMp()));
    }
    drawMessage(p, view, menu.message());
}

void Renderer::drawTitle(const Game& game) {
    QPainter p(&back_);
    const QRect view = back_.rect();
    const TitleScene& title = game.title();
    const Picture& picture = title.picture();
    if (!picture.isEmpty()) {
        // the picture fills the screen, its shape kept
        p.fillRect(view, Qt::black);
        const QSize fitted = picture.size().scaled(view.size(), Qt::KeepAspectRatio);
        const QRect target(QPoint((view.width() - fitted.width()) / 2, (view.height() - fitted.height()) / 2), fitted);
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        p.drawImage(target, picture.image());
    } else {
        // a plain title screen with the game's name
        QLinearGradient sky(0, 0, 0, view.height());
        sky.setColorAt(0, QColor(22, 30, 78));
        sky.setColorAt(1, QColor(8, 10, 26));
        p.fillRect(view, sky);
        QString name = fromCp1252(game.data().project.ProjectName);
        if (name.isEmpty()) name = QStringLiteral("Quillmark");
        p.setFont(menuFont(40, true));
        p.setPen(QColor(0, 0, 0, 160));
        p.drawText(view.adjusted(3, 3 - view.height() / 4, 3, 3 - view.height() / 4), Qt::AlignCenter, name);
        p.setPen(kChosen);
        p.drawText(view.adjusted(0, -view.height() / 4, 0, -view.height() / 4), Qt::AlignCenter, name);
    }
    const std::vector<std::string> entries = title.entries();
    const bool slotPage = title.page() == TitleScene::Page::Slots;
    p.setFont(menuFont(slotPage ? 14 : 17, !slotPage));
    const int step = slotPage ? 24 : 30;
    const int width = slotPage ? std::min(view.width() - 40, 520) : 220;
    const QRect box((view.width() - width) / 2, view.height() - 40 - static_cast<int>(entries.size()) * step - 24,
                    width, static_cast<int>(entries.size()) * step + 24);
    menuPanel(p, box);
    drawList(p, box.adjusted(16, 12, -12, -8), entries, title.cursor(), step, slotPage);
    if (!title.message().empty()) {
        p.setFont(menuFont(13));
        const QString text = QString::fromUtf8(title.message().c_str());
        const QRect inner(box.left(), 0, std::max(box.width(), 420), 1000);
        const QRect needed = p.fontMetrics().boundingRect(inner, Qt::TextWordWrap, text);
        const QRect m((view.width() - inner.width()) / 2 - 12, box.top() - needed.height() - 36, inner.width() + 24,
                      needed.height() + 24);
        menuPanel(p, m);
        p.setPen(kChosen);
        p.drawText(m.adjusted(12, 12, -12, -12), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
    }
}

}  // namespace quillmark::play

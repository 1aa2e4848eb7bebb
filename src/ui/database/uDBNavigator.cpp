#include "ui/database/uDBNavigator.h"

#include "model/core/RecordTable.h"
#include "model/session/Workspace.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>

namespace quillmark {

namespace {

// The button pictures, drawn once: triangles and bars for moving, signs for the rest.
QIcon buttonIcon(int b) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(0x20, 0x40, 0x80);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    auto triangle = [&](bool left, int x) {
        QPolygonF t;
        if (left)
            t << QPointF(x + 6, 3) << QPointF(x + 6, 13) << QPointF(x, 8);
        else
            t << QPointF(x, 3) << QPointF(x, 13) << QPointF(x + 6, 8);
        p.drawPolygon(t);
    };
    switch (b) {
    case TDBNavigator::First:
        p.drawRect(3, 3, 2, 10);
        triangle(true, 6);
        break;
    case TDBNavigator::Prior:
        triangle(true, 5);
        break;
    case TDBNavigator::Next:
        triangle(false, 5);
        break;
    case TDBNavigator::Last:
        triangle(false, 4);
        p.drawRect(11, 3, 2, 10);
        break;
    case TDBNavigator::Insert:
        p.drawRect(7, 3, 2, 10);
        p.drawRect(3, 7, 10, 2);
        break;
    case TDBNavigator::Delete:
        p.drawRect(3, 7, 10, 2);
        break;
    case TDBNavigator::Edit:
        p.drawPolygon(QPolygonF() << QPointF(3, 13) << QPointF(4, 10) << QPointF(11, 3) << QPointF(13, 5)
                                  << QPointF(6, 12));
        break;
    case TDBNavigator::Post: {
        QPen pen(QColor(0x20, 0x80, 0x30), 2.2);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF() << QPointF(3, 8) << QPointF(7, 12) << QPointF(13, 4));
        break;
    }
    case TDBNavigator::Cancel: {
        QPen pen(QColor(0xA0, 0x20, 0x20), 2.2);
        p.setPen(pen);
        p.drawLine(4, 4, 12, 12);
        p.drawLine(12, 4, 4, 12);
        break;
    }
    default: {
        QPen pen(ink, 1.8);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3, 3, 10, 10), 60 * 16, 280 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPolygon(QPolygonF() << QPointF(9, 1) << QPointF(13, 4) << QPointF(9, 7));
        break;
    }
    }
    return QIcon(pm);
}

const char* const kHints[] = {"First record",  "Prior record", "Next record", "Last record", "Insert record",
                              "Delete record", "Edit record",  "Post edit",   "Cancel edit", "Refresh data"};

}  // namespace

TDBNavigator::TDBNavigator(Workspace& ws, RecordTable& table, QWidget* parent)
    : QWidget(parent), ws_(ws), table_(table) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (int b = 0; b < Count; ++b) {
        auto* button = new QToolButton(this);
        button->setIcon(buttonIcon(b));
        button->setToolTip(QString::fromLatin1(kHints[b]));
        button->setFixedSize(25, 25);
        connect(button, &QToolButton::clicked, this, [this, b] { click(static_cast<Button>(b)); });
        row->addWidget(button);
        buttons_[static_cast<size_t>(b)] = button;
    }
    row->addStretch();
    observer_ = table_.addObserver([this](RecordTable&, TableChange) { updateButtons(); });
    updateButtons();
}

TDBNavigator::~TDBNavigator() { table_.removeObserver(observer_); }

void TDBNavigator::updateButtons() {
    const bool active = table_.active();
    const bool editing = active && table_.editing();
    const int count = active ? table_.recordCount() : 0;
    const int at = active ? table_.recNo() : 0;
    const bool browse = active && !editing;
    buttons_[First]->setEnabled(browse && count > 0 && at > 1);
    buttons_[Prior]->setEnabled(browse && count > 0 && at > 1);
    buttons_[Next]->setEnabled(browse && count > 0 && at < count);
    buttons_[Last]->setEnabled(browse && count > 0 && at < count);
    buttons_[Insert]->setEnabled(active);
    buttons_[Delete]->setEnabled(active && (count > 0 || table_.state() == RecordTable::State::Insert));
    buttons_[Edit]->setEnabled(browse && count > 0);
    buttons_[Post]->setEnabled(editing);
    buttons_[Cancel]->setEnabled(editing);
    buttons_[Refresh]->setEnabled(active);
}

void TDBNavigator::click(Button b) {
    ws_.run([&] {
        switch (b) {
        case First:
            table_.first();
            break;
        case Prior:
            table_.prior();
            break;
        case Next:
            table_.next();
            break;
        case Last:
            table_.last();
            break;
        case Insert:
            table_.insert();
            break;
        case Delete:
            if (removeRecord) {
                removeRecord();
                break;
            }
            if (ws_.prompts().message(QString::fromUtf8("Confirmação"), QStringLiteral("Delete record?"),
                                      Icon::Question, Buttons::OkCancel) != Answer::Ok)
                return;
            table_.remove();
            break;
        case Edit:
            table_.edit();
            break;
        case Post:
            table_.post();
            break;
        case Cancel:
            table_.cancel();
            break;
        case Refresh:
            if (table_.editing() || table_.changedSinceOpen()) {
                if (ws_.prompts().confirm(QStringLiteral("As alterações desta tabela ainda não gravadas serão "
                                                         "perdidas. Ler a tabela novamente do arquivo?"),
                                          Buttons::YesNo) != Answer::Yes)
                    return;
            }
            table_.reload();
            break;
        default:
            return;
        }
        if (onAction) onAction(b);
    });
    updateButtons();
}

}  // namespace quillmark

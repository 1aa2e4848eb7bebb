// The map area of the main window (TMapArea): the scrolling area around the
// canvas, the waiting picture of the first map and the zoom that keeps the
// point under the pointer.
#include "model/session/Workspace.h"
#include "ui/main/uTerreno.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QWheelEvent>
#include <cmath>

namespace quillmark {

// ---------------------------------------------------------------------------
// TMapArea

namespace {

// The picture in the middle of the map area while the first map is laid out.
class WaitingPicture : public QWidget {
public:
    explicit WaitingPicture(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("WaitingPicture"));
        setFixedSize(190, 96);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath panel;
        panel.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
        p.fillPath(panel, QColor(30, 32, 38, 235));
        p.setPen(QPen(QColor(110, 116, 130), 1));
        p.drawPath(panel);
        // A small square of map tiles, three of them lit.
        const QColor grass(96, 160, 72), water(70, 130, 200), sand(214, 190, 120);
        const QColor tiles[9] = {grass, grass, water, grass, sand, water, sand, sand, grass};
        for (int i = 0; i < 9; ++i) {
            const QRectF r(16 + (i % 3) * 20, 19 + (i / 3) * 20, 18, 18);
            p.fillRect(r, tiles[i]);
        }
        p.setPen(QColor(235, 235, 235));
        QFont f = font();
        f.setPixelSize(13);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRect(84, 19, 100, 58), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Carregando\nmapa…"));
    }
};

}  // namespace

TMapArea::TMapArea(Workspace& ws, QWidget* parent)
    : QScrollArea(parent), ws_(ws), canvas_(new TMapCanvas(ws)), waiting_(nullptr) {
    setObjectName(QStringLiteral("MapArea"));
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFrameShape(QFrame::NoFrame);
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Window, cellpaint::backgroundColor());
    viewport()->setPalette(pal);
    viewport()->setBackgroundRole(QPalette::Window);
    viewport()->setAutoFillBackground(true);
    setWidget(canvas_);
    waiting_ = new WaitingPicture(viewport());
    waiting_->hide();

    EditorSession& session = ws_.session();
    connect(&session, &EditorSession::mapOpened, this, &TMapArea::layoutLoadedMap);
    connect(&session, &EditorSession::newMapOpened, canvas_, &TMapCanvas::buildNewMapCells);
    connect(&session, &EditorSession::mapClosed, canvas_, &TMapCanvas::destroyCells);
    connect(&session, &EditorSession::tilesChanged, canvas_, &TMapCanvas::repaintCells);
    connect(canvas_, &TMapCanvas::zoomed, this, &TMapArea::keepUnderPointer);

    hint_ = new QLabel(viewport());
    hint_->setObjectName(QStringLiteral("EmptyHint"));
    hint_->setTextFormat(Qt::RichText);
    hint_->setAlignment(Qt::AlignCenter);
    hint_->setAttribute(Qt::WA_TransparentForMouseEvents);
    hint_->setStyleSheet(QStringLiteral("QLabel { color: #e6e6e6; background: rgba(30, 32, 38, 235);"
                                        " border: 1px solid #6e7482; border-radius: 10px; padding: 18px 26px; }"));
    connect(&session, &EditorSession::stateChanged, this, &TMapArea::updateHint);
    updateHint();
}

QString TMapArea::hintText() const {
    const EditorSession& session = ws_.session();
    if (!session.projectOpen())
        return QStringLiteral("Nenhum projeto aberto.\n\n"
                              "Arquivo › Novo Projeto (Ctrl+Alt+N) cria um projeto novo.\n"
                              "Arquivo › Abrir Projeto (Ctrl+Alt+O) abre um projeto existente.");
    if (!session.mapLoaded())
        return QStringLiteral("O projeto ainda não tem um mapa aberto.\n\n"
                              "Arquivo › Novo Mapa (Ctrl+N) cria o primeiro mapa;\n"
                              "um mapa da árvore à esquerda abre com um duplo clique.");
    return QString();
}

void TMapArea::updateHint() {
    const QString text = hintText();
    if (text.isEmpty()) {
        hint_->hide();
        return;
    }
    QString html;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].toHtmlEscaped();
        html += i == 0 ? QStringLiteral("<p style='font-size:15px'><b>%1</b></p>").arg(line) : line + "<br>";
    }
    hint_->setText(html);
    hint_->adjustSize();
    placeWaitingPicture();
    hint_->show();
    hint_->raise();
}

void TMapArea::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        const int delta = event->angleDelta().y();
        const QPoint onCanvas = canvas_->mapFrom(viewport(), event->position().toPoint());
        if (delta != 0) canvas_->zoomStep(delta > 0 ? 1 : -1, onCanvas);
        event->accept();
        return;
    }
    QScrollArea::wheelEvent(event);
}

void TMapArea::keepUnderPointer(QPointF cells, QPoint inViewport) {
    const int px = canvas_->cellPixels();
    horizontalScrollBar()->setValue(static_cast<int>(std::lround(cells.x() * px)) - inViewport.x());
    verticalScrollBar()->setValue(static_cast<int>(std::lround(cells.y() * px)) - inViewport.y());
}

TMapArea::~TMapArea() = default;

bool TMapArea::waitingPictureShown() const { return waiting_->isVisible(); }

void TMapArea::placeWaitingPicture() {
    const QSize area = viewport()->size();
    waiting_->move((area.width() - waiting_->width()) / 2, (area.height() - waiting_->height()) / 2);
    if (hint_) hint_->move((area.width() - hint_->width()) / 2, (area.height() - hint_->height()) / 2);
}

void TMapArea::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    placeWaitingPicture();
}

void TMapArea::layoutLoadedMap(bool wasLoaded) {
    const bool first = !firstMapLaidOut_;
    if (first) {
        placeWaitingPicture();
        waiting_->show();
        waiting_->raise();
        if (isVisible()) viewport()->repaint();
    }
    canvas_->layoutLoadedMap(wasLoaded);
    if (first) {
        waiting_->hide();
        firstMapLaidOut_ = true;
    }
    show();
}

}  // namespace quillmark

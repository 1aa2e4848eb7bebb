#include "ui/events/uEvChangeMap.h"

#include "model/core/Error.h"
#include "model/core/MapFile.h"
#include "model/core/Paths.h"
#include "model/core/Text.h"
#include "model/events/EventCommands.h"
#include "model/session/Workspace.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillmark {

namespace {
// The small map fits in this many pixels a side.
constexpr int kThumbPixels = 320;
}  // namespace

TMapThumb::TMapThumb(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MapaPequeno"));
    setFixedSize(kThumbPixels, kThumbPixels);
    setCursor(Qt::CrossCursor);
}

void TMapThumb::setMap(const QImage& picture, int side) {
    picture_ = picture;
    side_ = side;
    cell_ = side > 0 ? std::max(1, kThumbPixels / side) : 1;
    column_ = row_ = 0;
    update();
}

void TMapThumb::pick(int column, int row) {
    if (column < 1 || row < 1 || column > side_ || row > side_) return;
    column_ = column;
    row_ = row;
    update();
    emit picked(column, row);
}

QPoint TMapThumb::cellCentre(int column, int row) const {
    return QPoint((column - 1) * cell_ + cell_ / 2, (row - 1) * cell_ + cell_ / 2);
}

void TMapThumb::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    if (side_ == 0) return;
    p.drawImage(QRect(0, 0, side_ * cell_, side_ * cell_), picture_);
    if (column_ > 0) {
        p.setPen(QPen(Qt::red, 2));
        p.drawRect(QRect((column_ - 1) * cell_, (row_ - 1) * cell_, cell_, cell_).adjusted(0, 0, -1, -1));
    }
}

void TMapThumb::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || side_ == 0) return;
    const QPoint at = event->position().toPoint();
    pick(at.x() / cell_ + 1, at.y() / cell_ + 1);
}

TFormMudarMapa::TFormMudarMapa(Workspace& ws, QWidget* parent) : QDialog(parent), ws_(ws) {
    setObjectName(QStringLiteral("FormMudarMapa"));
    setWindowTitle(QStringLiteral("Editor de Eventos - Mudar Mapa"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    maps_ = new QComboBox(this);
    maps_->setObjectName(QStringLiteral("Mapa"));
    for (const std::string& name : ws_.session().project().mapFileNames()) maps_->addItem(fromCp1252(name));
    thumb_ = new TMapThumb(this);
    where_ = new QLabel(QStringLiteral("Clique no mapa para escolher a célula"), this);

    btnOK_ = new QPushButton(QStringLiteral("OK"), this);
    btnOK_->setDefault(true);
    btnCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK_);
    buttons->addWidget(btnCancel_);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Mapa:"), this));
    top->addWidget(maps_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(thumb_, 0, Qt::AlignHCenter);
    layout->addWidget(where_);
    layout->addLayout(buttons);

    connect(maps_, &QComboBox::currentIndexChanged, this, [this](int i) { ws_.run([this, i] { showMap(i); }); });
    connect(thumb_, &TMapThumb::picked, this, [this](int column, int row) {
        where_->setText(QStringLiteral("Coluna %1, linha %2").arg(column).arg(row));
    });
    connect(btnOK_, &QPushButton::clicked, this, [this] { ws_.run([this] { OK(); }); });
    connect(btnCancel_, &QPushButton::clicked, this, &QDialog::reject);
    if (maps_->count() > 0) ws_.run([this] { showMap(0); });
}

void TFormMudarMapa::showMap(int index) {
    thumb_->setMap(QImage(), 0);
    where_->setText(QStringLiteral("Clique no mapa para escolher a célula"));
    if (index < 0) return;
    MapGrid grid;
    Abrir(grid, projectPath(ws_.session().project().ProjectFolder, "Mapas\\" + toCp1252(maps_->itemText(index))));
    // Each cell drawn at full size once, lower layer then upper, then scaled
    // as a whole: the small map shows the same picture the canvas shows.
    constexpr int kCell = 8;
    QImage picture(grid.N * kCell, grid.N * kCell, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter p(&picture);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    // Without the tile pictures (an empty cache) the cells stay dark: the map
    // can still be clicked.
    auto tile = [this](unsigned char code) {
        try {
            return ws_.session().PegaImg(code).drawImage();
        } catch (const std::exception&) {
            return QImage();
        }
    };
    for (int r = 1; r <= grid.N; ++r) {
        for (int c = 1; c <= grid.N; ++c) {
            const QRect cell((c - 1) * kCell, (r - 1) * kCell, kCell, kCell);
            for (const unsigned char code : {grid.fundo(r, c), grid.tipo(r, c)})
                if (const QImage image = tile(code); !image.isNull()) p.drawImage(cell, image);
        }
    }
    p.end();
    thumb_->setMap(picture, grid.N);
}

std::string TFormMudarMapa::command() const {
    return MudarMapaCommand(toCp1252(maps_->currentText()), thumb_->column(), thumb_->row());
}

void TFormMudarMapa::OK() {
    if (maps_->currentIndex() < 0) throw Error("O projeto não tem mapa");
    if (thumb_->column() == 0) throw Error("Clique no mapa para escolher a célula de chegada");
    const std::string problem = argumentProblem(toCp1252(maps_->currentText()), true, false);
    if (!problem.empty()) throw Error("O nome do mapa " + problem);
    accept();
}

}  // namespace quillmark

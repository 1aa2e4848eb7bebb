#include "ui/main/uAbout.h"

#include "ui/common/uArt.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace quillmark {

namespace {
QLabel* textLabel(QWidget* parent, const QString& text, int x, int y, bool bold, int width = 380) {
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setBold(bold);
    label->setFont(f);
    label->setGeometry(x, y, width, 20);
    return label;
}
}  // namespace

TFormAbout::TFormAbout(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("FormAbout"));
    setWindowTitle(QStringLiteral("Quillmark 1.0 - Sobre"));
    setFixedSize(kWidth, kHeight);
    setModal(true);

    const qreal dpr = devicePixelRatioF();
    auto picture = [](const QImage& image) { return QPixmap::fromImage(image); };

    // Image1: the banner across the top.
    image1_ = new QLabel(this);
    image1_->setObjectName(QStringLiteral("Image1"));
    image1_->setGeometry(10, 10, 541, 150);
    image1_->setPixmap(picture(art::aboutBanner(541, 150)));
    image1_->setFrameShape(QFrame::NoFrame);

    // Image2: the logo.
    image2_ = new QLabel(this);
    image2_->setObjectName(QStringLiteral("Image2"));
    image2_->setGeometry(28, 178, 96, 96);
    image2_->setPixmap(art::logoPixmap(96, dpr));

    textLabel(this, QStringLiteral("Quillmark 1.0 — Editor de jogos RPG 2D"), 148, 178, true);
    textLabel(this, QStringLiteral("Desenvolvido por:"), 148, 206, true);
    textLabel(this, QStringLiteral("Equipe Quillmark"), 280, 206, false, 250);
    textLabel(this, QStringLiteral("Contato:"), 148, 230, true);
    textLabel(this, QStringLiteral("quillmark@example.org"), 280, 230, false, 250);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(10, 292, 541, 4);

    // Image3: a strip of the tiles a game is made of.
    image3_ = new QLabel(this);
    image3_->setObjectName(QStringLiteral("Image3"));
    image3_->setGeometry(10, 310, 240, 48);
    image3_->setPixmap(picture(art::aboutTileStrip(240, 48)));

    close_ = new QPushButton(QStringLiteral("Close"), this);
    close_->setObjectName(QStringLiteral("Close"));
    close_->setGeometry(kWidth - 10 - 96, 320, 96, 30);
    close_->setDefault(true);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace quillmark

#pragma once
// The editor's own pictures: the tool-bar buttons, the project tree's three
// images, the logo, the splash picture and the about box's pictures. All are
// drawn here (vector pictures rendered at the screen's pixel ratio); what was
// drawn is kept in the user's cache folder so that later starts only read it.
#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace quillmark::art {

enum class Tool {
    NovoProjeto,
    AbrirProjeto,
    NovoMapa,
    Salvar,
    CamadaInferior,
    CamadaSuperior,
    CamadaEventos,
    PropriedadesMapa,
    Zoom,
    BancoDados,
    Play,
};

// Size of a tool-bar picture inside its 33 x 33 button.
inline constexpr int kToolPictureSize = 24;

// A tool-bar picture, in colour or greyed (the look of a button whose command
// does not apply now), at the given device pixel ratio.
QPixmap toolPixmap(Tool tool, bool greyed, qreal devicePixelRatio = 1.0);

// The tree's 16 x 16 images: 0 container, 1 map, 2 selected container.
QPixmap treeImage(int index, qreal devicePixelRatio = 1.0);

// The product logo as SVG text, and rendered square.
QByteArray logoSvg();
QPixmap logoPixmap(int size, qreal devicePixelRatio = 1.0);
QIcon applicationIcon();

// The splash window's picture, 496 x 267.
QImage splashPicture();
// The about box's pictures: a landscape banner and a strip of tiles.
QImage aboutBanner(int width, int height);
QImage aboutTileStrip(int width, int height);

// The vector pictures and the splash are drawn once and then kept, as raw
// pixels, in the user's cache folder; tests may point that elsewhere (an
// empty folder name: the cache folder).
void setStoredPictureFolder(const QString& folder);

// A picture made grey and faint.
QImage greyedImage(const QImage& image);

}  // namespace quillmark::art

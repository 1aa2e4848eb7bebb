#pragma once
// A PNG writer for large map pictures. A 100 x 100 map is a 4000 x 4000
// picture: the general writer spends most of its time choosing a row filter for
// every row; this one writes unfiltered rows with a fast deflate level, which
// suits pictures made of repeated tiles and takes a fraction of the time.
#include <QByteArray>
#include <QImage>

namespace quillmark::cli {

// The PNG file bytes of a picture: 8-bit RGB when the picture is opaque, RGBA
// otherwise. A null picture gives no bytes.
QByteArray encodePng(const QImage& image);

}  // namespace quillmark::cli

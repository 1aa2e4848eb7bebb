#pragma once
// A PNG writer for large map pictures. A 100 x 100 map is a 4000 x 4000
// picture: the general writer spends most of its time choosing a row filter for
// every row and deflating; this one writes unfiltered rows whose cell-wide
// pieces are copies of pieces seen before wherever the picture repeats its
// tiles (RowDeflate.h), which takes a fraction of the time.
#include "apps/cli/RowDeflate.h"

#include <QByteArray>
#include <QImage>

namespace quillmark::cli {

// A PNG written band by band, so that a large picture never has to be held
// whole: the caller draws a band of rows, hands it over, and reuses it for the
// next. The pixels are taken as 32-bit colours (straight or premultiplied).
class PngStream {
public:
    // `opaque`: every pixel the bands carry is opaque, and the file holds RGB
    // without alpha; otherwise RGBA. `repeatWidth`: the width in pixels of the
    // pieces the picture is made of (a map's cells), where repeats are looked for.
    // `threads`: bands are matched and written on threads of their own.
    PngStream(int width, int height, bool opaque, int repeatWidth = 40, bool threads = true);
    ~PngStream();
    PngStream(const PngStream&) = delete;
    PngStream& operator=(const PngStream&) = delete;

    // The next rows, top to bottom; the band is as wide as the picture.
    void addRows(const QImage& band);
    // The whole file, once every row has been added.
    QByteArray finish();

private:
    RowDeflater deflater_;
    int width_;
    int height_;
    int rowsAdded_ = 0;
    bool opaque_;
};

}  // namespace quillmark::cli

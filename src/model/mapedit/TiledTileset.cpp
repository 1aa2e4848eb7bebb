// The tileset's pictures from the project's tile image cache, apart from the
// exchange itself so that the TMX reader and writer need no database.
#include "model/database/DataModule.h"
#include "model/database/TileCache.h"
#include "model/mapedit/TiledExchange.h"

namespace quillmark::tiled {

TileImages tileImagesOf(TDataModule1& data, const TileCache& cache) {
    TileImages images;
    for (int i = 0; i < kTileCount; ++i)
        images[static_cast<std::size_t>(i)] =
            cache.PegaImg(data, static_cast<unsigned char>(kFirstCode + i)).drawImage();
    return images;
}

}  // namespace quillmark::tiled

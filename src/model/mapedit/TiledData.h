#pragma once
// The tile data of one TMX layer: the global tile id of each cell, row by row.
#include <pugixml.hpp>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quillmark::tiled {

// Reports a refusal; it throws and never returns.
using Fail = std::function<void(const std::string& what)>;

// Decodes a layer's <data> of an n x n map: CSV, base64 (plain, zlib, gzip
// or zstd) or one <tile> per cell. Anything else, or data that does not hold
// exactly one id per cell, is refused through `fail` naming the layer.
std::vector<std::uint32_t> decodeTileData(const pugi::xml_node& data, int n, const std::string& layerName,
                                          const Fail& fail);

}  // namespace quillmark::tiled

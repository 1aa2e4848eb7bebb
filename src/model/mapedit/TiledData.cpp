// The tile data of a TMX layer in every form Tiled writes it.
#include "model/mapedit/TiledData.h"

#include <QByteArray>
#include <zlib.h>
#include <zstd.h>
#include <zstd_errors.h>

#include <cstdlib>
#include <string_view>

namespace quillmark::tiled {

namespace {

// A refusal: `fail` throws; nothing after it runs.
[[noreturn]] void stop(const Fail& fail, const std::string& what) {
    fail(what);
    std::abort();
}

std::vector<std::uint32_t> inflateData(const QByteArray& packed, std::string_view compression, int n_,
                                       const std::string& layerName, const Fail& fail) {
    const std::size_t expected = static_cast<std::size_t>(n_) * static_cast<std::size_t>(n_) * 4;
    std::vector<unsigned char> out(expected + 1);
    const std::string what = "os dados " + std::string(compression) + " da camada \"" + layerName + "\"";
    std::size_t produced = 0;
    if (compression == "zstd") {
        const std::size_t r = ZSTD_decompress(out.data(), out.size(), packed.constData(), packed.size());
        if (ZSTD_isError(r)) {
            if (ZSTD_getErrorCode(r) == ZSTD_error_dstSize_tooSmall) stop(fail, what + " têm mais células que o mapa.");
            if (ZSTD_getErrorCode(r) == ZSTD_error_srcSize_wrong)
                stop(fail, what + " estão incompletos (arquivo truncado?).");
            stop(fail, what + " estão corrompidos.");
        }
        produced = r;
    } else {
        const bool gzip = compression == "gzip";
        z_stream z{};
        if (inflateInit2(&z, gzip ? 15 + 16 : 15) != Z_OK) stop(fail, "não foi possível descompactar os dados.");
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.constData()));
        z.avail_in = static_cast<uInt>(packed.size());
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        const int status = inflate(&z, Z_FINISH);
        produced = out.size() - z.avail_out;
        inflateEnd(&z);
        if (status == Z_DATA_ERROR || status == Z_NEED_DICT || status == Z_MEM_ERROR)
            stop(fail, what + " estão corrompidos.");
        if (status != Z_STREAM_END) {
            if (produced > expected) stop(fail, what + " têm mais células que o mapa.");
            stop(fail, what + " estão incompletos (arquivo truncado?).");
        }
    }
    if (produced != expected) stop(fail, what + " não têm uma célula para cada posição do mapa.");
    std::vector<std::uint32_t> gids(expected / 4);
    for (std::size_t i = 0; i < gids.size(); ++i)
        gids[i] = static_cast<std::uint32_t>(out[4 * i]) | static_cast<std::uint32_t>(out[4 * i + 1]) << 8 |
                  static_cast<std::uint32_t>(out[4 * i + 2]) << 16 | static_cast<std::uint32_t>(out[4 * i + 3]) << 24;
    return gids;
}
}  // namespace

std::vector<std::uint32_t> decodeTileData(const pugi::xml_node& data, int n_, const std::string& layerName,
                                          const Fail& fail) {
    const std::string layer = "a camada \"" + layerName + "\"";
    if (!data) stop(fail, layer + " não tem dados.");
    if (data.child("chunk")) stop(fail, layer + " está em blocos de mapa infinito.");
    const std::string_view encoding = data.attribute("encoding").value();
    const std::string_view compression = data.attribute("compression").value();
    const std::size_t cells = static_cast<std::size_t>(n_) * static_cast<std::size_t>(n_);
    std::vector<std::uint32_t> gids;
    gids.reserve(cells);

    if (encoding.empty()) {
        // The oldest form: one <tile gid="…"/> per cell.
        for (const pugi::xml_node tile : data.children("tile")) {
            const long long gid = QByteArray(tile.attribute("gid").value()).toLongLong();
            if (gid < 0 || gid > 0xFFFFFFFFll) stop(fail, layer + " tem um tile inválido.");
            gids.push_back(static_cast<std::uint32_t>(gid));
        }
    } else if (encoding == "csv") {
        if (!compression.empty()) stop(fail, layer + " usa uma compressão que o CSV não admite.");
        const std::string_view text = data.child_value();
        std::uint64_t value = 0;
        bool inNumber = false;
        bool expectNumber = true;
        for (const char ch : text) {
            if (ch >= '0' && ch <= '9') {
                if (!expectNumber && !inNumber) stop(fail, "os dados CSV de " + layer + " estão malformados.");
                value = value * 10 + static_cast<std::uint64_t>(ch - '0');
                if (value > 0xFFFFFFFFull) stop(fail, "os dados CSV de " + layer + " têm um número grande demais.");
                inNumber = true;
            } else if (ch == ',') {
                if (!inNumber) stop(fail, "os dados CSV de " + layer + " estão malformados.");
                gids.push_back(static_cast<std::uint32_t>(value));
                value = 0;
                inNumber = false;
                expectNumber = true;
            } else if (ch == ' ' || ch == '\n' || ch == '\r' || ch == '\t') {
                if (inNumber) expectNumber = false;
            } else {
                stop(fail, "os dados CSV de " + layer + " têm o caractere inválido '" + std::string(1, ch) + "'.");
            }
        }
        if (inNumber)
            gids.push_back(static_cast<std::uint32_t>(value));
        else if (!gids.empty())
            stop(fail, "os dados CSV de " + layer + " terminam numa vírgula (arquivo truncado?).");
    } else if (encoding == "base64") {
        QByteArray text(data.child_value());
        text.replace(' ', "").replace('\n', "").replace('\r', "").replace('\t', "");
        const auto decoded = QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded) stop(fail, "os dados base64 de " + layer + " estão corrompidos.");
        const QByteArray& bytes = *decoded;
        if (compression == "zlib" || compression == "gzip" || compression == "zstd")
            return inflateData(bytes, compression, n_, layerName, fail);
        if (!compression.empty())
            stop(fail, layer + " usa a compressão \"" + std::string(compression) +
                           "\"; salve o mapa no Tiled com CSV, base64, zlib, gzip ou zstd.");
        if (static_cast<std::size_t>(bytes.size()) != cells * 4)
            stop(fail,
                 "os dados base64 de " + layer + " não têm uma célula para cada posição do mapa (arquivo truncado?).");
        for (std::size_t i = 0; i < cells; ++i) {
            const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData()) + 4 * i;
            gids.push_back(static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
        }
    } else {
        stop(fail, layer + " usa a codificação desconhecida \"" + std::string(encoding) + "\".");
    }
    if (gids.size() != cells)
        stop(fail, layer + " tem " + std::to_string(gids.size()) + " células em vez de " + std::to_string(cells) +
                       " (arquivo truncado?).");
    return gids;
}

}  // namespace quillmark::tiled

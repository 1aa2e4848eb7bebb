// libFuzzer entry point: the PNG writer of render (see PngRoundTrip.h).
#include "PngRoundTrip.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string failure = qmfuzz::pngWriter(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!failure.empty()) {
        std::fprintf(stderr, "png_writer: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}

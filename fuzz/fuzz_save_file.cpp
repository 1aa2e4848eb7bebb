// libFuzzer entry point: the saved game's round trip (see SaveRoundTrip.h).
#include "SaveRoundTrip.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string failure = qmfuzz::saveFile(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!failure.empty()) {
        std::fprintf(stderr, "save_file: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}

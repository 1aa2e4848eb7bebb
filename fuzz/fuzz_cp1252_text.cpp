// libFuzzer entry point: the cp1252_text round trip (see RoundTrips.h).
#include "RoundTrips.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string failure = qmfuzz::cp1252Text(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!failure.empty()) {
        std::fprintf(stderr, "cp1252_text: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}

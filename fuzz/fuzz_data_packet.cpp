// libFuzzer entry point: the data_packet round trip (see RoundTrips.h).
#include "RoundTrips.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string failure = qmfuzz::dataPacket(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!failure.empty()) {
        std::fprintf(stderr, "data_packet: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}

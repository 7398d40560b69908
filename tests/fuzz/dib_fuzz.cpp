// Device-independent bitmaps and icon images from resources: any bytes must decode or be refused
// without reading past the end or allocating without bound.
#include "platform/sim/gdi/impl.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const unsigned char> bytes(data, size);
    sim::Surface surface;
    std::size_t end = 0;
    sim::gdi::decode_dib(bytes, surface, 1, nullptr, &end);
    sim::gdi::icon_from_resource(bytes, nullptr);
    return 0;
}

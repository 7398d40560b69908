// Surfaces and colour conversion.
#include "platform/sim/gdi/internal.h"

namespace sim {

Surface::Surface(int w, int h, std::uint32_t fill)
    : width(w > 0 ? w : 0), height(h > 0 ? h : 0),
      pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

std::uint32_t pixel_of(COLORREF color) {
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

COLORREF colorref_of(std::uint32_t pixel) {
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

} // namespace sim

// The bitmap font reader over arbitrary bytes taken as a .FON or .FNT file: every glyph of every font it
// accepts is read whole.
#include "platform/sim/gdi/fon.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<sim::gdi::FntFont> fonts;
    if (!sim::gdi::parse_font_file({data, size}, fonts, nullptr)) return 0;
    unsigned ink = 0;
    for (const sim::gdi::FntFont& f : fonts)
        for (int c = 0; c < 256; ++c) {
            const auto& g = f.glyph(static_cast<unsigned char>(c));
            const std::uint8_t* rows = f.rows(g);
            for (int i = 0; i < g.width * f.pix_height; ++i)
                ink += rows[i];
        }
    return ink == 0xFFFFFFFF;
}

// The .res reader and the resource calls over arbitrary bytes taken as the program's resources.
#include "platform/sim/kernel/resfile.h"
#include "platform/sim/win/windows.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!sim::set_program_resources(data, size, nullptr)) return 0;
    char buffer[64];
    for (const sim::ResEntry& e : sim::program_resources().entries()) {
        if (!e.name.is_ordinal) continue;
        const char* type = MAKEINTRESOURCEA(e.type.is_ordinal ? e.type.ordinal : 0);
        HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(e.name.ordinal), type);
        if (found) SizeofResource(nullptr, found);
        if (e.type.is_ordinal && e.type.ordinal == 6 && e.name.ordinal > 0) {
            // Every string of the block, into a buffer that fits and one that cuts.
            const UINT first = (e.name.ordinal - 1u) * 16u;
            for (UINT i = 0; i < 16; ++i) {
                LoadStringA(nullptr, first + i, buffer, sizeof buffer);
                LoadStringA(nullptr, first + i, buffer, 3);
            }
        }
    }
    sim::set_program_resources(nullptr, 0, nullptr);
    return 0;
}

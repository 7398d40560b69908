// The dialog template parser over arbitrary bytes, in both code pages.
#include "platform/sim/user/dialog_template.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sim::DialogTemplate t;
    std::string error;
    sim::parse_dialog_template(data, size, 1252, t, &error);
    sim::parse_dialog_template(data, size, 1251, t, &error);
    return 0;
}

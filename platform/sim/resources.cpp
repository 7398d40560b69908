// Resources of the running program: the compiled .res data that embedres placed in the executable.
#include "platform/sim/sim.h"

namespace sim {
namespace {
struct ResData {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};
ResData& res() {
    static ResData r;
    return r;
}
} // namespace

bool register_resources(const unsigned char* data, std::size_t size) {
    res() = {data, size};
    return true;
}

} // namespace sim

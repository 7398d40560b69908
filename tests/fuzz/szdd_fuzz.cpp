// Expands arbitrary bytes as a compressed file, in memory and in small streamed pieces: both must agree
// and neither may crash, overread or allocate beyond the data. The input is also compressed and
// expanded back.
#include "platform/sim/lz/szdd.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

using Bytes = std::vector<std::uint8_t>;
using sim::szdd::Result;

Result expand_in_pieces(const std::uint8_t* data, std::size_t size, std::size_t step, Bytes& out) {
    std::size_t pos = 0;
    auto source = [&](std::uint8_t* buf, std::size_t want) -> long {
        const std::size_t n = std::min({want, step, size - pos});
        std::memcpy(buf, data + pos, n);
        pos += n;
        return static_cast<long>(n);
    };
    out.clear();
    auto sink = [&](const std::uint8_t* p, std::size_t n) {
        if (out.size() + n > (1u << 24)) return false; // a stream may claim far more than it holds
        out.insert(out.end(), p, p + n);
        return true;
    };
    return sim::szdd::expand_stream(source, sink);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes whole;
    const Result r = sim::szdd::expand({data, size}, whole);
    Bytes pieces;
    const std::size_t step = size > 0 ? 1 + data[size - 1] % 23 : 1;
    const Result s = expand_in_pieces(data, size, step, pieces);
    if (s != Result::WriteError) {
        if (r != s) std::abort();
        if (r == Result::Ok && whole != pieces) std::abort();
    }
    if (size <= (1u << 16)) {
        Bytes back;
        if (sim::szdd::expand(sim::szdd::compress({data, size}), back) != Result::Ok) std::abort();
        if (back.size() != size || (size > 0 && std::memcmp(back.data(), data, size) != 0)) std::abort();
    }
    return 0;
}

#include "platform/sim/lz/szdd.h"

#include <algorithm>
#include <cstring>

namespace sim::szdd {

namespace {

constexpr std::uint8_t kMagic[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
constexpr std::uint8_t kMethodA = 'A';
constexpr std::size_t kWindow = 4096;
constexpr std::size_t kWindowMask = kWindow - 1;
constexpr std::size_t kStartPos = kWindow - 16; // window position of the first expanded byte
constexpr unsigned kMinMatch = 3;
constexpr unsigned kMaxMatch = 18;
constexpr std::size_t kGroupIn = 1 + 8 * 2;      // a flag byte and eight references
constexpr std::size_t kGroupOut = 8 * kMaxMatch; // eight longest references
constexpr std::size_t kSlack = 64;               // room for a token that overruns its stop, and wide copies
constexpr std::uint8_t kBlank = ' ';

// Decoder position: compressed input, expanded output, and the flag bits still to use (above a sentinel
// bit; 1 means a new flag byte is due). The window is the output itself: at least 4096 bytes of history
// lie before OP, and ORIGIN is the address whose window position is 0.
struct Cursor {
    const std::uint8_t* ip;
    const std::uint8_t* iend;
    std::uint8_t* op;
    std::uintptr_t origin;
    unsigned flags;
};

// Copies one reference at OP and returns its length. May write up to 16 bytes past OP whatever the length.
inline unsigned copy_reference(std::uint8_t* op, const std::uint8_t* token, std::uintptr_t origin) {
    const std::size_t pos = token[0] | ((token[1] & 0xF0u) << 4);
    const unsigned len = (token[1] & 0x0Fu) + kMinMatch;
    const std::size_t here = (reinterpret_cast<std::uintptr_t>(op) - origin) & kWindowMask;
    std::size_t distance = (here - pos) & kWindowMask;
    if (distance == 0) distance = kWindow; // the byte about to be overwritten: 4096 bytes back
    const std::uint8_t* src = op - distance;
    if (distance >= 16) {
        std::memcpy(op, src, 16);
        if (len > 16) {
            op[16] = src[16];
            op[17] = src[17];
        }
    } else if (distance == 1) {
        std::memset(op, src[0], len);
    } else {
        for (unsigned k = 0; k < len; ++k)
            op[k] = src[k];
    }
    return len;
}

// Decodes whole tokens until the output reaches STOP or the input holds no further whole token. The last
// token may end up to 17 bytes past STOP; the buffer must have kSlack bytes beyond STOP.
void decode(Cursor& c, std::uint8_t* stop) {
    const std::uint8_t* ip = c.ip;
    const std::uint8_t* const iend = c.iend;
    std::uint8_t* op = c.op;
    const std::uintptr_t origin = c.origin;
    unsigned flags = c.flags;
    for (;;) {
        if (flags == 1) {
            // Whole groups while both sides have room for the largest one: no checks per token.
            while (static_cast<std::size_t>(iend - ip) >= kGroupIn &&
                   stop - op >= static_cast<long>(kGroupOut)) {
                unsigned f = *ip++;
                if (f == 0xFF) {
                    std::memcpy(op, ip, 8);
                    op += 8;
                    ip += 8;
                    continue;
                }
                for (int k = 0; k < 8; ++k, f >>= 1) {
                    if (f & 1) {
                        *op++ = *ip++;
                    } else {
                        op += copy_reference(op, ip, origin);
                        ip += 2;
                    }
                }
            }
            if (op >= stop || ip == iend) break;
            flags = *ip++ | 0x100u;
        }
        if (op >= stop) break;
        if (flags & 1) {
            if (ip == iend) break;
            *op++ = *ip++;
        } else {
            if (iend - ip < 2) break;
            op += copy_reference(op, ip, origin);
            ip += 2;
        }
        flags >>= 1;
    }
    c.ip = ip;
    c.op = op;
    c.flags = flags;
}

std::uintptr_t origin_for_first_byte(const std::uint8_t* first) {
    return reinterpret_cast<std::uintptr_t>(first) - kStartPos;
}

// The most a compressed body of SIZE bytes can expand to: every group a flag byte and eight references.
std::uint64_t expansion_bound(std::size_t size) {
    return (static_cast<std::uint64_t>(size) / kGroupIn + 1) * kGroupOut;
}

} // namespace

const char* describe(Result result) {
    switch (result) {
    case Result::Ok:
        return "ok";
    case Result::NotCompressed:
        return "not a compressed (SZDD) file";
    case Result::UnknownAlgorithm:
        return "unknown compression method";
    case Result::Truncated:
        return "compressed data is truncated or corrupt";
    case Result::ReadError:
        return "read error";
    case Result::WriteError:
        return "write error";
    }
    return "unknown error";
}

Result parse_header(std::span<const std::uint8_t> bytes, Header& out) {
    if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
        return Result::NotCompressed;
    if (bytes[8] != kMethodA) return Result::UnknownAlgorithm;
    out.missing = static_cast<char>(bytes[9]);
    out.length = static_cast<std::uint32_t>(bytes[10]) | static_cast<std::uint32_t>(bytes[11]) << 8 |
                 static_cast<std::uint32_t>(bytes[12]) << 16 | static_cast<std::uint32_t>(bytes[13]) << 24;
    return Result::Ok;
}

void write_header(const Header& header, std::uint8_t (&out)[kHeaderSize]) {
    std::memcpy(out, kMagic, sizeof kMagic);
    out[8] = kMethodA;
    out[9] = static_cast<std::uint8_t>(header.missing);
    for (int k = 0; k < 4; ++k)
        out[10 + k] = static_cast<std::uint8_t>(header.length >> (8 * k));
}

Result expand(std::span<const std::uint8_t> file, std::vector<std::uint8_t>& out) {
    out.clear();
    Header header;
    if (Result r = parse_header(file, header); r != Result::Ok) return r;
    const auto body = file.subspan(kHeaderSize);
    if (header.length > expansion_bound(body.size())) return Result::Truncated;
    const std::size_t length = header.length;
    out.resize(length + kSlack);

    // The first 4096 bytes are decoded behind a history of blanks; from then on the output itself is the
    // history, so the rest is decoded in place.
    std::vector<std::uint8_t> first(kWindow + kWindow + kSlack, kBlank);
    std::uint8_t* const first_out = first.data() + kWindow;
    Cursor c{body.data(), body.data() + body.size(), first_out, origin_for_first_byte(first_out), 1};
    std::uint8_t* const first_stop = first_out + std::min(length, kWindow);
    decode(c, first_stop);
    const std::size_t done = static_cast<std::size_t>(c.op - first_out);
    std::memcpy(out.data(), first_out, std::min(done, length));
    if (done < length) {
        if (c.op < first_stop) {
            out.clear();
            return Result::Truncated;
        }
        c.op = out.data() + done;
        c.origin = origin_for_first_byte(out.data());
        decode(c, out.data() + length);
        if (c.op < out.data() + length) {
            out.clear();
            return Result::Truncated;
        }
    }
    out.resize(length);
    return Result::Ok;
}

// --- Streaming expansion ---

Expander::Expander(std::uint32_t length, std::size_t chunk)
    : length_(length), chunk_(std::max<std::size_t>(chunk, 1)), window_(kWindow + chunk_ + kSlack),
      input_(std::max<std::size_t>(chunk_, 2 * kGroupIn)) {
    restart();
}

void Expander::restart() {
    std::fill(window_.begin(), window_.begin() + kWindow, kBlank);
    op_ = next_ = window_.data() + kWindow;
    origin_ = origin_for_first_byte(op_);
    delivered_ = 0;
    in_pos_ = in_end_ = 0;
    flags_ = 1;
    status_ = Result::Ok;
}

std::size_t Expander::read(const Source& source, std::uint8_t* out, std::size_t size) {
    std::size_t total = 0;
    while (total < size && delivered_ < length_) {
        std::size_t avail =
            std::min<std::size_t>(static_cast<std::size_t>(op_ - next_), length_ - delivered_);
        if (avail == 0) {
            if (status_ != Result::Ok || !decode_more(source)) break;
            continue;
        }
        const std::size_t n = std::min(avail, size - total);
        std::memcpy(out + total, next_, n);
        next_ += n;
        delivered_ += static_cast<std::uint32_t>(n);
        total += n;
    }
    return total;
}

bool Expander::skip(const Source& source, std::uint64_t count) {
    std::uint8_t scratch[4096];
    while (count > 0) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(count, sizeof scratch));
        const std::size_t got = read(source, scratch, want);
        if (got != want) return false;
        count -= got;
    }
    return true;
}

// Decodes at least one more byte into the window; false (with status_ set) when the data or source fails.
bool Expander::decode_more(const Source& source) {
    std::uint8_t* const limit = window_.data() + kWindow + chunk_;
    if (op_ >= limit) slide();
    for (;;) {
        Cursor c{input_.data() + in_pos_, input_.data() + in_end_, op_, origin_, flags_};
        decode(c, limit);
        in_pos_ = static_cast<std::size_t>(c.ip - input_.data());
        flags_ = c.flags;
        const bool progress = c.op != op_;
        op_ = c.op;
        if (progress) return true;
        if (!refill(source)) return false;
    }
}

bool Expander::refill(const Source& source) {
    const std::size_t left = in_end_ - in_pos_;
    std::memmove(input_.data(), input_.data() + in_pos_, left);
    in_pos_ = 0;
    in_end_ = left;
    const long got = source(input_.data() + in_end_, input_.size() - in_end_);
    if (got < 0) {
        status_ = Result::ReadError;
        return false;
    }
    if (got == 0) {
        status_ = Result::Truncated;
        return false;
    }
    in_end_ += std::min(static_cast<std::size_t>(got), input_.size() - in_end_);
    return true;
}

// Moves the last 4096 decoded bytes to the front once everything decoded was handed out.
void Expander::slide() {
    std::uint8_t* const base = window_.data();
    const std::size_t shift = static_cast<std::size_t>(op_ - kWindow - base);
    std::memmove(base, op_ - kWindow, kWindow);
    origin_ -= shift;
    op_ = next_ = base + kWindow;
}

namespace {

// Reads until SIZE bytes or the end; the count read, or -1 on a read error.
long read_fully(const Source& source, std::uint8_t* buffer, std::size_t size) {
    std::size_t total = 0;
    while (total < size) {
        const long got = source(buffer + total, size - total);
        if (got < 0) return -1;
        if (got == 0) break;
        total += static_cast<std::size_t>(got);
    }
    return static_cast<long>(total);
}

} // namespace

Result expand_stream(const Source& source, const Sink& sink, Header* header_out) {
    std::uint8_t head[kHeaderSize];
    const long got = read_fully(source, head, sizeof head);
    if (got < 0) return Result::ReadError;
    Header header;
    if (Result r = parse_header({head, static_cast<std::size_t>(got)}, header); r != Result::Ok) return r;
    if (header_out) *header_out = header;
    Expander expander(header.length);
    std::vector<std::uint8_t> buffer(1 << 16);
    while (!expander.at_end()) {
        const std::size_t n = expander.read(source, buffer.data(), buffer.size());
        if (n > 0 && !sink(buffer.data(), n)) return Result::WriteError;
        if (expander.status() != Result::Ok) return expander.status();
    }
    return Result::Ok;
}

namespace {

std::string_view base_name(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\:");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool same_letters(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

} // namespace

char missing_character(std::string_view original_name, std::string_view compressed_name) {
    const std::string_view original = base_name(original_name);
    const std::string_view compressed = base_name(compressed_name);
    if (original.empty() || original.size() != compressed.size() || compressed.back() != '_') return 0;
    if (!same_letters(original.substr(0, original.size() - 1), compressed.substr(0, compressed.size() - 1)))
        return 0;
    return original.back() == '_' ? 0 : original.back();
}

// --- Compression ---

namespace {

constexpr std::size_t kPrefix = kMaxMatch; // blanks before the data, as the decoder's window starts
constexpr std::size_t kMaxDistance = kWindow - kMaxMatch;
constexpr unsigned kMaxHashBits = 16;
// Candidates tried per position: deeper search gains under half a percent on text and costs time.
constexpr int kMaxChain = 64;
constexpr std::size_t kBlock = 1 << 18;
constexpr std::size_t kPadding = 8; // readable bytes after the data, for wide compares

struct Match {
    std::uint8_t length = 0; // 0: none
    std::uint16_t distance = 0;
};

// Hash chains over the window: HEAD per hash of three bytes, PREV per window slot.
class MatchFinder {
  public:
    explicit MatchFinder(const std::vector<std::uint8_t>& v, std::size_t end)
        : v_(v), end_(end), hash_bits_(hash_bits_for(end)), head_(std::size_t{1} << hash_bits_, -1),
          prev_(kWindow, -1) {}

    void insert(std::size_t i) {
        if (i + kMinMatch > end_) return;
        const std::uint32_t h = hash(i);
        prev_[i & kWindowMask] = head_[h];
        head_[h] = static_cast<std::int64_t>(i);
    }

    // The match at DISTANCE for position I, no longer than MAX_LEN.
    Match at_distance(std::size_t i, std::size_t distance, std::size_t max_len) const {
        const std::size_t len = common_length(i - distance, i, max_len);
        if (len < kMinMatch) return {};
        return {static_cast<std::uint8_t>(len), static_cast<std::uint16_t>(distance)};
    }

    // The longest match for position I, no longer than MAX_LEN.
    Match longest(std::size_t i, std::size_t max_len) const {
        Match best;
        if (max_len < kMinMatch || i + kMinMatch > end_) return best;
        const std::int64_t lowest = static_cast<std::int64_t>(i) - static_cast<std::int64_t>(kMaxDistance);
        std::int64_t cand = head_[hash(i)];
        std::size_t best_len = kMinMatch - 1;
        for (int depth = kMaxChain; cand >= 0 && cand >= lowest && depth > 0; --depth) {
            const std::size_t c = static_cast<std::size_t>(cand);
            if (v_[c + best_len] == v_[i + best_len]) {
                const std::size_t len = common_length(c, i, max_len);
                if (len > best_len) {
                    best_len = len;
                    best.length = static_cast<std::uint8_t>(len);
                    best.distance = static_cast<std::uint16_t>(i - c);
                    if (len == max_len) break;
                }
            }
            cand = prev_[c & kWindowMask];
        }
        return best;
    }

  private:
    std::uint32_t hash(std::size_t i) const {
        const std::uint32_t x = v_[i] | v_[i + 1] << 8 | v_[i + 2] << 16;
        return (x * 2654435761u) >> (32 - hash_bits_);
    }

    // Small inputs get a small table: clearing a large one would cost more than the search.
    static unsigned hash_bits_for(std::size_t size) {
        unsigned bits = 10;
        while (bits < kMaxHashBits && (std::size_t{1} << bits) < size)
            ++bits;
        return bits;
    }

    std::size_t common_length(std::size_t a, std::size_t b, std::size_t max_len) const {
        std::size_t n = 0;
        while (n + 8 <= max_len) {
            std::uint64_t x, y;
            std::memcpy(&x, &v_[a + n], 8);
            std::memcpy(&y, &v_[b + n], 8);
            if (x != y) return n + static_cast<std::size_t>(__builtin_ctzll(x ^ y) / 8);
            n += 8;
        }
        while (n < max_len && v_[a + n] == v_[b + n])
            ++n;
        return n;
    }

    const std::vector<std::uint8_t>& v_;
    std::size_t end_;
    unsigned hash_bits_;
    std::vector<std::int64_t> head_;
    std::vector<std::int64_t> prev_;
};

class TokenWriter {
  public:
    explicit TokenWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    void literal(std::uint8_t b) {
        begin_token(true);
        out_.push_back(b);
    }
    // A reference to the byte at window position POS.
    void reference(std::size_t pos, unsigned len) {
        begin_token(false);
        out_.push_back(static_cast<std::uint8_t>(pos & 0xFF));
        out_.push_back(static_cast<std::uint8_t>(((pos >> 4) & 0xF0) | (len - kMinMatch)));
    }

  private:
    void begin_token(bool literal) {
        if (bit_ == 8) {
            flag_at_ = out_.size();
            out_.push_back(0);
            bit_ = 0;
        }
        if (literal) out_[flag_at_] |= static_cast<std::uint8_t>(1u << bit_);
        ++bit_;
    }

    std::vector<std::uint8_t>& out_;
    std::size_t flag_at_ = 0;
    unsigned bit_ = 8;
};

// Chooses, for positions [BEGIN, END) of V, the cheapest sequence of literals and matches, and writes it.
void encode_block(const std::vector<std::uint8_t>& v, std::size_t begin, std::size_t end, MatchFinder& finder,
                  TokenWriter& writer) {
    const std::size_t n = end - begin;
    std::vector<Match> matches(n);
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t max_len = std::min<std::size_t>(kMaxMatch, n - k);
        // Inside a repeat as long as the format allows, the same distance nearly always continues it:
        // one compare instead of a chain walk.
        Match m;
        if (k > 0 && matches[k - 1].length == kMaxMatch)
            m = finder.at_distance(begin + k, matches[k - 1].distance, max_len);
        if (m.length < max_len) m = finder.longest(begin + k, max_len);
        matches[k] = m;
        finder.insert(begin + k);
    }
    // cost[k]: fewest bits to code positions k..n; step[k]: the length to take at k (1 = literal).
    std::vector<std::uint32_t> cost(n + 1, 0);
    std::vector<std::uint8_t> step(n, 1);
    for (std::size_t k = n; k-- > 0;) {
        std::uint32_t best = cost[k + 1] + 9;
        std::uint8_t take = 1;
        for (unsigned len = kMinMatch; len <= matches[k].length; ++len) {
            const std::uint32_t c = cost[k + len] + 17;
            if (c <= best) {
                best = c;
                take = static_cast<std::uint8_t>(len);
            }
        }
        cost[k] = best;
        step[k] = take;
    }
    for (std::size_t k = 0; k < n;) {
        const std::size_t i = begin + k;
        if (step[k] == 1) {
            writer.literal(v[i]);
        } else {
            const std::size_t source = i - matches[k].distance; // index in V; the prefix maps before byte 0
            writer.reference((source + kStartPos + kWindow - kPrefix) & kWindowMask, step[k]);
        }
        k += step[k];
    }
}

} // namespace

std::vector<std::uint8_t> compress(std::span<const std::uint8_t> data, char missing) {
    std::vector<std::uint8_t> out;
    if (data.size() > 0xFFFFFFFFu) return out; // the header cannot record the length
    out.reserve(kHeaderSize + data.size() + data.size() / 8 + 16);
    std::uint8_t head[kHeaderSize];
    write_header({missing, static_cast<std::uint32_t>(data.size())}, head);
    out.resize(kHeaderSize);
    std::memcpy(out.data(), head, kHeaderSize);

    // The decoder's window starts as blanks, so the data is matched as if blanks came before it.
    std::vector<std::uint8_t> v(kPrefix + data.size() + kPadding, 0);
    std::fill(v.begin(), v.begin() + kPrefix, kBlank);
    if (!data.empty()) std::memcpy(v.data() + kPrefix, data.data(), data.size());
    const std::size_t end = kPrefix + data.size();

    MatchFinder finder(v, end);
    for (std::size_t i = 0; i < kPrefix; ++i)
        finder.insert(i);
    TokenWriter writer(out);
    for (std::size_t begin = kPrefix; begin < end; begin += kBlock)
        encode_block(v, begin, std::min(end, begin + kBlock), finder, writer);
    return out;
}

} // namespace sim::szdd

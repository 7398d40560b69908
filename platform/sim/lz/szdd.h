// SZDD: the single-file LZSS format of the DOS and Windows COMPRESS/EXPAND tools and of the LZ
// expansion library. A 14-byte header (magic, method 'A', the last character of the original name,
// the expanded length) is followed by groups of one flag byte and eight tokens: a literal byte
// (flag bit 1) or a two-byte reference into a 4096-byte window (flag bit 0).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace sim::szdd {

inline constexpr std::size_t kHeaderSize = 14;

struct Header {
    char missing = 0;         // last character of the original name, 0 when not recorded
    std::uint32_t length = 0; // expanded length
};

enum class Result {
    Ok,
    NotCompressed,    // no SZDD magic (or fewer than 14 bytes): a plain file
    UnknownAlgorithm, // SZDD magic with a method other than 'A'
    Truncated,        // the data ends before the expanded length is reached
    ReadError,        // the source failed
    WriteError,       // the sink failed
};
const char* describe(Result result);

Result parse_header(std::span<const std::uint8_t> bytes, Header& out);
void write_header(const Header& header, std::uint8_t (&out)[kHeaderSize]);

// Expands a whole compressed file (header included). The allocation never exceeds what the data can
// produce, whatever length the header claims.
Result expand(std::span<const std::uint8_t> file, std::vector<std::uint8_t>& out);

// Compresses DATA into a whole compressed file (header included). The parse is optimal for the format's
// cost (9 bits a literal, 17 bits a match) over the longest match found at each position. Empty when
// DATA is too large for the format (4 GB or more).
std::vector<std::uint8_t> compress(std::span<const std::uint8_t> data, char missing = 0);

// The character a compressed name stands for, by the naming convention of distribution disks: when
// COMPRESSED_NAME is ORIGINAL_NAME with its last character replaced by "_" (SETUP.EXE as SETUP.EX_), that
// character; otherwise 0. Directories are ignored; letters compare without regard to case.
char missing_character(std::string_view original_name, std::string_view compressed_name);

// A source of compressed bytes: fills up to SIZE bytes and returns how many (0 at the end), or -1 when
// the read fails.
using Source = std::function<long(std::uint8_t* buffer, std::size_t size)>;
// A sink of expanded bytes: false when the write fails.
using Sink = std::function<bool(const std::uint8_t* data, std::size_t size)>;

// Incremental expansion of the data that follows the header, with bounded memory: the caller pulls
// expanded bytes and the expander pulls compressed bytes from its source as it needs them.
class Expander {
  public:
    explicit Expander(std::uint32_t length, std::size_t chunk = 1 << 16);
    Expander(const Expander&) = delete;
    Expander& operator=(const Expander&) = delete;

    // Back to the start of the data; the caller repositions the source to just after the header.
    void restart();
    // Up to SIZE expanded bytes into OUT; fewer only at the end of the data or on failure (status()).
    std::size_t read(const Source& source, std::uint8_t* out, std::size_t size);
    // Skips COUNT expanded bytes; false on failure.
    bool skip(const Source& source, std::uint64_t count);

    Result status() const { return status_; }
    std::uint32_t length() const { return length_; }
    std::uint32_t position() const { return delivered_; }
    bool at_end() const { return delivered_ == length_; }

  private:
    bool decode_more(const Source& source);
    bool refill(const Source& source);
    void slide();

    std::uint32_t length_;
    std::uint32_t delivered_ = 0;
    std::size_t chunk_;
    std::vector<std::uint8_t> window_; // history, then the chunk being decoded, then slack
    std::vector<std::uint8_t> input_;
    std::size_t in_pos_ = 0, in_end_ = 0;
    std::uint8_t* op_ = nullptr;   // where decoding continues
    std::uint8_t* next_ = nullptr; // next decoded byte to hand out
    std::uintptr_t origin_ = 0;    // address whose window position is 0
    unsigned flags_ = 1;           // flag bits still to use, above a sentinel bit
    Result status_ = Result::Ok;
};

// Expands a whole compressed file from SOURCE (header included) to SINK. A plain file gives
// NotCompressed and nothing is written.
Result expand_stream(const Source& source, const Sink& sink, Header* header = nullptr);

} // namespace sim::szdd

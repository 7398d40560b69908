// The .res index and the running program's resources.
#include "platform/sim/kernel/resfile.h"

#include "platform/sim/kernel/codepage.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/sim.h"

#include <cstdio>

namespace sim {
namespace {

constexpr std::size_t kFixedHeaderTail = 16; // DataVersion, MemoryFlags, LanguageId, Version, Characteristics
constexpr std::uint16_t kLangNeutral = 0;
constexpr std::uint16_t kLangEnglishUs = 0x0409;
constexpr std::uint16_t kLangRussian = 0x0419;

std::size_t align4(std::size_t n) {
    return (n + 3) & ~std::size_t{3};
}

// Little-endian reads over a bounded span; every read checks the bounds first.
class Reader {
  public:
    Reader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    bool u16(std::size_t at, std::uint16_t& out) const {
        if (at > size_ || size_ - at < 2) return false;
        out = static_cast<std::uint16_t>(data_[at] | data_[at + 1] << 8);
        return true;
    }
    bool u32(std::size_t at, std::uint32_t& out) const {
        std::uint16_t lo, hi;
        if (!u16(at, lo) || !u16(at + 2, hi)) return false;
        out = lo | static_cast<std::uint32_t>(hi) << 16;
        return true;
    }
    // An ordinal (0xFFFF, WORD) or a NUL-terminated UTF-16 string starting at AT, within LIMIT.
    bool id(std::size_t& at, std::size_t limit, ResId& out) const {
        Reader bounded(data_, std::min(limit, size_));
        std::uint16_t first;
        if (!bounded.u16(at, first)) return false;
        if (first == 0xFFFF) {
            out.is_ordinal = true;
            if (!bounded.u16(at + 2, out.ordinal)) return false;
            at += 4;
            return true;
        }
        out.is_ordinal = false;
        out.name.clear();
        for (std::uint16_t c = first; c != 0;) {
            out.name += static_cast<char16_t>(c);
            at += 2;
            if (!bounded.u16(at, c)) return false;
        }
        at += 2;
        return true;
    }

  private:
    const unsigned char* data_;
    std::size_t size_;
};

char16_t fold(char16_t c, unsigned codepage) {
    unsigned char b;
    if (!unicode_to_ansi(c, codepage, b)) return c;
    return ansi_to_unicode(ansi_upper(b, codepage), codepage);
}

bool equal_names(const std::u16string& a, const std::u16string& b, unsigned codepage) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (fold(a[i], codepage) != fold(b[i], codepage)) return false;
    return true;
}

// "#123": the decimal ordinal 123 (at most 0xFFFF).
std::optional<std::uint16_t> number_after_hash(const char* s) {
    if (s[1] == '\0') return std::nullopt;
    unsigned long value = 0;
    for (const char* p = s + 1; *p; ++p) {
        if (*p < '0' || *p > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned long>(*p - '0');
        if (value > 0xFFFF) return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

bool fail(std::string* error, const std::string& reason) {
    if (error) *error = reason;
    return false;
}

struct Registered {
    std::span<const unsigned char> image;
    ResFile index;
    std::string error;
};

Registered& registered() {
    static Registered r;
    return r;
}

std::uint16_t codepage_language(unsigned codepage) {
    return codepage == 1251 ? kLangRussian : kLangEnglishUs;
}

} // namespace

std::optional<ResId> res_id_from_api(const char* s, unsigned codepage) {
    auto value = reinterpret_cast<std::uintptr_t>(s);
    if (value >> 16 == 0) return ResId::of(static_cast<std::uint16_t>(value));
    if (*s == '\0') return std::nullopt;
    if (*s == '#') {
        auto ordinal = number_after_hash(s);
        if (!ordinal) return std::nullopt;
        return ResId::of(*ordinal);
    }
    return ResId{false, 0, ansi_to_utf16(s, codepage)};
}

bool res_id_matches(const ResId& stored, const ResId& wanted, unsigned codepage) {
    if (stored.is_ordinal != wanted.is_ordinal) return false;
    if (stored.is_ordinal) return stored.ordinal == wanted.ordinal;
    return equal_names(stored.name, wanted.name, codepage);
}

bool ResFile::parse(const unsigned char* data, std::size_t size, std::string* error) {
    entries_.clear();
    if (!data) size = 0;
    Reader in(data, size);
    std::size_t at = 0;
    bool first = true;
    while (at < size) {
        std::uint32_t data_size, header_size;
        if (!in.u32(at, data_size) || !in.u32(at + 4, header_size))
            return entries_.clear(), fail(error, "truncated resource header at offset " + std::to_string(at));
        if (header_size < 8 + 4 + 4 + kFixedHeaderTail || header_size > size - at)
            return entries_.clear(), fail(error, "bad header size at offset " + std::to_string(at));
        std::size_t header_end = at + header_size;
        ResEntry e;
        std::size_t p = at + 8;
        if (!in.id(p, header_end, e.type) || !in.id(p, header_end, e.name))
            return entries_.clear(), fail(error, "bad resource type or name at offset " + std::to_string(at));
        p = align4(p);
        std::uint32_t flags_lang;
        if (p + kFixedHeaderTail > header_end || !in.u32(p, e.data_version) || !in.u32(p + 4, flags_lang) ||
            !in.u32(p + 8, e.version) || !in.u32(p + 12, e.characteristics))
            return entries_.clear(), fail(error, "truncated resource header at offset " + std::to_string(at));
        e.memory_flags = static_cast<std::uint16_t>(flags_lang & 0xFFFF);
        e.language = static_cast<std::uint16_t>(flags_lang >> 16);
        if (data_size > size - header_end)
            return entries_.clear(),
                   fail(error, "resource data past the end at offset " + std::to_string(at));
        e.data = std::span<const unsigned char>(data + header_end, data_size);
        if (first) {
            // The empty entry that opens every 32-bit .res file.
            if (data_size != 0 || !e.type.is_ordinal || e.type.ordinal != 0)
                return entries_.clear(), fail(error, "not a 32-bit resource file");
            first = false;
        } else if (!(e.type.is_ordinal && e.type.ordinal == 0)) {
            entries_.push_back(std::move(e));
        }
        at = header_end + data_size;
        at = size - at < 3 ? size : align4(at); // the last entry may lack its padding
    }
    if (first) return fail(error, "empty resource file");
    return true;
}

const ResEntry* ResFile::find_exact(const ResId& type, const ResId& name, std::uint16_t language,
                                    unsigned codepage) const {
    for (const ResEntry& e : entries_)
        if (e.language == language && res_id_matches(e.type, type, codepage) &&
            res_id_matches(e.name, name, codepage))
            return &e;
    return nullptr;
}

const ResEntry* ResFile::find(const ResId& type, const ResId& name, std::uint16_t language,
                              unsigned codepage) const {
    const std::uint16_t primary = language & 0x3FF;
    for (std::uint16_t lang : {language, primary, kLangNeutral})
        if (const ResEntry* e = find_exact(type, name, lang, codepage)) return e;
    return nullptr;
}

const ResEntry* ResFile::find_default(const ResId& type, const ResId& name, unsigned codepage) const {
    for (std::uint16_t lang : {kLangNeutral, codepage_language(codepage), kLangEnglishUs})
        if (const ResEntry* e = find(type, name, lang, codepage)) return e;
    for (const ResEntry& e : entries_)
        if (res_id_matches(e.type, type, codepage) && res_id_matches(e.name, name, codepage)) return &e;
    return nullptr;
}

bool set_program_resources(const unsigned char* data, std::size_t size, std::string* error) {
    Registered& r = registered();
    r.error.clear();
    r.image = data ? std::span<const unsigned char>(data, size) : std::span<const unsigned char>();
    if (r.index.parse(data, size, &r.error)) return true;
    if (error) *error = r.error;
    return false;
}

bool register_resources(const unsigned char* data, std::size_t size) {
    std::string error;
    if (set_program_resources(data, size, &error)) return true;
    std::fprintf(stderr, "win95sim: the program's resources are unreadable: %s\n", error.c_str());
    return false;
}

const ResFile& program_resources() {
    return registered().index;
}
std::span<const unsigned char> program_resource_image() {
    return registered().image;
}
const std::string& registration_error() {
    return registered().error;
}

unsigned resource_codepage() {
    return is_attached() ? machine().settings.codepage : 1252;
}

const ResEntry* find_program_resource(const char* type, const char* name) {
    const unsigned cp = resource_codepage();
    auto t = res_id_from_api(type, cp);
    auto n = res_id_from_api(name, cp);
    if (!t || !n) return nullptr;
    return program_resources().find_default(*t, *n, cp);
}

std::optional<std::span<const unsigned char>> find_resource_bytes(const char* type, const char* name) {
    const ResEntry* e = find_program_resource(type, name);
    if (!e) return std::nullopt;
    return e->data;
}

} // namespace sim

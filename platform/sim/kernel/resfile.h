// Compiled resources (.res, the 32-bit format that windres writes): an index over the bytes, and the
// running program's own resources, which the Win32 resource calls, the bitmap and icon loaders and the
// dialog manager look up.
//
// A .res file is a sequence of entries, each a header followed by its data, both DWORD aligned:
//   DWORD DataSize, DWORD HeaderSize, TYPE, NAME, (pad to DWORD), DWORD DataVersion, WORD MemoryFlags,
//   WORD LanguageId, DWORD Version, DWORD Characteristics, then DataSize bytes of data at HeaderSize.
// TYPE and NAME are either 0xFFFF followed by a WORD ordinal, or a NUL-terminated UTF-16 string. The
// file begins with an empty entry (all zero, type and name ordinal 0) that marks the 32-bit format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sim {

// A resource type or name as stored: an ordinal or a UTF-16 string.
struct ResId {
    bool is_ordinal = true;
    std::uint16_t ordinal = 0;
    std::u16string name;

    static ResId of(std::uint16_t ordinal) { return ResId{true, ordinal, {}}; }
};

struct ResEntry {
    ResId type;
    ResId name;
    std::uint16_t language = 0;
    std::uint16_t memory_flags = 0;
    std::uint32_t data_version = 0;
    std::uint32_t version = 0;
    std::uint32_t characteristics = 0;
    std::span<const unsigned char> data; // points into the bytes the index was built over
};

// A resource type or name as the Win32 calls take it (LPCSTR): a MAKEINTRESOURCE ordinal, "#123" for the
// ordinal 123, or a name matched without regard to case in CODEPAGE. Nullopt for a string that can
// never match (an empty name, "#" with a bad number).
std::optional<ResId> res_id_from_api(const char* type_or_name, unsigned codepage);
bool res_id_matches(const ResId& stored, const ResId& wanted, unsigned codepage);

// An index over the entries of one .res image. The bytes must outlive the index.
class ResFile {
  public:
    // False, with the reason, for malformed data; the index is then empty. Never reads past SIZE.
    bool parse(const unsigned char* data, std::size_t size, std::string* error);

    const std::vector<ResEntry>& entries() const { return entries_; }

    // The entry of TYPE and NAME in LANGUAGE, falling back as Windows does: the language itself, its
    // primary language with the neutral sublanguage, then the neutral language.
    const ResEntry* find(const ResId& type, const ResId& name, std::uint16_t language,
                         unsigned codepage) const;
    // The entry that FindResource picks when no language is asked for: neutral first, then the
    // language of the machine's code page, then US English, then the first one of that type and name.
    const ResEntry* find_default(const ResId& type, const ResId& name, unsigned codepage) const;

  private:
    const ResEntry* find_exact(const ResId& type, const ResId& name, std::uint16_t language,
                               unsigned codepage) const;
    std::vector<ResEntry> entries_;
};

// The running program's resources, registered by the code that embedres generates (see sim.h). Empty
// when none were registered or the registered data was malformed (registration_error() says why).
const ResFile& program_resources();
// The registered bytes themselves (empty when none).
std::span<const unsigned char> program_resource_image();
const std::string& registration_error();
// Replaces the running program's resources (register_resources without the complaint on stderr; for
// tests and fuzzing).
bool set_program_resources(const unsigned char* data, std::size_t size, std::string* error);

// The code page resource texts are converted to: the attached machine's, or 1252 when none is attached.
unsigned resource_codepage();

// Looks up TYPE and NAME (as the Win32 calls take them, RT_BITMAP, MAKEINTRESOURCE(id), "NAME") in the
// running program's resources, in the default language. The bitmap, icon and dialog loaders use these.
const ResEntry* find_program_resource(const char* type, const char* name);
std::optional<std::span<const unsigned char>> find_resource_bytes(const char* type, const char* name);

} // namespace sim

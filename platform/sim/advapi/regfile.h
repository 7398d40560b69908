// The registry of a simulated machine in memory, and its file: REGEDIT4 text as regedit exports and
// imports it. Names compare without regard to case in the machine's ANSI code page; a name keeps the
// case it was first written with; values and subkeys keep the order they were added in.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct RegValue {
    std::string name; // "" is the key's default value
    std::uint32_t type = 0;
    std::string data; // raw bytes
};

struct RegKey {
    std::string name;
    std::vector<RegValue> values;
    std::vector<std::unique_ptr<RegKey>> subkeys;
};

// The predefined roots in the order of their handle values (0x80000000 upwards); Windows 95 has no
// performance data root, so its slot stays empty.
constexpr std::array<const char*, 7> kRegRootNames = {
    "HKEY_CLASSES_ROOT",   "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS", "",
    "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};

struct RegHive {
    explicit RegHive(unsigned cp = 1252);
    unsigned codepage;
    std::array<unsigned char, 256> upper_table; // the code page's upper case of each byte
    std::array<RegKey, kRegRootNames.size()> roots;

    RegKey* find_key(std::size_t root, const std::vector<std::string>& path);
    // Finds or adds each component of PATH; CREATED tells whether any was added.
    RegKey& make_key(std::size_t root, const std::vector<std::string>& path, bool* created = nullptr);
    // Removes the key with everything below it; false when it does not exist.
    bool remove_key(std::size_t root, const std::vector<std::string>& path);

    RegKey* find_subkey(RegKey& key, std::string_view name) const;
    RegValue* find_value(RegKey& key, std::string_view name) const;
    // Replaces the data of an existing value in place, or appends a new one.
    void set_value(RegKey& key, std::string_view name, std::uint32_t type, std::string data) const;
    bool remove_value(RegKey& key, std::string_view name) const;
    bool same_name(std::string_view a, std::string_view b) const;
    std::string upper(std::string_view s) const;
};

// Index of a root name in kRegRootNames, or -1.
int reg_root_index(std::string_view name);
// Splits "A\B\C" into its components; false when a component is empty (a trailing backslash is allowed).
bool split_key_path(std::string_view path, std::vector<std::string>& out);

struct RegFileError {
    int line = 0;
    std::string message;
};

// Reads REGEDIT4 text into HIVE (adding to what it holds). Lines that cannot be read are skipped and
// reported in ERRORS; everything else is used.
void parse_regedit(std::string_view text, RegHive& hive, std::vector<RegFileError>& errors);
// The whole hive as REGEDIT4 text with CR LF line ends.
std::string format_regedit(const RegHive& hive);

} // namespace sim

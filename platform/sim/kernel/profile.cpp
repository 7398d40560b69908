// The profile functions over the parsed files of profile_cache: values, integers, key and section lists
// with the truncation rules of Windows 95, and writes that replace the file as a whole.
#include "platform/sim/win/profile.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/kernel/profile_cache.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

using sim::IniDocument;

// A bare name lives in the Windows directory; anything with a path separator or drive is resolved like
// any other path.
std::string profile_path(LPCSTR file) {
    if (!file || !*file) return "";
    std::string name(file);
    if (name.find_first_of("\\/:") == std::string::npos)
        return sim::full_path(sim::windows_dir() + "\\" + name);
    return sim::full_path(name);
}

std::shared_ptr<const IniDocument> open_profile(LPCSTR file) {
    return sim::load_profile(profile_path(file));
}

// The default text loses its trailing blanks.
std::string_view default_text(LPCSTR def) {
    std::string_view d = def ? def : "";
    while (!d.empty() && (d.back() == ' ' || d.back() == '\t'))
        d.remove_suffix(1);
    return d;
}

// A value in matching single or double quotes is given without them.
std::string_view unquoted(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

DWORD copy_text(std::string_view text, LPSTR buf, DWORD size) {
    if (!buf || size == 0) return 0;
    std::size_t n = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(buf, text.data(), n);
    buf[n] = '\0';
    return static_cast<DWORD>(n);
}

// A list of names, each followed by a NUL and the whole by a second NUL. When it does not fit (an exact
// fit counts as not fitting, as on Windows), the buffer gets the list's first size-2 bytes and two NULs,
// and the result is size-2.
template <typename Names>
DWORD copy_list(const Names& names, LPSTR buf, DWORD size) {
    if (!buf || size == 0) return 0;
    std::size_t total = 0;
    for (const auto& n : names)
        total += n.size() + 1;
    if (size < 2) {
        buf[0] = '\0';
        return 0;
    }
    bool fits = total + 1 < size;
    std::size_t room = fits ? total : size - 2;
    std::size_t at = 0;
    for (const auto& n : names) {
        if (at >= room) break;
        std::size_t take = std::min(n.size(), room - at);
        std::memcpy(buf + at, n.data(), take);
        at += take;
        if (at < room) buf[at++] = '\0';
    }
    buf[at] = '\0';
    if (!fits) buf[at + 1] = '\0';
    return static_cast<DWORD>(at);
}

DWORD key_list_or_default(const IniDocument* doc, LPCSTR section, std::string_view def, LPSTR buf,
                          DWORD size) {
    std::vector<std::string_view> names;
    if (doc && doc->key_names(section, names) && !names.empty()) return copy_list(names, buf, size);
    return copy_text(def, buf, size);
}

// The value as GetPrivateProfileInt reads it: an optional minus and the decimal digits at the start,
// wrapping at 32 bits; anything else (a plus sign, "0x") ends the number.
UINT leading_decimal(std::string_view v) {
    bool negative = !v.empty() && v[0] == '-';
    if (negative) v.remove_prefix(1);
    UINT n = 0;
    for (char c : v) {
        if (c < '0' || c > '9') break;
        n = n * 10u + static_cast<UINT>(c - '0');
    }
    return negative ? 0u - n : n;
}

bool store(LPCSTR file, const std::string& text) {
    return sim::store_profile(profile_path(file), text);
}

// The section lines of WritePrivateProfileSection's argument: strings up to an empty one.
std::vector<std::string> lines_of(LPCSTR list) {
    std::vector<std::string> out;
    for (const char* p = list; *p; p += std::strlen(p) + 1)
        out.emplace_back(p);
    return out;
}

} // namespace

DWORD WINAPI GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR buf, DWORD size,
                                      LPCSTR file) {
    if (!buf || size == 0) return 0;
    std::string_view fallback = default_text(def);
    auto doc = open_profile(file);
    if (!section) {
        if (!doc) return copy_text(fallback, buf, size);
        return copy_list(doc->section_names(), buf, size);
    }
    if (!key) return key_list_or_default(doc.get(), section, fallback, buf, size);
    const std::string_view* value = doc ? doc->value(section, key) : nullptr;
    return copy_text(value ? unquoted(*value) : fallback, buf, size);
}

UINT WINAPI GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT def, LPCSTR file) {
    // Windows 95 answers 0 to a missing section or key name, whatever the default.
    if (!section || !key) return 0;
    auto doc = open_profile(file);
    const std::string_view* value = doc ? doc->value(section, key) : nullptr;
    if (!value) return static_cast<UINT>(def);
    return leading_decimal(unquoted(*value));
}

BOOL WINAPI WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
    if (!section) return FALSE; // (NULL, NULL, NULL) asks for a cache flush, reported as FALSE
    auto doc = open_profile(file);
    if (!key || !value) {
        if (!doc) return TRUE; // nothing to delete
        std::string text = key ? doc->without_key(section, key) : doc->without_section(section);
        return text == doc->text() || store(file, text);
    }
    if (IniDocument::trim(key).empty() || IniDocument::trim(section).empty()) return FALSE;
    if (doc) return store(file, doc->with_value(section, key, value));
    IniDocument empty("", sim::machine().settings.codepage);
    return store(file, empty.with_value(section, key, value));
}

DWORD WINAPI GetPrivateProfileSectionA(LPCSTR section, LPSTR buf, DWORD size, LPCSTR file) {
    if (!buf || size == 0 || !section) return 0;
    auto doc = open_profile(file);
    std::vector<std::string> lines;
    if (!doc || !doc->section_lines(section, lines)) {
        buf[0] = '\0';
        if (size > 1) buf[1] = '\0';
        return 0;
    }
    return copy_list(lines, buf, size);
}

BOOL WINAPI WritePrivateProfileSectionA(LPCSTR section, LPCSTR lines, LPCSTR file) {
    if (!section || IniDocument::trim(section).empty()) return FALSE;
    auto doc = open_profile(file);
    if (!lines) {
        if (!doc) return TRUE;
        std::string text = doc->without_section(section);
        return text == doc->text() || store(file, text);
    }
    if (doc) return store(file, doc->with_section_lines(section, lines_of(lines)));
    IniDocument empty("", sim::machine().settings.codepage);
    return store(file, empty.with_section_lines(section, lines_of(lines)));
}

DWORD WINAPI GetPrivateProfileSectionNamesA(LPSTR buf, DWORD size, LPCSTR file) {
    if (!buf || size == 0) return 0;
    auto doc = open_profile(file);
    if (!doc) {
        buf[0] = '\0';
        return 0;
    }
    return copy_list(doc->section_names(), buf, size);
}

static const char kWinIni[] = "WIN.INI";

DWORD WINAPI GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR buf, DWORD size) {
    return GetPrivateProfileStringA(section, key, def, buf, size, kWinIni);
}
UINT WINAPI GetProfileIntA(LPCSTR section, LPCSTR key, INT def) {
    return GetPrivateProfileIntA(section, key, def, kWinIni);
}
BOOL WINAPI WriteProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value) {
    return WritePrivateProfileStringA(section, key, value, kWinIni);
}
DWORD WINAPI GetProfileSectionA(LPCSTR section, LPSTR buf, DWORD size) {
    return GetPrivateProfileSectionA(section, buf, size, kWinIni);
}
BOOL WINAPI WriteProfileSectionA(LPCSTR section, LPCSTR lines) {
    return WritePrivateProfileSectionA(section, lines, kWinIni);
}

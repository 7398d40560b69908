// The lstr* family, character classes and case, and code page conversion, all by the machine's ANSI code
// page (1251 or 1252). The Char* and IsChar* calls are USER32's; they live here beside the character
// classes they share with lstrcmp.
//
// Comparison follows the user locale's word sort far enough for sorting and matching names: symbols
// before digits before letters, letters by alphabet without regard to accents and case first
// (Cyrillic Ё right after Е), then accents, then (lstrcmpA only) lower case before upper case; a hyphen
// or apostrophe counts only when everything else is equal. Expansions (Æ, ß) are not made.
#include "platform/sim/win/strings.h"
#include "platform/sim/kernel/codepage.h"
#include "platform/sim/machine/machine.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

unsigned acp() {
    return sim::machine().settings.codepage;
}

char16_t wide(char c) {
    return sim::ansi_to_unicode(static_cast<unsigned char>(c), acp());
}

bool is_alpha_u(char16_t u) {
    if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z')) return true;
    if (u == 0xAA || u == 0xB5 || u == 0xBA) return true;
    if (u >= 0xC0 && u <= 0xFF) return u != 0xD7 && u != 0xF7;
    return (u >= 0x0100 && u <= 0x024F) || (u >= 0x0400 && u <= 0x04FF);
}

// The letter without its accent, for the Latin letters of 1252; other characters stand for themselves.
char16_t base_letter(char16_t upper) {
    static const char kLatin1[] = "AAAAAAACEEEEIIIIDNOOOOO*OUUUUYTS";
    if (upper >= 0xC0 && upper <= 0xDF && upper != 0xD7) return static_cast<char16_t>(kLatin1[upper - 0xC0]);
    switch (upper) {
    case 0x0160:
        return 'S';
    case 0x017D:
        return 'Z';
    case 0x0152:
        return 'O';
    case 0x0178:
        return 'Y';
    case 0x0192:
        return 'F';
    default:
        return upper;
    }
}

struct Weight {
    unsigned primary, accent, upper_case;
};

bool ignorable(char c) {
    return c == '-' || c == '\'';
}

Weight weight_of(char c) {
    unsigned cp = acp();
    auto byte = static_cast<unsigned char>(c);
    char16_t u = wide(c);
    char16_t up = sim::ansi_to_unicode(sim::ansi_upper(byte, cp), cp);
    if (u >= '0' && u <= '9') return {0x20000u + u, 0, 0};
    if (!is_alpha_u(u)) return {0x10000u + u, 0, 0};
    bool is_upper = u == up && sim::ansi_lower(byte, cp) != byte;
    if (up == 0x0401) return {0x30000u + 2u * 0x0415 + 1, 0, is_upper}; // Ё sorts right after Е
    char16_t base = base_letter(up);
    return {0x30000u + 2u * base, base == up ? 0u : up, is_upper};
}

std::vector<Weight> weights(const char* s) {
    std::vector<Weight> out;
    for (; *s; ++s)
        if (!ignorable(*s)) out.push_back(weight_of(*s));
    return out;
}

int sign(long long d) {
    return d < 0 ? -1 : d > 0 ? 1 : 0;
}

template <typename Field>
int compare_level(const std::vector<Weight>& a, const std::vector<Weight>& b, Field f) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i)
        if (f(a[i]) != f(b[i])) return sign(static_cast<long long>(f(a[i])) - f(b[i]));
    return sign(static_cast<long long>(a.size()) - static_cast<long long>(b.size()));
}

// Hyphens and apostrophes decide last: fewer of them first, then the earlier one later.
int compare_ignorables(LPCSTR a, LPCSTR b) {
    std::vector<std::pair<long, char>> ia, ib;
    for (long i = 0; a[i]; ++i)
        if (ignorable(a[i])) ia.emplace_back(-i, a[i]);
    for (long i = 0; b[i]; ++i)
        if (ignorable(b[i])) ib.emplace_back(-i, b[i]);
    if (ia.size() != ib.size()) return ia.size() < ib.size() ? -1 : 1;
    return ia == ib ? 0 : ia < ib ? -1 : 1;
}

int compare(LPCSTR a, LPCSTR b, bool with_case) {
    if (!a || !b) return a ? 1 : b ? -1 : 0;
    auto wa = weights(a), wb = weights(b);
    if (int r = compare_level(wa, wb, [](const Weight& w) { return w.primary; })) return r;
    if (int r = compare_level(wa, wb, [](const Weight& w) { return w.accent; })) return r;
    if (with_case)
        if (int r = compare_level(wa, wb, [](const Weight& w) { return w.upper_case; })) return r;
    return compare_ignorables(a, b);
}

} // namespace

int WINAPI lstrlenA(LPCSTR s) {
    return s ? static_cast<int>(std::strlen(s)) : 0;
}

LPSTR WINAPI lstrcpyA(LPSTR dst, LPCSTR src) {
    if (!dst || !src) return nullptr;
    return std::strcpy(dst, src);
}

LPSTR WINAPI lstrcpynA(LPSTR dst, LPCSTR src, int n) {
    if (!dst || n <= 0) return dst;
    if (!src) src = "";
    int i = 0;
    for (; i < n - 1 && src[i]; ++i)
        dst[i] = src[i];
    dst[i] = '\0';
    return dst;
}

LPSTR WINAPI lstrcatA(LPSTR dst, LPCSTR src) {
    if (!dst || !src) return nullptr;
    return std::strcat(dst, src);
}

int WINAPI lstrcmpA(LPCSTR a, LPCSTR b) {
    return compare(a, b, true);
}
int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b) {
    return compare(a, b, false);
}

namespace {

bool is_single_char(LPCSTR p) {
    return (reinterpret_cast<UINT_PTR>(p) >> 16) == 0;
}

template <typename Map>
LPSTR map_string(LPSTR s, Map map) {
    unsigned cp = acp();
    if (is_single_char(s)) {
        auto c = static_cast<unsigned char>(reinterpret_cast<UINT_PTR>(s) & 0xFF);
        return reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(map(c, cp)));
    }
    for (char* p = s; *p; ++p)
        *p = static_cast<char>(map(static_cast<unsigned char>(*p), cp));
    return s;
}

template <typename Map>
DWORD map_buffer(LPSTR s, DWORD n, Map map) {
    if (!s) return 0;
    unsigned cp = acp();
    for (DWORD i = 0; i < n; ++i)
        s[i] = static_cast<char>(map(static_cast<unsigned char>(s[i]), cp));
    return n;
}

} // namespace

LPSTR WINAPI CharUpperA(LPSTR s) {
    return map_string(s, sim::ansi_upper);
}
LPSTR WINAPI CharLowerA(LPSTR s) {
    return map_string(s, sim::ansi_lower);
}
DWORD WINAPI CharUpperBuffA(LPSTR s, DWORD n) {
    return map_buffer(s, n, sim::ansi_upper);
}
DWORD WINAPI CharLowerBuffA(LPSTR s, DWORD n) {
    return map_buffer(s, n, sim::ansi_lower);
}

LPSTR WINAPI CharNextA(LPCSTR s) {
    return const_cast<LPSTR>(s && *s ? s + 1 : s);
}
LPSTR WINAPI CharPrevA(LPCSTR start, LPCSTR cur) {
    return const_cast<LPSTR>(cur > start ? cur - 1 : start);
}

BOOL WINAPI IsCharAlphaA(CHAR c) {
    return is_alpha_u(wide(c));
}
BOOL WINAPI IsCharAlphaNumericA(CHAR c) {
    return IsCharAlphaA(c) || (c >= '0' && c <= '9');
}
BOOL WINAPI IsCharUpperA(CHAR c) {
    return is_alpha_u(wide(c)) &&
           sim::ansi_lower(static_cast<unsigned char>(c), acp()) != static_cast<unsigned char>(c);
}
BOOL WINAPI IsCharLowerA(CHAR c) {
    return is_alpha_u(wide(c)) &&
           sim::ansi_upper(static_cast<unsigned char>(c), acp()) != static_cast<unsigned char>(c);
}

namespace {

// The code pages the machine converts: its own ANSI page and the two it knows; 0 for any other.
unsigned ansi_page(UINT cp) {
    if (cp == CP_ACP || cp == CP_THREAD_ACP) return acp();
    return cp == 1251 || cp == 1252 ? cp : 0;
}

} // namespace

int WINAPI MultiByteToWideChar(UINT cp, DWORD, LPCSTR src, int len, LPWSTR dst, int size) {
    unsigned page = ansi_page(cp);
    if (!page || !src || len == 0 || size < 0 || (size > 0 && !dst)) return 0;
    int n = len < 0 ? static_cast<int>(std::strlen(src)) + 1 : len;
    if (size == 0) return n;
    if (size < n) return 0;
    for (int i = 0; i < n; ++i)
        dst[i] = static_cast<WCHAR>(sim::ansi_to_unicode(static_cast<unsigned char>(src[i]), page));
    return n;
}

int WINAPI WideCharToMultiByte(UINT cp, DWORD, LPCWSTR src, int len, LPSTR dst, int size, LPCSTR def_char,
                               LPBOOL used_def) {
    unsigned page = ansi_page(cp);
    if (used_def) *used_def = FALSE;
    if (!page || !src || len == 0 || size < 0 || (size > 0 && !dst)) return 0;
    int n = len;
    if (len < 0) {
        n = 0;
        while (src[n])
            ++n;
        ++n;
    }
    if (size != 0 && size < n) return 0;
    char fallback = def_char ? def_char[0] : '?';
    for (int i = 0; i < n; ++i) {
        unsigned char c = 0;
        bool ok = static_cast<unsigned long>(src[i]) <= 0xFFFF &&
                  sim::unicode_to_ansi(static_cast<char16_t>(src[i]), page, c);
        if (!ok && used_def) *used_def = TRUE;
        if (size != 0) dst[i] = ok ? static_cast<char>(c) : fallback;
    }
    return n;
}

UINT WINAPI GetACP(void) {
    return acp();
}

// The DOS code page that goes with the ANSI one: 866 beside 1251, the US 437 beside 1252.
UINT WINAPI GetOEMCP(void) {
    return acp() == 1251 ? 866 : 437;
}

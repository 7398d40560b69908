// Bounded text into fixed buffers: a text longer than the buffer is cut, never overflowed, and the
// buffer always ends with a NUL. A path is never cut: JoinPath fails instead, since a cut path names
// another file. Shared by both programs (header only: the loader links nothing of tnsetup).
#pragma once

#include <cstddef>
#include <cstring>
#include <initializer_list>

// Copies SRC into DST of CAP bytes. True when the whole text fitted.
inline bool CopyTextN(char* dst, std::size_t cap, const char* src) {
    if (cap == 0) return false;
    std::size_t len = src ? std::strlen(src) : 0;
    std::size_t n = len < cap ? len : cap - 1;
    if (n) std::memmove(dst, src, n);
    dst[n] = '\0';
    return n == len;
}

// Appends SRC to the text in DST of CAP bytes. True when the whole text fitted.
inline bool AppendTextN(char* dst, std::size_t cap, const char* src) {
    if (cap == 0) return false;
    std::size_t used = strnlen(dst, cap - 1);
    return CopyTextN(dst + used, cap - used, src);
}

template <std::size_t N>
bool CopyText(char (&dst)[N], const char* src) {
    return CopyTextN(dst, N, src);
}

template <std::size_t N>
bool AppendText(char (&dst)[N], const char* src) {
    return AppendTextN(dst, N, src);
}

// Appends a backslash unless the text already ends in one.
inline bool AddBackslashN(char* dst, std::size_t cap) {
    std::size_t len = strnlen(dst, cap);
    if (len > 0 && dst[len - 1] == '\\') return true;
    return AppendTextN(dst, cap, "\\");
}

template <std::size_t N>
bool AddBackslash(char (&dst)[N]) {
    return AddBackslashN(dst, N);
}

// Joins PARTS into DST of CAP bytes, whole or not at all: when the joined text does not fit, DST is left
// empty and the result is false, so that a cut path can never be used in place of the one meant. DST may
// be the first part (a path grown in place); no other part may overlap it.
inline bool JoinPathN(char* dst, std::size_t cap, std::initializer_list<const char*> parts) {
    std::size_t total = 0;
    for (const char* part : parts)
        total += part ? std::strlen(part) : 0;
    if (total >= cap) {
        if (cap) dst[0] = '\0';
        return false;
    }
    std::size_t at = 0;
    for (const char* part : parts) {
        std::size_t len = part ? std::strlen(part) : 0;
        if (part != dst + at && len) std::memmove(dst + at, part, len);
        at += len;
    }
    dst[at] = '\0';
    return true;
}

template <std::size_t N, typename... Parts>
bool JoinPath(char (&dst)[N], const Parts&... parts) {
    return JoinPathN(dst, N, {static_cast<const char*>(parts)...});
}

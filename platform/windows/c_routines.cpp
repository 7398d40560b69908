// The C library routines the Windows programs use, written here because the programs are linked without a
// C runtime. The compiler also calls memcpy, memmove, memset and memcmp on its own (structure copies,
// zero-filled arrays), so those four are always needed. Each routine is in its own section and the link
// keeps only those that are called.
//
// To add one: write it below, small and plainly correct, with the standard name and signature, and add
// a case for it to tests/unit/c_routines_test.cpp. The test compiles this file on Linux under other names.
#include <stddef.h>

#ifndef C_ROUTINE
#define C_ROUTINE(name) name
#endif

extern "C" {

void* C_ROUTINE(memcpy)(void* dst, const void* src, size_t n) {
    unsigned char* d = static_cast<unsigned char*>(dst);
    const unsigned char* s = static_cast<const unsigned char*>(src);
    while (n--)
        *d++ = *s++;
    return dst;
}

void* C_ROUTINE(memmove)(void* dst, const void* src, size_t n) {
    unsigned char* d = static_cast<unsigned char*>(dst);
    const unsigned char* s = static_cast<const unsigned char*>(src);
    if (d < s) {
        while (n--)
            *d++ = *s++;
    } else if (d > s) {
        while (n--)
            d[n] = s[n];
    }
    return dst;
}

void* C_ROUTINE(memset)(void* dst, int c, size_t n) {
    unsigned char* d = static_cast<unsigned char*>(dst);
    while (n--)
        *d++ = static_cast<unsigned char>(c);
    return dst;
}

int C_ROUTINE(memcmp)(const void* a, const void* b, size_t n) {
    const unsigned char* x = static_cast<const unsigned char*>(a);
    const unsigned char* y = static_cast<const unsigned char*>(b);
    for (; n; --n, ++x, ++y)
        if (*x != *y) return *x < *y ? -1 : 1;
    return 0;
}

size_t C_ROUTINE(strlen)(const char* s) {
    const char* p = s;
    while (*p)
        ++p;
    return static_cast<size_t>(p - s);
}

size_t C_ROUTINE(strnlen)(const char* s, size_t max) {
    size_t n = 0;
    while (n < max && s[n])
        ++n;
    return n;
}

char* C_ROUTINE(strrchr)(const char* s, int c) {
    const char* last = nullptr;
    for (;; ++s) {
        if (*s == static_cast<char>(c)) last = s;
        if (!*s) return const_cast<char*>(last);
    }
}

// Length of the run at the start of S of characters that are (ACCEPT) or are not in SET.
static size_t SpanOf(const char* s, const char* set, bool accept) {
    size_t n = 0;
    for (; s[n]; ++n) {
        bool inSet = false;
        for (const char* c = set; *c && !inSet; ++c)
            inSet = *c == s[n];
        if (inSet != accept) break;
    }
    return n;
}

size_t C_ROUTINE(strspn)(const char* s, const char* accept) {
    return SpanOf(s, accept, true);
}

size_t C_ROUTINE(strcspn)(const char* s, const char* reject) {
    return SpanOf(s, reject, false);
}

// Leading white space, an optional sign, decimal digits; a number too large wraps instead of being
// undefined.
int C_ROUTINE(atoi)(const char* s) {
    while (*s == ' ' || (*s >= '\t' && *s <= '\r'))
        ++s;
    bool negative = *s == '-';
    if (*s == '-' || *s == '+') ++s;
    unsigned n = 0;
    for (; *s >= '0' && *s <= '9'; ++s)
        n = n * 10u + static_cast<unsigned>(*s - '0');
    return static_cast<int>(negative ? 0u - n : n);
}

} // extern "C"

// wsprintfA and wvsprintfA: the USER32 formatter, with its 1024-byte limit and the machine's ANSI code
// page for wide-string arguments.
#include "platform/sim/kernel/codepage.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/win/strings.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

unsigned acp() {
    return sim::machine().settings.codepage;
}

constexpr int kMaxOutput = 1024; // bytes, with the NUL

struct FormatField {
    bool left = false, prefix = false, zero = false, wide = false;
    int width = 0, precision = -1;
    char type = 0;
};

class Output {
  public:
    explicit Output(char* buf) : buf_(buf) {}
    void put(char c) {
        if (n_ < kMaxOutput - 1) buf_[n_++] = c;
    }
    void put(const char* s, std::size_t len) {
        for (std::size_t i = 0; i < len; ++i)
            put(s[i]);
    }
    void pad(char c, int count) {
        for (int i = 0; i < count; ++i)
            put(c);
    }
    int finish() {
        buf_[n_] = '\0';
        return n_;
    }

  private:
    char* buf_;
    int n_ = 0;
};

const char* parse_format_field(const char* f, FormatField& s) {
    for (;; ++f) {
        if (*f == '-')
            s.left = true;
        else if (*f == '#')
            s.prefix = true;
        else if (*f == '0')
            s.zero = true;
        else
            break;
    }
    for (; *f >= '0' && *f <= '9'; ++f)
        s.width = std::min(s.width * 10 + (*f - '0'), kMaxOutput);
    if (*f == '.') {
        s.precision = 0;
        for (++f; *f >= '0' && *f <= '9'; ++f)
            s.precision = std::min(s.precision * 10 + (*f - '0'), kMaxOutput);
    }
    for (; *f == 'l' || *f == 'h' || *f == 'w'; ++f)
        s.wide = *f != 'h'; // "%ls" and "%ws" take wide strings
    s.type = *f;
    return *f ? f + 1 : f;
}

// Text with its width: blanks (or zeros after any sign and 0x) on the left, or blanks on the right. The
// 0x of '#' is not counted in the width.
void put_field(Output& out, const FormatField& s, const std::string& head, const std::string& body,
               bool head_counts) {
    int len = static_cast<int>((head_counts ? head.size() : 0) + body.size());
    int fill = std::max(0, s.width - len);
    if (s.left) {
        out.put(head.data(), head.size());
        out.put(body.data(), body.size());
        out.pad(' ', fill);
    } else if (s.zero) {
        out.put(head.data(), head.size());
        out.pad('0', fill);
        out.put(body.data(), body.size());
    } else {
        out.pad(' ', fill);
        out.put(head.data(), head.size());
        out.put(body.data(), body.size());
    }
}

std::string digits(DWORD n, unsigned radix, bool upper) {
    const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string d;
    do {
        d.insert(d.begin(), set[n % radix]);
        n /= radix;
    } while (n);
    return d;
}

void put_number(Output& out, const FormatField& s, DWORD bits) {
    std::string head, body;
    bool is_signed = s.type == 'd' || s.type == 'i';
    if (is_signed && static_cast<LONG>(bits) < 0) {
        head = "-";
        bits = 0u - bits;
    }
    bool hex = s.type == 'x' || s.type == 'X';
    body = digits(bits, hex ? 16 : 10, s.type == 'X');
    if (hex && s.prefix) head = s.type == 'X' ? "0X" : "0x";
    if (s.precision > static_cast<int>(body.size())) body.insert(0, s.precision - body.size(), '0');
    put_field(out, s, head, body, !(hex && s.prefix));
}

std::string narrow(const WCHAR* w) {
    std::string out;
    for (; *w; ++w) {
        unsigned char c = '?';
        if (static_cast<unsigned long>(*w) <= 0xFFFF)
            sim::unicode_to_ansi(static_cast<char16_t>(*w), acp(), c);
        out += static_cast<char>(c);
    }
    return out;
}

void put_string(Output& out, FormatField s, std::string text) {
    if (s.precision >= 0 && static_cast<int>(text.size()) > s.precision) text.resize(s.precision);
    s.zero = s.zero && !s.left;
    put_field(out, s, "", text, true);
}

} // namespace

int WINAPI wvsprintfA(LPSTR buf, LPCSTR fmt, va_list args) {
    if (!buf) return 0;
    Output out(buf);
    if (!fmt) return out.finish();
    while (*fmt) {
        if (*fmt != '%') {
            out.put(*fmt++);
            continue;
        }
        FormatField s;
        fmt = parse_format_field(fmt + 1, s);
        switch (s.type) {
        case 'd':
        case 'i':
        case 'u':
        case 'x':
        case 'X':
            put_number(out, s, static_cast<DWORD>(va_arg(args, int)));
            break;
        case 'c':
        case 'C':
            put_string(out, s, std::string(1, static_cast<char>(va_arg(args, int))));
            break;
        case 's':
        case 'S': {
            bool as_wide = s.type == 'S' || s.wide;
            if (as_wide) {
                const WCHAR* w = va_arg(args, const WCHAR*);
                put_string(out, s, w ? narrow(w) : std::string("(null)"));
            } else {
                const char* a = va_arg(args, const char*);
                put_string(out, s, a ? std::string(a) : std::string("(null)"));
            }
            break;
        }
        case '\0':
            break;
        default:
            out.put(s.type);
            break; // "%%" and unknown types give the character itself
        }
    }
    return out.finish();
}

int WINAPIV wsprintfA(LPSTR buf, LPCSTR fmt, ...) {
    va_list args;
    va_start(args, fmt);
    int n = wvsprintfA(buf, fmt, args);
    va_end(args);
    return n;
}

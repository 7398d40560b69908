#include "platform/sim/advapi/regfile.h"
#include "platform/sim/kernel/codepage.h"

#include <algorithm>
#include <cstdio>

namespace sim {
namespace {

// Deeper paths are refused, so that a hostile file cannot exhaust the stack of the recursive walks.
constexpr std::size_t kMaxKeyDepth = 512;

std::string_view trim(std::string_view s) {
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    std::size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

bool starts_with_nocase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(s[i])) !=
            std::toupper(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// 1 to 8 hex digits, the whole of S.
bool parse_hex32(std::string_view s, std::uint32_t& out) {
    if (s.empty() || s.size() > 8) return false;
    out = 0;
    for (char c : s) {
        int d = hex_digit(c);
        if (d < 0) return false;
        out = out << 4 | static_cast<std::uint32_t>(d);
    }
    return true;
}

// "00,a1,ff": one or two hex digits per byte; an empty list is no bytes.
bool parse_hex_list(std::string_view s, std::string& out) {
    out.clear();
    if (trim(s).empty()) return true;
    while (true) {
        std::size_t comma = s.find(',');
        std::string_view item = trim(s.substr(0, comma));
        std::uint32_t byte = 0;
        if (item.size() > 2 || !parse_hex32(item, byte)) return false;
        out += static_cast<char>(byte);
        if (comma == std::string_view::npos) return true;
        s.remove_prefix(comma + 1);
    }
}

// A quoted text starting at S[0] == '"', with the escapes \\ and \". Any other backslash stands for
// itself. REST receives what follows the closing quote.
bool parse_quoted(std::string_view s, std::string& out, std::string_view& rest) {
    out.clear();
    for (std::size_t i = 1; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"') {
            rest = s.substr(i + 1);
            return true;
        }
        if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) c = s[++i];
        out += c;
    }
    return false;
}

std::string quote(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

// Text that the quoted form can carry: one terminating zero, no other zero, no line break.
bool fits_quoted_form(const std::string& data) {
    if (data.empty() || data.back() != '\0') return false;
    return std::none_of(data.begin(), data.end() - 1,
                        [](char c) { return c == '\0' || c == '\r' || c == '\n'; });
}

void append_hex_list(std::string& out, const std::string& data) {
    static const char digits[] = "0123456789abcdef";
    std::size_t col = out.size() - out.rfind('\n') - 1;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i > 0) {
            out += ',';
            if (++col > 76) {
                out += "\\\r\n  ";
                col = 2;
            }
        }
        unsigned char b = static_cast<unsigned char>(data[i]);
        out += digits[b >> 4];
        out += digits[b & 15];
        col += 2;
    }
}

// Appends the data part of a value line.
void append_data(const RegValue& v, std::string& out) {
    char buf[32];
    if (v.type == 1 /* REG_SZ */ && fits_quoted_form(v.data)) {
        out += quote(std::string_view(v.data).substr(0, v.data.size() - 1));
        return;
    }
    if (v.type == 4 /* REG_DWORD */ && v.data.size() == 4) {
        std::uint32_t d = 0;
        for (std::size_t i = 4; i-- > 0;)
            d = d << 8 | static_cast<unsigned char>(v.data[i]);
        std::snprintf(buf, sizeof buf, "dword:%08x", static_cast<unsigned>(d));
        out += buf;
        return;
    }
    if (v.type == 3 /* REG_BINARY */)
        out += "hex:";
    else {
        std::snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(v.type));
        out += buf;
    }
    append_hex_list(out, v.data);
}

void format_key(const RegKey& key, const std::string& path, bool is_root, std::string& out) {
    if (!is_root || !key.values.empty()) {
        out += "\r\n[" + path + "]\r\n";
        for (const RegValue& v : key.values) {
            out += v.name.empty() ? std::string("@") : quote(v.name);
            out += '=';
            append_data(v, out);
            out += "\r\n";
        }
    }
    for (const auto& sub : key.subkeys)
        format_key(*sub, path + "\\" + sub->name, false, out);
}

// One REGEDIT4 file being read: the current key and the errors met.
class Reader {
  public:
    Reader(RegHive& hive, std::vector<RegFileError>& errors) : hive_(hive), errors_(errors) {}

    void line(int number, std::string_view text) {
        number_ = number;
        text = trim(text);
        if (text.empty() || text[0] == ';') return;
        if (!seen_header_) {
            seen_header_ = true;
            if (text == "REGEDIT4") return;
            error("the file does not start with REGEDIT4");
        }
        if (text[0] == '[')
            section(text);
        else if (text[0] == '"' || text[0] == '@')
            value(text);
        else
            error("neither a [key] nor a \"name\"=value line");
    }

  private:
    void error(std::string message) { errors_.push_back({number_, std::move(message)}); }

    void section(std::string_view text) {
        key_ = nullptr;
        in_bad_section_ = true;
        std::size_t close = text.rfind(']');
        if (close == std::string_view::npos || close != text.size() - 1)
            return error("a key line must end with ]");
        std::string_view path = text.substr(1, close - 1);
        bool remove = !path.empty() && path[0] == '-';
        if (remove) path.remove_prefix(1);
        std::size_t slash = path.find('\\');
        int root = reg_root_index(path.substr(0, slash));
        if (root < 0) return error("unknown root key '" + std::string(path.substr(0, slash)) + "'");
        std::vector<std::string> parts;
        if (slash != std::string_view::npos && !split_key_path(path.substr(slash + 1), parts))
            return error("empty key name in '" + std::string(path) + "'");
        if (parts.size() > kMaxKeyDepth) return error("key path too deep");
        if (remove) {
            hive_.remove_key(static_cast<std::size_t>(root), parts);
            return;
        }
        key_ = &hive_.make_key(static_cast<std::size_t>(root), parts);
        in_bad_section_ = false;
    }

    void value(std::string_view text) {
        if (!key_) {
            if (!in_bad_section_) error("a value before the first [key] line");
            return;
        }
        std::string name;
        std::string_view rest;
        if (text[0] == '@')
            rest = text.substr(1);
        else if (!parse_quoted(text, name, rest))
            return error("unterminated value name");
        rest = trim(rest);
        if (rest.empty() || rest[0] != '=') return error("expected = after the value name");
        rest = trim(rest.substr(1));
        std::uint32_t type = 0;
        std::string data;
        if (rest == "-") {
            hive_.remove_value(*key_, name);
            return;
        }
        if (!parse_data(rest, type, data)) return;
        hive_.set_value(*key_, name, type, std::move(data));
    }

    bool parse_data(std::string_view rest, std::uint32_t& type, std::string& data) {
        if (!rest.empty() && rest[0] == '"') {
            std::string_view after;
            if (!parse_quoted(rest, data, after)) return error("unterminated string"), false;
            if (!trim(after).empty()) return error("text after the closing quote"), false;
            data += '\0';
            type = 1; // REG_SZ
            return true;
        }
        if (starts_with_nocase(rest, "dword:")) {
            std::uint32_t d = 0;
            if (!parse_hex32(rest.substr(6), d)) return error("dword: needs 1 to 8 hex digits"), false;
            data = {static_cast<char>(d & 0xFF), static_cast<char>(d >> 8 & 0xFF),
                    static_cast<char>(d >> 16 & 0xFF), static_cast<char>(d >> 24 & 0xFF)};
            type = 4; // REG_DWORD
            return true;
        }
        std::string_view list;
        if (starts_with_nocase(rest, "hex:")) {
            type = 3; // REG_BINARY
            list = rest.substr(4);
        } else if (starts_with_nocase(rest, "hex(")) {
            std::size_t close = rest.find("):");
            if (close == std::string_view::npos || !parse_hex32(rest.substr(4, close - 4), type))
                return error("hex(type): needs a hex type number"), false;
            list = rest.substr(close + 2);
        } else {
            return error("unknown value data; expected \"text\", dword:, hex: or hex(type):"), false;
        }
        if (!parse_hex_list(list, data)) return error("bad byte in a hex list"), false;
        return true;
    }

    RegHive& hive_;
    std::vector<RegFileError>& errors_;
    RegKey* key_ = nullptr;
    bool in_bad_section_ = false;
    bool seen_header_ = false;
    int number_ = 0;
};

} // namespace

RegHive::RegHive(unsigned cp) : codepage(cp) {
    for (std::size_t i = 0; i < roots.size(); ++i)
        roots[i].name = kRegRootNames[i];
    for (unsigned c = 0; c < upper_table.size(); ++c)
        upper_table[c] = ansi_upper(static_cast<unsigned char>(c), cp);
}

bool RegHive::same_name(std::string_view a, std::string_view b) const {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upper_table[static_cast<unsigned char>(a[i])] != upper_table[static_cast<unsigned char>(b[i])])
            return false;
    return true;
}

std::string RegHive::upper(std::string_view s) const {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(upper_table[static_cast<unsigned char>(c)]);
    return out;
}

RegKey* RegHive::find_subkey(RegKey& key, std::string_view name) const {
    for (auto& sub : key.subkeys)
        if (same_name(sub->name, name)) return sub.get();
    return nullptr;
}

RegValue* RegHive::find_value(RegKey& key, std::string_view name) const {
    for (auto& v : key.values)
        if (same_name(v.name, name)) return &v;
    return nullptr;
}

RegKey* RegHive::find_key(std::size_t root, const std::vector<std::string>& path) {
    if (root >= roots.size()) return nullptr;
    RegKey* key = &roots[root];
    for (const std::string& part : path)
        if (!(key = find_subkey(*key, part))) return nullptr;
    return key;
}

RegKey& RegHive::make_key(std::size_t root, const std::vector<std::string>& path, bool* created) {
    if (created) *created = false;
    RegKey* key = &roots[root];
    for (const std::string& part : path) {
        RegKey* sub = find_subkey(*key, part);
        if (!sub) {
            key->subkeys.push_back(std::make_unique<RegKey>());
            sub = key->subkeys.back().get();
            sub->name = part;
            if (created) *created = true;
        }
        key = sub;
    }
    return *key;
}

bool RegHive::remove_key(std::size_t root, const std::vector<std::string>& path) {
    if (path.empty()) return false;
    std::vector<std::string> parent_path(path.begin(), path.end() - 1);
    RegKey* parent = find_key(root, parent_path);
    if (!parent) return false;
    auto it = std::find_if(parent->subkeys.begin(), parent->subkeys.end(),
                           [&](const auto& sub) { return same_name(sub->name, path.back()); });
    if (it == parent->subkeys.end()) return false;
    parent->subkeys.erase(it);
    return true;
}

void RegHive::set_value(RegKey& key, std::string_view name, std::uint32_t type, std::string data) const {
    if (RegValue* v = find_value(key, name)) {
        v->type = type;
        v->data = std::move(data);
        return;
    }
    key.values.push_back({std::string(name), type, std::move(data)});
}

bool RegHive::remove_value(RegKey& key, std::string_view name) const {
    auto it = std::find_if(key.values.begin(), key.values.end(),
                           [&](const RegValue& v) { return same_name(v.name, name); });
    if (it == key.values.end()) return false;
    key.values.erase(it);
    return true;
}

int reg_root_index(std::string_view name) {
    for (std::size_t i = 0; i < kRegRootNames.size(); ++i)
        if (*kRegRootNames[i] && starts_with_nocase(name, kRegRootNames[i]) &&
            name.size() == std::char_traits<char>::length(kRegRootNames[i]))
            return static_cast<int>(i);
    return -1;
}

bool split_key_path(std::string_view path, std::vector<std::string>& out) {
    out.clear();
    if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    if (path.empty()) return true;
    while (true) {
        std::size_t slash = path.find('\\');
        std::string_view part = path.substr(0, slash);
        if (part.empty() || out.size() >= kMaxKeyDepth) return false;
        out.emplace_back(part);
        if (slash == std::string_view::npos) return true;
        path.remove_prefix(slash + 1);
    }
}

void parse_regedit(std::string_view text, RegHive& hive, std::vector<RegFileError>& errors) {
    Reader reader(hive, errors);
    int number = 0;
    std::string logical;
    int logical_start = 0;
    bool continuing = false;
    while (!text.empty()) {
        std::size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        // A line ending in a backslash goes on in the next one (long hex lists).
        std::string_view body = trim(line);
        if (!continuing) logical_start = number;
        continuing = !body.empty() && body.back() == '\\' && !text.empty();
        if (continuing) body.remove_suffix(1);
        logical += body;
        if (continuing) continue;
        reader.line(logical_start, logical);
        logical.clear();
    }
}

std::string format_regedit(const RegHive& hive) {
    std::string out = "REGEDIT4\r\n";
    for (const RegKey& root : hive.roots)
        if (!root.name.empty()) format_key(root, root.name, true, out);
    return out;
}

} // namespace sim

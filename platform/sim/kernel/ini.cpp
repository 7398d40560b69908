#include "platform/sim/kernel/ini.h"
#include "platform/sim/kernel/codepage.h"

#include <algorithm>
#include <array>

namespace sim {
namespace {

const char kCrLf[] = "\r\n";

bool is_blank_char(char c) {
    return c == ' ' || c == '\t';
}

// The upper-case table of each code page, built once: folding runs on every look-up.
const unsigned char* upper_table(unsigned codepage) {
    static const auto make = [](unsigned cp) {
        std::array<unsigned char, 256> t{};
        for (unsigned i = 0; i < 256; ++i)
            t[i] = ansi_upper(static_cast<unsigned char>(i), cp);
        return t;
    };
    static const std::array<unsigned char, 256> t1251 = make(1251), t1252 = make(1252);
    return codepage == 1251 ? t1251.data() : t1252.data();
}

// The name between the brackets of a section line, or false when the line opens no section.
bool section_header(std::string_view line, std::string_view& name) {
    std::string_view s = IniDocument::trim(line);
    if (s.empty() || s[0] != '[') return false;
    std::size_t close = s.find(']');
    if (close == std::string_view::npos) return false;
    name = IniDocument::trim(s.substr(1, close - 1));
    return true;
}

} // namespace

std::string_view IniDocument::trim(std::string_view s) {
    while (!s.empty() && is_blank_char(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && is_blank_char(s.back()))
        s.remove_suffix(1);
    return s;
}

IniDocument::IniDocument(std::string text, unsigned codepage)
    : text_(std::move(text)), codepage_(codepage), upper_(upper_table(codepage)) {
    split_lines();
    index_sections();
}

void IniDocument::split_lines() {
    std::size_t i = 0, n = text_.size();
    while (i < n) {
        std::size_t e = text_.find_first_of(kCrLf, i);
        if (e == std::string::npos) {
            lines_.push_back({i, n, n});
            break;
        }
        std::size_t next = e + 1;
        if (text_[e] == '\r' && next < n && text_[next] == '\n') ++next;
        lines_.push_back({i, e, next});
        i = next;
    }
}

void IniDocument::index_sections() {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        std::string_view name;
        if (section_header(content(i), name)) {
            if (!sections_.empty()) sections_.back().body_end = i;
            sections_.push_back({name, i, lines_.size(), {}, {}});
            if (!name.empty()) section_index_.emplace(fold(name), sections_.size() - 1);
        } else if (!sections_.empty()) {
            index_line(sections_.back(), i);
        }
    }
}

void IniDocument::index_line(Section& s, std::size_t line) {
    std::string_view c = trim(content(line));
    if (c.empty() || c[0] == ';') return;
    std::size_t eq = c.find('=');
    if (eq == std::string_view::npos) return;
    std::string_view name = trim(c.substr(0, eq));
    if (name.empty()) return;
    s.keys.push_back({name, trim(c.substr(eq + 1)), line});
    s.by_name.emplace(fold(name), s.keys.size() - 1);
}

std::string IniDocument::fold(std::string_view s) const {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(upper_[static_cast<unsigned char>(c)]);
    return out;
}

std::string_view IniDocument::content(std::size_t line) const {
    const Line& l = lines_[line];
    return std::string_view(text_).substr(l.begin, l.end - l.begin);
}

bool IniDocument::is_blank(std::size_t line) const {
    return trim(content(line)).empty();
}

const IniDocument::Section* IniDocument::find_section(std::string_view name) const {
    name = trim(name);
    if (name.empty()) return nullptr;
    auto it = section_index_.find(fold(name));
    return it == section_index_.end() ? nullptr : &sections_[it->second];
}

const IniDocument::Key* IniDocument::find_key(const Section& s, std::string_view name) const {
    name = trim(name);
    if (name.empty()) return nullptr;
    auto it = s.by_name.find(fold(name));
    return it == s.by_name.end() ? nullptr : &s.keys[it->second];
}

const std::string_view* IniDocument::value(std::string_view section, std::string_view key) const {
    const Section* s = find_section(section);
    const Key* k = s ? find_key(*s, key) : nullptr;
    return k ? &k->value : nullptr;
}

std::vector<std::string_view> IniDocument::section_names() const {
    std::vector<std::string_view> out;
    for (const Section& s : sections_)
        if (!s.name.empty()) out.push_back(s.name);
    return out;
}

bool IniDocument::key_names(std::string_view section, std::vector<std::string_view>& out) const {
    const Section* s = find_section(section);
    if (!s) return false;
    for (const Key& k : s->keys)
        out.push_back(k.name);
    return true;
}

bool IniDocument::section_lines(std::string_view section, std::vector<std::string>& out) const {
    const Section* s = find_section(section);
    if (!s) return false;
    auto key = s->keys.begin();
    for (std::size_t i = s->header + 1; i < s->body_end; ++i) {
        if (key != s->keys.end() && key->line == i) {
            out.push_back(std::string(key->name) + "=" + std::string(key->value));
            ++key;
            continue;
        }
        std::string_view c = trim(content(i));
        if (!c.empty() && c[0] != ';') out.emplace_back(c);
    }
    return true;
}

std::string IniDocument::replaced(std::size_t begin, std::size_t end, std::string_view with) const {
    std::string out;
    out.reserve(text_.size() - (end - begin) + with.size());
    out.append(text_, 0, begin).append(with).append(text_, end, std::string::npos);
    return out;
}

// New keys go after the last non-blank line of the section, so blank lines that separate it from the
// next section stay in place.
std::size_t IniDocument::insertion_point(const Section& s, std::string& prefix) const {
    std::size_t last = s.header;
    for (std::size_t i = s.header + 1; i < s.body_end; ++i)
        if (!is_blank(i)) last = i;
    const Line& l = lines_[last];
    if (l.end == l.next) prefix = kCrLf; // the file's last line had no line end
    return l.next;
}

std::string IniDocument::appended_section(std::string_view name,
                                          const std::vector<std::string>& lines) const {
    std::string add;
    if (!text_.empty()) {
        if (text_.back() != '\n' && text_.back() != '\r') add += kCrLf;
        if (!is_blank(lines_.size() - 1)) add += kCrLf;
    }
    add.append("[").append(trim(name)).append("]").append(kCrLf);
    for (const std::string& l : lines)
        add.append(l).append(kCrLf);
    return text_ + add;
}

std::string IniDocument::with_value(std::string_view section, std::string_view key,
                                    std::string_view value) const {
    std::string line = std::string(trim(key)) + "=" + std::string(value);
    const Section* s = find_section(section);
    if (!s) return appended_section(section, {line});
    if (const Key* k = find_key(*s, key)) {
        const Line& l = lines_[k->line];
        return replaced(l.begin, l.end, std::string(k->name) + "=" + std::string(value));
    }
    std::string prefix;
    std::size_t at = insertion_point(*s, prefix);
    return replaced(at, at, prefix + line + kCrLf);
}

std::string IniDocument::without_key(std::string_view section, std::string_view key) const {
    const Section* s = find_section(section);
    const Key* k = s ? find_key(*s, key) : nullptr;
    if (!k) return text_;
    const Line& l = lines_[k->line];
    return replaced(l.begin, l.next, "");
}

std::string IniDocument::without_section(std::string_view section) const {
    const Section* s = find_section(section);
    if (!s) return text_;
    return replaced(lines_[s->header].begin, lines_[s->body_end - 1].next, "");
}

std::string IniDocument::with_section_lines(std::string_view section,
                                            const std::vector<std::string>& lines) const {
    const Section* s = find_section(section);
    if (!s) return appended_section(section, lines);
    // The body is replaced up to its trailing blank lines, which keep separating it from what follows.
    std::string prefix;
    std::size_t end = insertion_point(*s, prefix);
    const Line& header = lines_[s->header];
    std::size_t begin = header.next;
    if (header.end == header.next)
        prefix = kCrLf;
    else
        prefix.clear();
    std::string body = prefix;
    for (const std::string& l : lines)
        body.append(l).append(kCrLf);
    return replaced(begin, std::max(begin, end), body);
}

} // namespace sim

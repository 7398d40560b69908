#include "platform/sim/driver/agent_wire.h"

#include <sstream>
#include <vector>

namespace sim {
namespace {

const char kHex[] = "0123456789ABCDEF";

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::vector<std::string> tokens(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream in(line);
    for (std::string t; in >> t;)
        out.push_back(t);
    return out;
}

// Reads the tokens of one record in order; any shortfall or bad value marks the reader failed.
class Reader {
  public:
    explicit Reader(const std::string& line) : t_(tokens(line)) {}
    std::string word() { return i_ < t_.size() ? t_[i_++] : (ok_ = false, std::string()); }
    std::string text() {
        std::string out;
        if (!unescape_token(word(), out)) ok_ = false;
        return out;
    }
    long long number() {
        std::string w = word();
        try {
            size_t used = 0;
            long long v = std::stoll(w, &used, 0);
            if (used != w.size()) ok_ = false;
            return v;
        } catch (...) {
            ok_ = false;
            return 0;
        }
    }
    // A count of items that follow; bounded by what is left, so a hostile count cannot allocate.
    size_t count() {
        long long n = number();
        if (n < 0 || static_cast<size_t>(n) > t_.size() - i_) ok_ = false;
        return ok_ ? static_cast<size_t>(n) : 0;
    }
    bool ok() const { return ok_ && i_ == t_.size(); }

  private:
    std::vector<std::string> t_;
    size_t i_ = 0;
    bool ok_ = true;
};

const char* const kKinds[] = {"click",    "check", "type",   "select", "pick",
                              "dblclick", "enter", "escape", "alt-f4", "fail"};

} // namespace

std::string escape_token(const std::string& s) {
    std::string out = "'";
    for (unsigned char c : s) {
        if (c <= ' ' || c == '%' || c == 0x7F) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool unescape_token(const std::string& token, std::string& out) {
    out.clear();
    if (token.empty() || token[0] != '\'') return false;
    for (size_t i = 1; i < token.size(); ++i) {
        if (token[i] != '%') {
            out += token[i];
            continue;
        }
        if (i + 2 >= token.size()) return false;
        int hi = hex_value(token[i + 1]), lo = hex_value(token[i + 2]);
        if (hi < 0 || lo < 0) return false;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return true;
}

std::string encode_snapshot(const DialogSnapshot& s) {
    std::ostringstream o;
    o << "dialog " << escape_token(s.kind) << ' ' << escape_token(s.caption) << ' '
      << escape_token(s.template_name) << ' ' << s.default_id << ' ' << s.painted.size();
    for (const auto& t : s.painted)
        o << ' ' << escape_token(t);
    o << ' ' << s.controls.size() << '\n';
    for (const auto& c : s.controls) {
        o << "control " << c.id << ' ' << escape_token(c.class_name) << ' ' << escape_token(c.text) << ' '
          << c.style << ' ' << c.visible << ' ' << c.enabled << ' ' << c.focused << ' ' << c.checked << ' '
          << c.is_default << ' ' << c.entries.size();
        for (const auto& e : c.entries)
            o << ' ' << escape_token(e);
        o << ' ' << c.selected.size();
        for (int i : c.selected)
            o << ' ' << i;
        o << '\n';
    }
    return o.str();
}

bool decode_snapshot(const std::string& text, DialogSnapshot& out) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line.rfind("dialog ", 0) != 0) return false;
    Reader r(line.substr(7));
    DialogSnapshot s;
    s.kind = r.text();
    s.caption = r.text();
    s.template_name = r.text();
    s.default_id = static_cast<int>(r.number());
    for (size_t k = r.count(); k > 0; --k)
        s.painted.push_back(r.text());
    long long n = r.number();
    if (!r.ok() || n < 0 || n > 10000) return false;
    for (long long i = 0; i < n; ++i) {
        if (!std::getline(in, line) || line.rfind("control ", 0) != 0) return false;
        Reader c(line.substr(8));
        ControlSnapshot cs;
        cs.id = static_cast<int>(c.number());
        cs.class_name = c.text();
        cs.text = c.text();
        cs.style = static_cast<std::uint32_t>(c.number());
        cs.visible = c.number() != 0;
        cs.enabled = c.number() != 0;
        cs.focused = c.number() != 0;
        cs.checked = static_cast<int>(c.number());
        cs.is_default = c.number() != 0;
        for (size_t k = c.count(); k > 0; --k)
            cs.entries.push_back(c.text());
        for (size_t k = c.count(); k > 0; --k)
            cs.selected.push_back(static_cast<int>(c.number()));
        if (!c.ok()) return false;
        s.controls.push_back(std::move(cs));
    }
    out = std::move(s);
    return true;
}

std::string encode_input(const Input& in) {
    std::ostringstream o;
    o << "input " << kKinds[static_cast<int>(in.kind)] << ' ' << in.id << ' ' << escape_token(in.control)
      << ' ' << escape_token(in.text) << ' ' << in.index << ' ' << in.check << ' ' << in.entries.size();
    for (const auto& e : in.entries)
        o << ' ' << escape_token(e);
    o << ' ' << escape_token(in.reason);
    return o.str();
}

bool decode_input(const std::string& line, Input& out) {
    if (line.rfind("input ", 0) != 0) return false;
    Reader r(line.substr(6));
    Input in;
    std::string kind = r.word();
    bool known = false;
    for (int k = 0; k < static_cast<int>(std::size(kKinds)); ++k)
        if (kind == kKinds[k]) in.kind = static_cast<InputKind>(k), known = true;
    in.id = static_cast<int>(r.number());
    in.control = r.text();
    in.text = r.text();
    in.index = static_cast<int>(r.number());
    in.check = static_cast<int>(r.number());
    for (size_t k = r.count(); k > 0; --k)
        in.entries.push_back(r.text());
    in.reason = r.text();
    if (!known || !r.ok()) return false;
    out = std::move(in);
    return true;
}

} // namespace sim

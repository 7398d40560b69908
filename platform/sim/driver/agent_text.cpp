// How snapshots and inputs of the user agent read as text, in failure messages and the verbose output.
// Platform-neutral: the Windows scenario driver prints live dialogs the same way.
#include "platform/sim/driver/agent.h"

#include <algorithm>

namespace sim {

namespace {

// The texts a window painted itself, leaving out those its controls hold and repeats.
std::vector<std::string> own_texts(const DialogSnapshot& s) {
    std::vector<std::string> out;
    for (const auto& t : s.painted) {
        bool control = std::any_of(s.controls.begin(), s.controls.end(), [&](const ControlSnapshot& c) {
            return c.text == t || std::find(c.entries.begin(), c.entries.end(), t) != c.entries.end();
        });
        if (!control && std::find(out.begin(), out.end(), t) == out.end()) out.push_back(t);
    }
    return out;
}

// A text on one line: its line breaks written as \r and \n, so that a terminal neither breaks nor
// overwrites the line with them.
std::string one_line(const std::string& text) {
    std::string out;
    for (char c : text)
        out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    return out;
}

} // namespace

std::string describe(const Input& in) {
    std::string target = in.id ? std::to_string(in.id) : "\"" + in.control + "\"";
    switch (in.kind) {
    case InputKind::Click:
        return "click " + target;
    case InputKind::Check:
        return "check " + target + " " + std::to_string(in.check);
    case InputKind::Type:
        return "type " + target + " \"" + in.text + "\"";
    case InputKind::Select:
        return "select " + target + " " +
               (in.text.empty() ? "#" + std::to_string(in.index) : "\"" + in.text + "\"");
    case InputKind::SelectMany: {
        std::string s = "select-many " + target;
        for (const auto& e : in.entries)
            s += " \"" + e + "\"";
        return s;
    }
    case InputKind::DoubleClick:
        return "double-click " + target + " \"" + in.text + "\"";
    case InputKind::Enter:
        return "enter";
    case InputKind::Escape:
        return "escape";
    case InputKind::AltF4:
        return "alt-f4";
    case InputKind::Fail:
        return "fail " + in.reason;
    }
    return "?";
}

std::string describe(const DialogSnapshot& s) {
    std::string out = s.kind + " \"" + s.caption + "\"" +
                      (s.template_name.empty() ? "" : " (" + s.template_name + ")") + "\n";
    for (const auto& t : own_texts(s))
        out += "  text \"" + one_line(t) + "\"\n";
    for (const auto& c : s.controls) {
        out += "  " + std::to_string(c.id) + " " + c.class_name + " \"" + one_line(c.text) + "\"";
        if (!c.visible) out += " hidden";
        if (!c.enabled) out += " disabled";
        if (c.checked >= 0) out += " checked=" + std::to_string(c.checked);
        if (c.is_default) out += " default";
        if (c.focused) out += " focus";
        for (std::size_t i = 0; i < c.entries.size(); ++i) {
            bool sel =
                std::find(c.selected.begin(), c.selected.end(), static_cast<int>(i)) != c.selected.end();
            out += std::string(i ? ", " : " [") + (sel ? "*" : "") + c.entries[i];
        }
        if (!c.entries.empty()) out += "]";
        out += "\n";
    }
    return out;
}

} // namespace sim

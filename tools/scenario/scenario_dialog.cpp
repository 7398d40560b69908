#include "tools/scenario/scenario_dialog.h"

#include <algorithm>
#include <climits>

namespace {

bool parse_id(const std::string& s, int& out) {
    long long n;
    if (!parse_number(s, n) || n < INT_MIN || n > INT_MAX) return false;
    out = static_cast<int>(n);
    return true;
}

std::string without_amp(std::string s) {
    s.erase(std::remove(s.begin(), s.end(), '&'), s.end());
    return s;
}

bool same_nocase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return (x >= 'a' && x <= 'z' ? x - 32 : x) == (y >= 'a' && y <= 'z' ? y - 32 : y);
           });
}

sim::Input targeted(sim::InputKind kind, const std::string& id_or_text) {
    sim::Input in;
    in.kind = kind;
    if (!parse_id(id_or_text, in.id)) in.control = id_or_text;
    return in;
}

int check_state(const std::string& word) {
    return word == "on" ? 1 : word == "grey" ? 2 : 0;
}

const sim::ControlSnapshot* control(const sim::DialogSnapshot& d, const std::string& id_or_text) {
    int id;
    bool numeric = parse_id(id_or_text, id);
    for (const auto& c : d.controls)
        if (numeric ? c.id == id : without_amp(c.text) == without_amp(id_or_text)) return &c;
    return nullptr;
}

} // namespace

bool input_of(const ScenarioLine& l, sim::Input& in) {
    const auto& a = l.args;
    if (l.verb == "click") {
        in = targeted(sim::InputKind::Click, a[0]);
    } else if (l.verb == "check") {
        in = targeted(sim::InputKind::Check, a[0]);
        in.check = check_state(a[1]);
    } else if (l.verb == "type" || l.verb == "select" || l.verb == "dblclick") {
        in = targeted(l.verb == "type"     ? sim::InputKind::Type
                      : l.verb == "select" ? sim::InputKind::Select
                                           : sim::InputKind::DoubleClick,
                      a[0]);
        in.text = a[1];
    } else if (l.verb == "pick") {
        in = targeted(sim::InputKind::SelectMany, a[0]);
        in.entries.assign(a.begin() + 1, a.end());
    } else if (l.verb == "key") {
        in = sim::Input{};
        in.kind = a[0] == "enter"    ? sim::InputKind::Enter
                  : a[0] == "escape" ? sim::InputKind::Escape
                                     : sim::InputKind::AltF4;
    } else {
        return false;
    }
    return true;
}

bool is_dialog_check(const std::string& v) {
    return v == "expect-dialog" || v == "expect-message" || v == "expect-enabled" || v == "expect-checked" ||
           v == "expect-text" || v == "expect-items";
}

std::string check_dialog(const ScenarioLine& l, const sim::DialogSnapshot& d,
                         const std::function<std::string(const std::string&)>& local) {
    const auto& a = l.args;
    if (l.verb == "expect-dialog")
        return same_nocase(d.template_name, a[0]) ? ""
                                                  : "expected the dialog " + a[0] + ", but this is there:";
    if (l.verb == "expect-message") {
        // A dialog that draws its message itself (the product's message dialog) shows it as painted text.
        std::string want = local(a[0]);
        for (const auto& c : d.controls)
            if (same_nocase(c.class_name, "STATIC") && c.text.find(want) != std::string::npos) return "";
        for (const auto& t : d.painted)
            if (t.find(want) != std::string::npos) return "";
        return "expected a message with \"" + want + "\", but this is there:";
    }
    const sim::ControlSnapshot* c = control(d, a[0]);
    if (!c) return "the dialog has no control " + a[0] + ":";
    if (l.verb == "expect-enabled" && c->enabled != (a[1] == "yes"))
        return "expected control " + a[0] + (c->enabled ? " disabled" : " enabled") + ", but it is not:";
    if (l.verb == "expect-checked" && c->checked != check_state(a[1]))
        return "expected control " + a[0] + " " + a[1] + ", but its state is " + std::to_string(c->checked) +
               ":";
    if (l.verb == "expect-text" && c->text != local(a[1]))
        return "expected control " + a[0] + " to read \"" + local(a[1]) + "\", but it reads \"" + c->text +
               "\"";
    if (l.verb == "expect-items" && c->entries != std::vector<std::string>(a.begin() + 1, a.end())) {
        std::string have;
        for (const auto& e : c->entries)
            have += " \"" + e + "\"";
        return "expected the entries of " + a[0] + " to be" + l.rest.substr(a[0].size()) + ", but they are" +
               (have.empty() ? " none" : have);
    }
    return "";
}

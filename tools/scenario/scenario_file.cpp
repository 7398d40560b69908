#include "tools/scenario/scenario_file.h"

#include "common/words.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace {

struct VerbShape {
    int min_args;
    int max_args; // -1: any number
    const char* usage;
};

const std::map<std::string, VerbShape>& verbs() {
    static const std::map<std::string, VerbShape> v = {
        {"machine", {0, 1, "machine [DIR]"}},
        {"set", {1, -1, "set KEY VALUE..."}},
        {"disk", {2, 2, "disk D: FOLDER|none"}},
        {"program", {2, 2, "program PATH NAME"}},
        {"file", {2, 3, "file PATH <<WORD  or  file PATH from HOSTFILE"}},
        {"ini", {2, -1, "ini PATH [section] key=value"}},
        {"reg", {2, -1, "reg ROOT\\KEY name=value"}},
        {"run", {1, -1, "run PROGRAM ARGS"}},
        {"wait", {0, 0, "wait"}},
        {"timeout", {1, 1, "timeout SECONDS"}},
        {"expect-exit", {1, 1, "expect-exit CODE"}},
        {"expect-dialog", {1, 1, "expect-dialog TEMPLATE"}},
        {"expect-message", {1, 1, "expect-message \"text\""}},
        {"click", {1, 1, "click ID-or-\"button text\""}},
        {"check", {2, 2, "check ID on|off|grey"}},
        {"type", {2, 2, "type ID \"text\""}},
        {"select", {2, 2, "select ID \"entry\""}},
        {"pick", {2, -1, "pick ID \"entry\" ..."}},
        {"dblclick", {2, 2, "dblclick ID \"entry\""}},
        {"key", {1, 1, "key enter|escape|alt-f4"}},
        {"open-file", {1, 1, "open-file \"PATH\""}},
        {"cancel-file", {0, 0, "cancel-file"}},
        {"expect-enabled", {2, 2, "expect-enabled ID yes|no"}},
        {"expect-checked", {2, 2, "expect-checked ID on|off|grey"}},
        {"expect-text", {2, 2, "expect-text ID \"text\""}},
        {"expect-items", {1, -1, "expect-items ID \"a\" \"b\" ..."}},
        {"expect-pixel", {3, 3, "expect-pixel X Y #RRGGBB"}},
        {"screenshot", {1, 1, "screenshot FILE.png"}},
        {"expect-file", {2, 3, "expect-file PATH exists|missing|size N|same-as HOSTFILE"}},
        {"expect-ini", {3, -1, "expect-ini PATH [section] key \"value\"|missing"}},
        {"expect-reg", {3, 3, "expect-reg ROOT\\KEY name \"data\"|missing"}},
        {"expect-log",
         {2, -1, "expect-log PATH \"line\" [\"line\" ...]  or  expect-log PATH \"line\" missing"}},
        {"expect-exec", {1, 3, "expect-exec \"command line\" [in DIR]  or  expect-exec none"}},
        {"expect-power", {1, 1, "expect-power reboot|shutdown|none"}},
        {"expect-progman", {1, 3, "expect-progman \"group\" [\"item\"] [missing]"}},
        {"expect-keyboard", {1, 1, "expect-keyboard \"VKEY SCAN FLAGS\"|none"}},
    };
    return v;
}

bool one_of(const std::string& word, std::initializer_list<const char*> choices) {
    return std::any_of(choices.begin(), choices.end(), [&](const char* c) { return word == c; });
}

// Checks the words of a line that can be checked before anything runs.
std::string check_arguments(const ScenarioLine& l) {
    const auto& a = l.args;
    if (l.verb == "check" || l.verb == "expect-checked")
        return one_of(a[1], {"on", "off", "grey"}) ? "" : "the state is on, off or grey";
    if (l.verb == "key")
        return one_of(a[0], {"enter", "escape", "alt-f4"}) ? "" : "the key is enter, escape or alt-f4";
    if (l.verb == "expect-enabled") return one_of(a[1], {"yes", "no"}) ? "" : "the answer is yes or no";
    if (l.verb == "expect-power")
        return one_of(a[0], {"reboot", "shutdown", "none", "poweroff", "logoff"})
                   ? ""
                   : "reboot, shutdown or none";
    if (l.verb == "expect-file") {
        if (a.size() == 2 && one_of(a[1], {"exists", "missing"})) return "";
        if (a.size() == 3 && one_of(a[1], {"size", "same-as"})) return "";
        return "exists, missing, size N or same-as HOSTFILE";
    }
    if (l.verb == "file" && !(a.size() == 2 && a[1].rfind("<<", 0) == 0) &&
        !(a.size() == 3 && a[1] == "from"))
        return "file PATH <<WORD or file PATH from HOSTFILE";
    if (l.verb == "expect-exec" && a.size() != 1 && !(a.size() == 3 && a[1] == "in"))
        return "the current directory is given as: in DIR";
    if (l.verb == "expect-log" && a.size() > 3 && l.keyword(a.size() - 1, "missing"))
        return "missing goes with one line";
    if (l.verb == "expect-progman" && a.size() == 3 && !l.keyword(2, "missing"))
        return "the only word after the item is missing";
    if (l.verb == "expect-pixel" && (a[2].size() != 7 || a[2][0] != '#')) return "the colour is #RRGGBB";
    if ((l.verb == "ini" || l.verb == "expect-ini") && l.rest.find('[') == std::string::npos)
        return "the section is written in brackets";
    return "";
}

bool read_file(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

} // namespace

std::string trim_blanks(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

bool is_answer_verb(const std::string& verb) {
    return one_of(
        verb, {"click", "check", "type", "select", "pick", "dblclick", "key", "open-file", "cancel-file"});
}

bool split_ini_line(const ScenarioLine& l, std::string& path, std::string& section, std::string& rest,
                    std::string* error) {
    size_t open = l.rest.find('['), close = l.rest.find(']', open);
    if (close == std::string::npos) {
        if (error) *error = l.verb + ": the section needs its closing bracket";
        return false;
    }
    std::string err;
    auto words = common::split_words(l.rest.substr(0, open), &err);
    if (words.size() != 1) {
        if (error) *error = l.verb + ": one path comes before the section";
        return false;
    }
    path = words[0];
    section = l.rest.substr(open + 1, close - open - 1);
    rest = trim_blanks(l.rest.substr(close + 1));
    return true;
}

bool parse_scenario_text(const std::string& text, const std::string& name, std::vector<ScenarioLine>& out,
                         std::string* error) {
    std::istringstream in(text);
    std::string raw;
    int lineno = 0;
    out.clear();
    auto bad = [&](const std::string& why) {
        if (error) *error = name + ":" + std::to_string(lineno) + ": " + why;
        return false;
    };
    while (std::getline(in, raw)) {
        ++lineno;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        std::string line = trim_blanks(raw);
        if (line.empty() || line[0] == '#') continue;
        ScenarioLine l;
        l.file = name;
        l.line = lineno;
        size_t sp = line.find_first_of(" \t");
        l.verb = line.substr(0, sp);
        l.rest = sp == std::string::npos ? "" : trim_blanks(line.substr(sp));
        auto shape = verbs().find(l.verb);
        if (shape == verbs().end()) return bad("unknown verb '" + l.verb + "'");
        std::string err;
        l.args = common::split_words(l.rest, &err, &l.quoted);
        if (!err.empty()) return bad(err);
        int n = static_cast<int>(l.args.size());
        if (n < shape->second.min_args || (shape->second.max_args >= 0 && n > shape->second.max_args))
            return bad("usage: " + std::string(shape->second.usage));
        std::string why = check_arguments(l);
        if (!why.empty()) return bad(l.verb + ": " + why + " (usage: " + shape->second.usage + ")");
        if (l.verb == "file" && l.args.size() == 2) {
            std::string word = l.args[1].substr(2);
            if (word.empty()) return bad("file: the end word follows << directly, as in <<END");
            bool closed = false;
            int start = lineno;
            while (std::getline(in, raw)) {
                ++lineno;
                if (!raw.empty() && raw.back() == '\r') raw.pop_back();
                if (raw == word) {
                    closed = true;
                    break;
                }
                l.body += raw + "\r\n";
            }
            if (!closed) {
                lineno = start;
                return bad("file: no line '" + word + "' ends the inline content");
            }
        }
        out.push_back(std::move(l));
    }
    return true;
}

bool parse_scenario(const std::string& path, std::vector<ScenarioLine>& out, std::string* error) {
    std::string text;
    if (!read_file(path, text)) {
        if (error) *error = path + ": cannot read the scenario";
        return false;
    }
    return parse_scenario_text(text, path, out, error);
}

std::string check_log_lines(const std::string& file, bool found, const std::string& text,
                            const std::vector<std::string>& wanted, bool missing) {
    if (!found) return missing ? "" : "expected the file " + file + ", but it does not exist";
    std::vector<std::string> lines = text_lines(text);
    if (missing) {
        bool present = std::find(lines.begin(), lines.end(), wanted.front()) != lines.end();
        return present ? "expected no line \"" + wanted.front() + "\" in " + file : "";
    }
    auto from = lines.begin();
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        auto at = std::find(from, lines.end(), wanted[i]);
        if (at == lines.end())
            return "expected the line \"" + wanted[i] + "\" in " + file +
                   (i > 0 ? " after \"" + wanted[i - 1] + "\"" : std::string()) + ", which holds:\n" + text;
        from = at + 1;
    }
    return "";
}

bool parse_number(const std::string& s, long long& out) {
    try {
        size_t used = 0;
        out = std::stoll(s, &used, 0);
        return used == s.size();
    } catch (...) {
        return false;
    }
}

std::vector<std::string> text_lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return out;
}

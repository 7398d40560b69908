// Scenario files: the lines of the scenario language (docs/scenarios.md), read and checked before anything
// runs. Platform-neutral, so that win95sim and the Windows driver (windriver.exe) read a scenario alike.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct ScenarioLine {
    std::string file;
    int line = 0;
    std::string verb;
    std::vector<std::string> args; // words after the verb; quotes removed
    std::vector<bool> quoted;      // for each word, whether it was written in quotes
    std::string rest;              // the text after the verb, as written
    std::string body;              // the inline content of `file PATH <<WORD`

    // ARGS[I] is the bare word WORD: a keyword such as `missing` or `none`, not a quoted text.
    bool keyword(std::size_t i, const char* word) const {
        return i < args.size() && args[i] == word && !(i < quoted.size() && quoted[i]);
    }
};

// Reads and checks a scenario; false with "FILE:LINE: what is wrong" for the first malformed line.
bool parse_scenario(const std::string& path, std::vector<ScenarioLine>& out, std::string* error);
bool parse_scenario_text(const std::string& text, const std::string& name, std::vector<ScenarioLine>& out,
                         std::string* error);

// The verbs that answer a dialog (click, check, type, select, pick, dblclick, key, open-file, cancel-file).
bool is_answer_verb(const std::string& verb);

// An INI line's parts: "PATH [section] rest", where the section may hold blanks. False with the reason.
bool split_ini_line(const ScenarioLine& l, std::string& path, std::string& section, std::string& rest,
                    std::string* error);

// The check of `expect-log FILE "line" ["line" ...]` and `expect-log FILE "line" missing` on the file's
// TEXT (FOUND false when there is no such file): the WANTED lines each after the one before, or with
// MISSING the one line nowhere. Empty when the check holds, else what was expected and what is there.
std::string check_log_lines(const std::string& file, bool found, const std::string& text,
                            const std::vector<std::string>& wanted, bool missing);

// Lines of a text with CR LF or LF line ends.
std::vector<std::string> text_lines(const std::string& text);

// A whole number as a scenario writes it (decimal, or hexadecimal after 0x); false for anything else.
bool parse_number(const std::string& s, long long& out);

// Leading and trailing blanks removed.
std::string trim_blanks(const std::string& s);

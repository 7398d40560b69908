// Lines of words, as the scenario language and the simulator's machine settings write them: words are
// separated by blanks, and a word in double or single quotes may hold blanks (either quote inside the
// other). Header only and platform-neutral: the simulator, win95sim and the Windows scenario driver share it.
#pragma once

#include <string>
#include <vector>

namespace common {

// The words of LINE; QUOTED (when given) tells for each word whether it was written in quotes. An
// unterminated quote gives no words and the reason in *ERROR.
inline std::vector<std::string> split_words(const std::string& line, std::string* error,
                                            std::vector<bool>* quoted = nullptr) {
    std::vector<std::string> words;
    if (quoted) quoted->clear();
    std::size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t') {
            ++i;
            continue;
        }
        bool in_quotes = c == '"' || c == '\'';
        std::size_t end = in_quotes ? line.find(c, i + 1) : line.find_first_of(" \t", i);
        if (in_quotes && end == std::string::npos) {
            if (error) *error = std::string("unterminated string starting with ") + c;
            if (quoted) quoted->clear();
            return {};
        }
        if (end == std::string::npos) end = line.size();
        words.push_back(in_quotes ? line.substr(i + 1, end - i - 1) : line.substr(i, end - i));
        if (quoted) quoted->push_back(in_quotes);
        i = in_quotes ? end + 1 : end;
    }
    return words;
}

} // namespace common

// The text of one INI file and the index the profile functions answer from. Lines end in CR LF, a lone
// CR or a lone LF; a section starts at a line "[name]"; inside a section a line "key=value" defines a key
// (blanks around key and value are not part of them, the first of two equal keys counts); lines starting
// with ';' are comments; other lines are kept but never looked at. Names match without regard to case by
// the code page's case mapping. Edits return new text that changes only the lines concerned, so comments
// and the rest of the file stay as they were, byte for byte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sim {

class IniDocument {
  public:
    IniDocument(std::string text, unsigned codepage);
    // The index points into the text: the document stays where it was made.
    IniDocument(const IniDocument&) = delete;
    IniDocument& operator=(const IniDocument&) = delete;

    const std::string& text() const { return text_; }
    unsigned codepage() const { return codepage_; }

    // The value of a key, blanks around it removed (quotes are left to the caller); null when the
    // section or the key is missing.
    const std::string_view* value(std::string_view section, std::string_view key) const;
    // Section names in file order (each occurrence of a repeated section); empty names left out.
    std::vector<std::string_view> section_names() const;
    // Key names of the first section of that name in file order; false when there is no such section.
    bool key_names(std::string_view section, std::vector<std::string_view>& out) const;
    // The key lines of that section as "key=value" and its other non-comment lines as they stand.
    bool section_lines(std::string_view section, std::vector<std::string>& out) const;

    // New file texts.
    std::string with_value(std::string_view section, std::string_view key, std::string_view value) const;
    std::string without_key(std::string_view section, std::string_view key) const;
    std::string without_section(std::string_view section) const;
    std::string with_section_lines(std::string_view section, const std::vector<std::string>& lines) const;

    static std::string_view trim(std::string_view s);

  private:
    struct Line {
        std::size_t begin, end, next; // content [begin, end), line end [end, next)
    };
    struct Key {
        std::string_view name, value;
        std::size_t line;
    };
    struct Section {
        std::string_view name;
        std::size_t header;   // line index of "[name]"
        std::size_t body_end; // one past its last line
        std::vector<Key> keys;
        std::unordered_map<std::string, std::size_t> by_name; // folded name → first key
    };

    void split_lines();
    void index_sections();
    void index_line(Section& s, std::size_t line);
    std::string fold(std::string_view s) const;
    const Section* find_section(std::string_view name) const;
    const Key* find_key(const Section& s, std::string_view name) const;
    std::string_view content(std::size_t line) const;
    bool is_blank(std::size_t line) const;
    std::size_t insertion_point(const Section& s, std::string& prefix) const;
    std::string appended_section(std::string_view name, const std::vector<std::string>& lines) const;
    std::string replaced(std::size_t begin, std::size_t end, std::string_view with) const;

    std::string text_;
    unsigned codepage_;
    const unsigned char* upper_; // case table of the code page
    std::vector<Line> lines_;
    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> section_index_; // folded name → first section
};

} // namespace sim

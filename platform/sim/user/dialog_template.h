// A dialog template of the running program's resources, parsed from its compiled form (DIALOG or
// DIALOGEX), texts converted to the machine's ANSI code page. The resource reader fills it; the dialog
// manager builds dialogs from it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

struct DialogItem {
    std::uint32_t help_id = 0; // DIALOGEX only
    std::uint32_t style = 0;
    std::uint32_t ex_style = 0;
    short x = 0, y = 0, cx = 0, cy = 0; // dialog units
    std::uint32_t id = 0;
    // "BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX", a registered name, or "#N" for
    // another class atom N
    std::string class_name;
    std::string text;      // empty when the text is an ordinal
    int text_ordinal = -1; // resource ordinal (an icon of a static control), -1 when the text is a string
    std::vector<unsigned char> creation_data;
};

struct DialogTemplate {
    bool extended = false; // DIALOGEX
    std::uint32_t help_id = 0;
    std::uint32_t style = 0;
    std::uint32_t ex_style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string menu;       // empty: none; "#N" for the ordinal N
    std::string class_name; // empty: the dialog class; "#N" for the class atom N
    std::string caption;
    bool has_font = false; // DS_SETFONT
    int point_size = 0;
    int weight = 0;
    bool italic = false;
    int charset = 0; // DIALOGEX only (DEFAULT_CHARSET is 1)
    std::string face;
    std::vector<DialogItem> items;
};

// Parses a compiled template. False, with the reason, for malformed data (never reads past SIZE).
bool parse_dialog_template(const void* data, std::size_t size, unsigned codepage, DialogTemplate& out,
                           std::string* error);
// Finds the template NAME (a string matched without regard to case, or MAKEINTRESOURCE ordinal) in the
// running program's resources and parses it.
bool load_dialog_template(const char* name, DialogTemplate& out, std::string* error);

} // namespace sim

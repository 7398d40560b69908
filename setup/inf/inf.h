// Reading primitives of setup1.inf: list fields of a value and the key names of a section.
#pragma once

#include "platform/win32.h"

#include <cstddef>

// Longest list GetListField works on; a longer one is cut.
constexpr int kListFieldWorkCap = 504;
// Buffer of a section's key names.
constexpr int kKeyListCap = 1024;
// Buffer of a section name taken from the string table.
constexpr int kSectionNameCap = 64;

// Field N (from 1) of LIST, fields separated by DELIMITER; blanks after a delimiter are skipped. The field is
// cut to FIELDCAP bytes. False when there is no field N; then REPORT shows which field was missing.
BOOL GetListField(const char* list, int n, char* field, std::size_t fieldCap, char delimiter, BOOL report);
// Adds the key names of SECTION of FILE to COMBO in file order (DEFAULTTEXT when the section is missing)
// and selects the first. False, with a message, when there is nothing to add.
BOOL FillComboFromSection(HWND combo, const char* section, const char* defaultText, const char* file);

// The value of KEY in SECTION of setup1.inf (szInfFile), cut to CAP - 1 characters; DEFAULT_TEXT when the
// key or the section is missing, or KEY names no entry (null or empty). The result is its length.
DWORD ReadInfEntry(const char* section, const char* key, char* value, DWORD cap,
                   const char* defaultText = "");
// The key names of SECTION of setup1.inf into KEYS (CAP bytes, each name ended by a NUL and the list by a
// second one; a list that does not fit is cut). Empty when the section is missing. The length read.
DWORD ReadInfKeyList(const char* section, char* keys, DWORD cap);
// The same; false when the section is missing or empty, and REPORT then shows message 13 naming the file.
BOOL ReadInfKeys(const char* section, char* keys, DWORD cap, BOOL report);
// The same into the list box LIST, which is left without a selection.
BOOL FillListFromSection(HWND list, const char* section, const char* defaultText, const char* file);

// The value of KEY in the section SECTION_ID of szInfFile, cut to CAP bytes; empty when there is none. The
// length read.
DWORD ReadInfString(UINT sectionId, const char* key, char* value, DWORD cap);
// The same, reporting a value that is missing or empty with message 50, which names KEY and the section.
BOOL ReadRequiredInfString(UINT sectionId, const char* key, char* value, DWORD cap);

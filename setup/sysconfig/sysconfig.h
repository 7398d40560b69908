// Bringing the Windows configuration in line with the user's choices: national settings, code pages,
// keyboard libraries and the switch key, DOS-window fonts, the font registry and the Control Panel's
// country list, each previous value saved into uninst.inf first so that the uninstaller can put it back;
// and the product settings file.
#pragma once

#include "platform/win32.h"

#include <cstddef>

// Values read from setup1.inf and the Windows files: 1024 bytes, or 120 where a step says so.
constexpr int kConfigValueCap = 1024;
constexpr int kShortValueCap = 120;

// Results of GetRegKeyValueEx (the Windows codes).
constexpr LONG kRegValueRead = 0;
constexpr LONG kRegBadKey = 1010;  // ERROR_BADKEY: the key or the value cannot be read
constexpr LONG kRegMoreData = 234; // ERROR_MORE_DATA: the data does not fit the buffer

// ---- The update (update.cpp) ---------------------------------------------------------------------------
// True when the configuration was updated (the Control Panel step succeeded or was not needed).
BOOL UpdateSystemConfiguration();
// One log line: VERB, " entry KEY" when KEY is given, " section [SECTION]".
void LogConfigEntry(const char* verb, const char* section, const char* key);

// ---- Registry access (registry.cpp) ---------------------------------------------------------------------
BOOL RegKeyExists(HKEY root, const char* subKey);
// Creates the key when needed and sets the value; false after telling the user why not.
BOOL RegSetValueChecked(HKEY root, const char* subKey, const char* valueName, DWORD type, const BYTE* data,
                        DWORD size);
// Reads one value into BUFFER (SIZE bytes), terminated as text: kRegValueRead, kRegBadKey (buffer untouched
// when the key is missing, emptied when the value is) or kRegMoreData (buffer emptied, after a message).
LONG GetRegKeyValueEx(HKEY root, const char* subKey, const char* valueName, DWORD* type, BYTE* buffer,
                      DWORD size);

// ---- Saving previous settings into uninst.inf (saved_settings.cpp) ------------------------------------
// Writes KEY=VALUE into SECTION of FILE (a null VALUE deletes KEY, a null KEY the section); false after
// message 30.
BOOL WriteEntryOrReport(const char* file, const char* section, const char* key, const char* value);
// When the uninstall information is kept, copies the current value of KEY (cut to READCAP - 1 characters)
// under the same key into SAVESECTION of uninst.inf. False after message 30 when it could not be kept: the
// caller then leaves the entry as it is, since changing it would lose what the uninstaller puts back.
BOOL SavePreviousEntry(const char* file, const char* section, const char* key, const char* saveSection,
                       DWORD readCap = kConfigValueCap);
// Logs and writes the new value; false after message 30.
BOOL WriteNewEntry(const char* file, const char* section, const char* key, const char* value);
// The save-then-write step for one entry of a Windows profile file; an entry whose previous value could not
// be kept is not written.
BOOL SaveEntry(const char* file, const char* section, const char* key, const char* saveSection,
               const char* value, DWORD readCap = kConfigValueCap);
// Copies every entry of SECTION of win.ini into SAVESECTION of FILE; false when it has no entries. KEPT,
// when given, is cleared when an entry could not be written (message 30 has named it).
BOOL SaveProfileSection(const char* section, const char* saveSection, const char* file, BOOL* kept = nullptr);
// Copies every value of the registry key into SAVESECTION of FILE as text; false when it cannot be opened.
// KEPT as above.
BOOL SaveRegistryKey(HKEY root, const char* subKey, const char* saveSection, const char* file,
                     BOOL* kept = nullptr);
// Copies control.inf of the system directory to control.old, expanded; false after a message when
// control.inf cannot be read or the copy cannot be written whole (no partial copy is left).
BOOL BackupControlInf();

// ---- Configuration file edits (config_files.cpp) -------------------------------------------------------
BOOL WriteInternationalSettings();
BOOL WriteLanguageAndKeyboardEntries();
BOOL WriteDosWindowFonts();
BOOL EditControlInf();

// ---- Font registry entries (font_registry.cpp) ---------------------------------------------------------
BOOL WriteFontRegistry();
// DIRECTORY null registers the bare file name.
BOOL RegisterFontFromSection(const char* section, const char* key, const char* directory);
BOOL RegisterTrueTypeFonts(const char* section, const char* directory);
BOOL WriteSystemFontSettings();
BOOL WriteDisplaySetting(const char* valueName, const char* section, const char* key);
BOOL WriteFontSubstitutes();

// ---- The product settings file (product_settings.cpp) --------------------------------------------------
// Writes the installed layouts into tarno.ini.
void WriteProductSettingsFile();

// What the copy routines share: log lines made of pieces, values of setup1.inf, the existing-file rule and
// the reports of failed writes.
#pragma once

#include "platform/win32.h"
#include "setup/sysconfig/sysconfig.h" // WriteEntryOrReport, shared with the saved settings

#include <cstddef>

// Writes HEAD + TAIL (+ MORE) as one log line while logging is on; a long line is cut.
void LogJoined(const char* head, const char* tail, const char* more = nullptr);

// The key names of SECTION of setup1.inf into KEYS (CAP bytes, each name ended by a NUL, the list by two;
// empty when the section is missing) and their LENGTH. False after message 49 when the list does not fit:
// its last name would be cut into another name.
BOOL ReadKeyList(const char* section, char* keys, DWORD cap, DWORD* length);

// Copies FILE_NAME of disk DISK from szSourceDir into DEST_DIR, unless old files are kept and it is there
// already: then its size is counted as copied. False when the copy stopped.
BOOL CopyUnlessKept(const char* disk, const char* destDir, const char* fileName);

// Bytes that key KEY of section "volume" of setup1.inf gives (a leading decimal number; 0 when missing).
int ReadVolumeBytes(const char* key);
int ReadVolumeBytes(UINT keyId);

// What uninst.inf tells the uninstaller: with the uninstaller enabled, where the product is and "Yes";
// else "No", unless DISABLED_UNSAID (an earlier installation keeps what it said).
void RecordUninstallState(BOOL disabledUnsaid);

// A destination that cannot be made (and is not there): skipped silently once the user said "Yes to All",
// else the user is asked about the failure CODE. kAttemptSkip or kAttemptStop.
int RefuseDestination(const char* path, int code = LZERROR_BADOUTHANDLE);

// One entry of a font section: its whole VALUE and the FILE_NAME of field FIELD; false ends the walk with
// failure.
using FontEntryHandler = bool (*)(const char* value, const char* fileName, int field, const char* destDir);
// Hands every entry of font section SECTION_ID to HANDLE, up to the first without a file name. False after
// message 13 when the section has no entries, after message 48 when an entry lacks field FIELD, or when
// HANDLE fails.
BOOL ForEachFontEntry(UINT sectionId, int field, const char* destDir, FontEntryHandler handle);

// Copying the distribution: the disk-space check before it, the copy of an ordinary installation, the copy
// of a server installation, and beneath them the copy of one file with its error policy and the prompts for
// the disks.
//
// Every copy routine answers 0 for stop (the user ended the copying or gave up at a prompt) and non-zero
// for go on.
#pragma once

#include "platform/win32.h"

#include <cstddef>

// ---- Disk space
// --------------------------------------------------------------------------------------------- Bytes of
// section "volume" that the chosen components need on the destination drive and on the Windows drive (the
// latter without "WINOTHER"), and the "WINOTHER" bytes; 0 for a missing key.
int GetDestinationSize();
int GetWindowsSize();
int GetWindowsOtherSize();
// The progress maximum of the copy: the destination and Windows sizes together.
int GetTotalCopySize();
// Free bytes of the drive LETTER, or of the drive whose root is ROOT ("C:\", "\\SERVER\SHARE\"); 0 when the
// system cannot tell.
ULONGLONG GetDriveFreeSpace(char letter);
ULONGLONG GetRootFreeSpace(const char* root);
// Kilobytes that BYTES need with a tenth added for safety, as the check counts them.
DWORD NeedKilobytes(ULONGLONG bytes);
// True to go on with the copy, false when the user chose Abort.
BOOL CheckDiskSpace();

// ---- The copy of an ordinary installation
// ------------------------------------------------------------------- True when everything selected was
// copied or skipped at the user's answer, false when the copy stopped.
BOOL CopyFiles();
// Every file of the file-list section SECTION_ID (key = file name, value = disk) into DEST_DIR.
BOOL CopySection(UINT sectionId, const char* destDir);
// The one file that the entry KEY of a keyed section names: field FIELD of its value is the file name,
// field FIELD + 1 its disk. By string id the section is logged (and "sysfonts" and "fixedfonts" get the
// system-fonts code page appended); by name it is not.
BOOL CopySectionItem(UINT sectionId, const char* key, int field, const char* destDir);
BOOL CopySectionItem(const char* section, const char* key, int field, const char* destDir);
// Section "Location" of INI_PATH becomes the one entry DEST_DIR = " ". Failed writes are reported; the copy
// goes on.
BOOL WriteLocationSection(const char* iniPath, const char* destDir);
// The TrueType fonts of section SECTION_ID (file in field FIELD, disk in FIELD + 1) into DEST_DIR, each added
// to the system's font table.
BOOL CopyTrueTypeFonts(UINT sectionId, int field, const char* destDir);

// ---- The copy of a server installation
// ---------------------------------------------------------------------- Copies distribution disk DISK ("1",
// "2") into the destination; CREATE_SUBDIRS recreates its folders there, else their files go straight into
// the destination. False when the user stopped or a listing failed.
BOOL CopyServerDisk(const char* disk, BOOL createSubdirs);
// Makes the font resource files of the TrueType fonts in DEST_DIR.
BOOL CreateServerFontFiles(const char* destDir);

// ---- One file
// ----------------------------------------------------------------------------------------------- What one
// attempt at a file gives besides a byte count.
constexpr int kAttemptSkip = -1;    // the user chose to skip the file
constexpr int kAttemptStop = -2;    // the user stopped the copying
constexpr int kSourceNotFound = -3; // the source is under neither of its names: ask for the disk

// Copies FILE_NAME from SOURCE_DIR (a buffer of kPathCap bytes, replaced in place by a path the user gives at
// a prompt) into DEST_DIR, expanding it. 0 stop, 1 skipped (or one byte), else the bytes written or the size
// of a destination that was kept. A file of no bytes is copied and answers 1.
int CopySetupFile(const char* disk, char* sourceDir, const char* destDir, const char* fileName);
// One attempt: bytes written (0 or more), kSourceNotFound, kAttemptSkip or kAttemptStop.
int ExpandFile(const char* sourceDir, const char* destDir, const char* fileName);
// Logs the failure CODE (an LZERROR_* value) on PATH and asks the user: kAttemptSkip or kAttemptStop.
int ReportCopyError(int code, const char* path);
// The name under which a distribution file lies compressed: the last character of the extension becomes
// "_", a name without extension gets "._". False, with OUT empty, when it does not fit.
BOOL GetCompressedName(const char* path, char* out, std::size_t cap);
// Names FILE_NAME and DEST_DIR + FILE_NAME in the information window and shows it at once.
void ShowCopyProgress(const char* destDir, const char* fileName);
// A bare file name that names a file in the directory it is joined to: no drive, no "\" or "/", not only
// dots and blanks.
BOOL IsPlainFileName(const char* name);
// DIR + NAME into OUT, or false (OUT empty) when NAME is not a plain file name or the path does not fit.
BOOL BuildFilePath(char* out, std::size_t cap, const char* dir, const char* name);

// ---- Disks
// -------------------------------------------------------------------------------------------------- Asks for
// disk DISK (or a path) for FILE_NAME; true with the path the user confirmed in PATH (ending in a backslash),
// false when the user gave up.
BOOL PromptForDisk(const char* fileName, const char* disk, char* path, std::size_t cap);
// Waits until the tag file TAG_NAME of disk DISK is in szSourceDir, asking for the disk; false when the user
// gave up.
BOOL CheckDiskTag(const char* disk, const char* tagName);

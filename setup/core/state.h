// The setup state: one process-wide set of variables, written by the installation driver and the dialogs
// and read by every step. The program has one thread, so nothing is locked. Flags are 32-bit integers used
// as booleans; texts are NUL-terminated ANSI buffers whose capacity includes the NUL; directory paths end
// in a backslash.
#pragma once

#include "platform/win32.h"

// Capacities of the text buffers (bytes, with the NUL).
constexpr int kInfFileCap = 272;
constexpr int kPathCap = 260;
constexpr int kCountryKeyCap = 4;
constexpr int kSystemFontsCodePageCap = 8;
constexpr int kDosCodePageCap = 4;
constexpr int kHotKeyCap = 64;
constexpr int kDefaultUserCountryCap = 128;
constexpr int kStartupGroupCap = 64;
constexpr int kUninstInfCap = 208;
constexpr int kDialogFontCap = 128;
constexpr int kFontResourceCap = 272;

// ---- Mode flags -------------------------------------------------------------------------------------------
extern BOOL fServerSetup;        // /a: copy the distribution into a server directory
extern BOOL fWorkstationSetup;   // /n: configure for a product already on a server, copy nothing
extern BOOL fExpressSetup;       // /e: no Welcome and Installation Options dialogs
extern BOOL fWriteLog;           // 1; /q or a log that cannot be created clear it
extern BOOL fOemSetup;           // /o: install flags from "OemInstallFlags"
extern BOOL fDeleteSetupDir;     // /d: hand the end of the run to uninst.exe
extern BOOL fShowWelcomeDialog;  // 1
extern BOOL fAskCountryAndPath;  // 1
extern BOOL fAskSetupOptions;    // 1
extern BOOL fAskRestartOrReturn; // 1; 0 restarts without asking
extern BOOL fLatinTexts;         // captions use string 12 because the system font lacks Cyrillic

// ---- Component and detection flags ------------------------------------------------------------------------
extern BOOL fProgramFiles;          // 1
extern BOOL fLayouts;               // 1
extern BOOL fFonts;                 // 1
extern BOOL fApplications;          // 1
extern BOOL fTrueTypeFonts;         // 1
extern BOOL fSystemFonts;           // 1
extern BOOL fScreenFonts;           // 1
extern BOOL fPlotterFonts;          // 1
extern BOOL fPrinterFonts;          // 0
extern BOOL fDevelopersKitSample;   // 0
extern BOOL f9PinPrinters;          // 0: a 9-pin printer known to setup1.inf is installed
extern BOOL f24PinPrinters;         // 0: a 24-pin printer known to setup1.inf is installed
extern BOOL f9PinPrinterFonts;      // 0
extern BOOL f24PinPrinterFonts;     // 0
extern int nPrinterDriversToUpdate; // 0; only the log header shows it
extern BOOL fAlreadyInstalled;      // 0
extern BOOL fUninstallEnabled;      // 1
extern BOOL fReplaceOldFiles;       // 1

// ---- Handles, counters and values -------------------------------------------------------------------------
extern HINSTANCE hInst;
extern HWND hwndSetup;       // the full-screen main window, owner of every dialog; null until it exists
extern HWND hwndAdvert;      // advertising child window
extern HWND hwndInfor;       // progress child window
extern char chListDelimiter; // ','
extern HGLOBAL hLang;        // language and layout table
extern HGLOBAL hMem;         // work block of the copy driver
extern int nProgressTotal;
extern int nProgressDone;
extern int nExitDialog;         // 3: exit dialog with "Return to Windows", 2: without
extern int nCurrentDosCodePage; // set when the main window is created
extern HBRUSH hbrDialogBack;    // background of the program's dialogs; made with the main window

// One record of the language and layout table in hLang.
struct LangEntry {
    char szCode[4];    // up to three characters
    char szLayout[30]; // layout name, up to 29 characters
};
extern int nLang;         // records in hLang
extern LangEntry* lpLang; // hLang as last locked; valid only while it is locked

// ---- Text buffers -----------------------------------------------------------------------------------------
extern char szInfFile[kInfFileCap];                         // full path of setup1.inf
extern char szStartPath[kPathCap];                          // /s path with a trailing backslash, or empty
extern char szWindowsDir[kPathCap];                         // with a trailing backslash
extern char szSystemDir[kPathCap];                          // with a trailing backslash
extern char szFontsDir[kPathCap];                           // szWindowsDir + "FONTS\"
extern char szDestDir[kPathCap];                            // with a trailing backslash
extern char szCountryKey[kCountryKeyCap];                   // up to three characters
extern char szSystemFontsCodePage[kSystemFontsCodePageCap]; // up to four digits
extern char szDosCodePage[kDosCodePageCap];                 // up to three digits
extern char szHotKey[kHotKeyCap];                           // "Left Ctrl" unless setup1.inf says otherwise
extern char szDefaultUserCountry[kDefaultUserCountryCap];   // "Russia" unless setup1.inf says otherwise
extern char szStartupGroup[kStartupGroupCap]; // "StartUp" unless the Windows setup.inf names one
extern char szLogFile[kPathCap];              // empty while there is no log
extern char szUninstInf[kUninstInfCap];       // szDestDir + "uninst.inf"
extern char szDialogFont[kDialogFontCap];     // face of messages and child windows
extern char szFontResource[kFontResourceCap]; // loaded font file, empty when not loaded

// ---- Registry locations, fixed at start-up ----------------------------------------------------------------
struct RegLocation {
    HKEY hRoot;
    char szSubKey[80];
};
extern RegLocation regDisplaySettings; // HKEY_CURRENT_CONFIG "Display\Settings"
extern RegLocation regDisplayFonts;    // HKEY_CURRENT_CONFIG "Display\Fonts"
extern RegLocation regFonts;           // HKEY_LOCAL_MACHINE "SOFTWARE\Microsoft\Windows\CurrentVersion\Fonts"
extern RegLocation regFontSubstitutes; // ... "\FontSubstitutes"

// String ids of the names of the Windows configuration files that are edited.
extern UINT idWinIni;     // "win.ini"
extern UINT idSystemIni;  // "system.ini"
extern UINT idSetupInf;   // "setup.inf"
extern UINT idControlInf; // "control.inf"

// ---- Country defaults that come with the layout table
// -------------------------------------------------------
constexpr int kLayoutNameCap = 32;
constexpr int kLayoutSwitchCap = 36;
constexpr int kFontResCap = 4;
extern char szLayout1[kLayoutNameCap];        // the first current layout
extern char szLayout2[kLayoutNameCap];        // the second; empty when the country has one layout
extern char szLayoutSwitch[kLayoutSwitchCap]; // the hot key that switches layouts
extern int nFontRes;                          // string id of the font resolution code: 230, 231 or 233
extern char szFontRes[kFontResCap];           // its text: "HI1", "HI2" or "HI4"

// Sets every variable above to its value at program start (all handles null).
void ResetSetupState();
// Fixes the registry locations and the configuration file ids; part of the start-up.
void SetRegistryLocations();
void SetConfigFileIds();

// ---- Progress, advertisements and dialog results (added with the progress windows and the wizard) -------
constexpr int kProgressFileCap = 260;
constexpr int kProgressTextCap = 272;
extern char szProgressFile[kProgressFileCap]; // file being copied; empty when none is named
extern char szProgressText[kProgressTextCap]; // its destination, or a status text
extern WORD nDialogResult;                    // 0 leave Setup, 1 continue, 2 back: set by every wizard dialog
extern HBRUSH hbrBlue;                        // filled part of the progress bar; made with the main window
extern HPEN hpenBlue;                         // its outline
extern HBITMAP hbmNation;                     // picture of the country dialog, loaded with the main window
extern HBITMAP hbmDirect;                     // picture of the insert-disk dialog, likewise
extern HBITMAP hbmAdvert[5];                  // the advertising pictures, loaded with the main window
// Clears the variables of this block; ResetSetupState leaves them alone.
void ResetProgressState();

// ---- Source of the copy and the path the directory dialogs hand over
// ---------------------------------------
constexpr int kDialogPathCap = 120;
extern char szSourceDir[kPathCap];        // where the distribution files are read, with a trailing backslash
extern BOOL fSourcePathSet;               // 1 once a source path is known (the start path or a disk prompt's)
extern BOOL fIgnoreCreateErrors;          // 1 after "Yes to All" on a destination that cannot be created
extern char szDialogPath[kDialogPathCap]; // Define Directory's start and result; Insert disk's path
// Clears the variables of this block; part of ResetSetupState.
void ResetCopyState();

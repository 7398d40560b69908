// Start-up of the main setup program: switches, directories, install flags, the location of setup1.inf,
// the system probes the later steps ask, the main window's class and the hand-over to the uninstaller.
#pragma once

#include "common/bounded.h"
#include "platform/win32.h"
#include "setup/core/state.h"

#include <cstddef>

// The longest command line looked at; the rest is cut.
constexpr int kCommandLineCap = 512;

// ---- Paths and files --------------------------------------------------------------------------------------
// AddBackslash (common/bounded.h) appends a backslash unless the path ends in one.
void StripBackslash(char* path);
// Size of a file opened for reading with shared read access; 0 when it cannot be opened.
DWORD GetFileSizeByName(const char* path);
// True when the file can be opened for reading with shared read access.
BOOL FileExists(const char* path);
// Drive and directory of the running program, with a trailing backslash.
void GetModuleDir(char* dir, std::size_t cap);
// The product settings file: the Windows directory + "tarno.ini". False, with PATH empty, when it does not
// fit CAP bytes.
BOOL GetProductIniPath(char* path, std::size_t cap);
// A string of the program's table; empty when it does not exist.
void LoadText(UINT id, char* out, std::size_t cap);

// ---- Start-up ---------------------------------------------------------------------------------------------
// The whole run from the entry point; its result is the exit code.
int RunSetup(HINSTANCE instance, const char* commandLine);
BOOL IsWindows95();
// False when the program must end (the user asked for the switch list).
BOOL ParseCommandLine(const char* commandLine);
BOOL ResolveDirectories();
void ReadInstallFlags(const char* infPath);
// Fills szInfFile; false when setup1.inf was not found and the user gave up looking for it.
BOOL LocateSetupInf(HWND owner);

// ---- Main window (setup_window.cpp) -----------------------------------------------------------------------
EXPORTED LRESULT CALLBACK SetupWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL RegisterSetupClasses(HINSTANCE instance);
BOOL CreateSetupWindow(HINSTANCE instance);
int RunMessageLoop();

// ---- Installation (installation.cpp) ---------------------------------------------------------------------
// Runs the whole installation; ends by posting the setup window WM_DESTROY with 1 (completed) or 0.
void RunInstallation(HWND hwnd);
// True when tarno.ini records szDestDir as the product's location.
BOOL IsAlreadyInstalled();
// Takes szDestDir and szCountryKey from tarno.ini for a workstation of a server installation.
BOOL ReadWorkstationLocation();

// ---- Exit -------------------------------------------------------------------------------------------------
// Exit choices: 0 return to Windows, 1 shut down, 2 restart.
// KIND 3 offers "Return to Windows", 2 does not.
int ShowExitDialog(int kind);
int ShowExitServerDialog();

// ---- System probes ----------------------------------------------------------------------------------------
// Key "fonts.fon" of [boot] in system.ini; empty when missing.
void GetBootFontsEntry(char* text, std::size_t cap);
BOOL IsSmallSystemFont();
BOOL SystemFontShowsCyrillic();
int GetCurrentDosCodePage();
// 0, 9, 24, or 33 when printers of both kinds are installed.
int DetectDotMatrixPrinters();

// ---- Hand-over to the uninstaller -------------------------------------------------------------------------
// False, with COMMAND empty, when it does not fit CAP bytes.
BOOL BuildUninstallerCommand(int exitChoice, char* command, std::size_t cap);
// Starts uninst.exe of the destination directory without waiting; a failed start is not reported.
void StartUninstaller(int exitChoice);

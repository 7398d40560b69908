// The setup loader: checks its switches and the free space of the Windows drive, copies the main setup
// program and setup1.inf into a temporary directory under the Windows directory, starts the main setup
// from there and ends.
#pragma once

#include "platform/win32.h"

// Switches of the command line (words split at blanks, "/" and "-").
extern BOOL fSwitchA; // server installation
extern BOOL fSwitchN; // network workstation installation
extern BOOL fSwitchE; // express setup
extern BOOL fSwitchQ; // no log messages
extern BOOL fSwitchO; // OEM setup

extern char szLoaderWindowsDir[MAX_PATH];       // with a trailing backslash once the checks passed
extern char szLoaderSourceDir[MAX_PATH];        // drive and directory of the loader, trailing backslash
extern char szLoaderTempDir[MAX_PATH];          // Windows directory + "TNSETUP.TMP\"
extern char szLoaderCommand[2 * MAX_PATH + 64]; // command line of the main setup program
extern HWND hwndLoader;

// The longest command line the loader looks at.
constexpr int kLoaderCommandLineMax = 511;
// Free space the Windows drive needs, in kilobytes.
constexpr DWORD kLoaderNeedKB = 250;

void ResetLoaderState();

// Switches. Returns false when the loader must end: help shown, or an incompatible pair reported.
enum class SwitchOutcome { Go, Help, Conflict };
SwitchOutcome ParseLoaderSwitches(const char* commandLine);
// The message for an incompatible pair, or nullptr when the switches go together.
const char* IncompatibleSwitchesMessage();
BOOL HandleLoaderSwitches(const char* commandLine);

// Messages by string id of the loader's string table, formatted with the arguments.
int LoaderMessage(HWND owner, UINT style, UINT stringId, ...);

// Free space of the Windows drive in whole kilobytes (0 when the query fails), and the check of it.
DWORD WindowsDriveFreeKB(char driveLetter);
BOOL CheckLoaderFreeSpace();

// The name under which a file lies compressed: the last character of the extension becomes "_", a name
// without extension gets "._". False, with OUT empty, when the name does not fit its CAP bytes.
BOOL MakeCompressedName(const char* name, char* out, size_t cap);

// The copy run by the window procedure; returns the end code (0 copied, 1 failed).
int CopySetupFiles();
// Starts the main setup program; shows a message when it cannot be started.
void HandOver();
// Builds szLoaderCommand from the copied program's path, the switches and the source directory.
void BuildLoaderCommand(const char* programPath);

EXPORTED LRESULT CALLBACK CopySetupWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL CreateLoaderWindow(HINSTANCE instance);
int RunLoaderMessageLoop();

// The whole run of the loader; its result is the exit code.
int RunLoader(HINSTANCE instance, const char* commandLine);

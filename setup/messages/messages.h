// Every message of the program goes through its own Message dialog, laid out at run time to fit the text;
// the setup log records each step of an installation.
#pragma once

#include "platform/win32.h"

// The program's own button set: Yes, Yes to All, No; and its result.
constexpr UINT MB_YESYESTOALLNO = 7;
constexpr int IDYESTOALL = 8;

// Shows TEXT with the message-box STYLE; the result is the id of the button pressed (IDOK ... IDNO,
// IDYESTOALL), or -1 when the dialog could not be created. CAPTION null keeps the template's title; FACE
// null uses the system font.
int SetupMessageBox(const char* text, const char* caption, const char* face, UINT style);
// The string STRINGID formatted with the arguments in the manner of wvsprintf. OWNER is not used: every
// message is owned by the main window.
int ShowSetupMessage(HWND owner, UINT style, UINT stringId, ...);
EXPORTED INT_PTR CALLBACK MessageDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);

// What the last Message dialog computed for its layout, in pixels of its client area.
struct MessageLayout {
    RECT text;       // where the text is drawn
    int iconSize;    // 32 or 0
    int buttonCount; // 1 to 3
    int clientWidth;
    int clientHeight;
};
const MessageLayout& LastMessageLayout();

// ---- Setup log --------------------------------------------------------------------------------------------
// Longest text of one log line; with CR LF it fills a 256-byte line.
constexpr int kLogTextMax = 253;

// Creates (or empties) TNSETUP.LOG in DIRECTORY; when that fails the run goes on without a log.
void CreateSetupLog(const char* directory);
// The block of component and flag lines.
void WriteLogHeader();
// Appends TEXT and CR LF to the log; a longer text is cut to kLogTextMax characters. True when the whole
// line was written.
BOOL WriteLogLine(const char* logPath, const char* text);
// Writes TEXT into szLogFile while fWriteLog is set.
void LogLine(const char* text);

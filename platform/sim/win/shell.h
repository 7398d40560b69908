// Shell-side calls: starting programs, ending the session, finding windows of other programs and the
// keyboard notice.
#pragma once

#include "platform/sim/win/types.h"

UINT WINAPI WinExec(LPCSTR lpCmdLine, UINT uCmdShow);

#define EWX_LOGOFF 0x00000000
#define EWX_SHUTDOWN 0x00000001
#define EWX_REBOOT 0x00000002
#define EWX_FORCE 0x00000004
#define EWX_POWEROFF 0x00000008
BOOL WINAPI ExitWindowsEx(UINT uFlags, DWORD dwReason);

HWND WINAPI FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName);

int WINAPI ToAscii(UINT uVirtKey, UINT uScanCode, const BYTE* lpKeyState, LPWORD lpChar, UINT uFlags);

// The two child windows of the setup window that report the copy: the information window ("SetupInfor":
// file, destination, progress bar and percentage) and the advertising window ("SetupAdvert": a picture and
// a few lines about the product's applications, one of five, moving on with every quarter of the copy).
#pragma once

#include "platform/win32.h"

constexpr int kAdvertCount = 5;

// Registers "SetupInfor" and then "SetupAdvert"; the result is that of the second registration.
BOOL RegisterChildClasses();

LRESULT CALLBACK InforWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK AdvertWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Names the file being copied (FILE may be empty) and its destination or a status text, and shows the
// information window with them at once.
void ShowProgressTexts(LPCSTR file, LPCSTR text);

// The percentage the information window shows for nProgressDone of nProgressTotal: 0 to 100.
int ProgressPercent();
// The filled width of a progress bar of LENGTH pixels: 0 to LENGTH.
int ProgressBarWidth(int length);

// Shared by the two windows: the next advertisement due, the guard that keeps a nested repaint of the
// information window from showing one twice, and the advertisement the advertising window shows.
extern int nAdvertIndex;
extern BOOL fAdvertShowGuard;
extern int nAdvertShown;
// Back to the state before the first paint (no advertisement shown yet).
void ResetAdvertisements();

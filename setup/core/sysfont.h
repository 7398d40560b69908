// Probes of the system font that Windows boots with (key "fonts.fon" of [boot] in system.ini).
#pragma once

#include "platform/win32.h"

// The value of "fonts.fon" in [boot] of system.ini in the Windows directory; empty when missing.
void GetBootFontsEntry(char* entry, int cap);
// True unless the boot font's file name begins with "8" (the large-font set).
BOOL IsSmallSystemFont();

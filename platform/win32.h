// The one platform include of the product. On Windows it is the system's own headers; elsewhere the
// declarations of the simulated Windows 95 in platform/sim, which provide the same names, types and
// constants.
#pragma once

#if defined(_WIN32)
#ifndef STRICT
#define STRICT
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commdlg.h>
#include <ddeml.h>
#include <lzexpand.h>
#define EXPORTED extern "C" __declspec(dllexport)
#else
#include "platform/sim/win/windows.h"
#define EXPORTED extern "C"
#endif

// EXPORTED marks the declaration of a window, dialog or DDE procedure that the program exports under its
// plain name, as Windows programs export their callbacks (the Windows builds check the export table).

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
#else
#include "platform/sim/win/windows.h"
#endif

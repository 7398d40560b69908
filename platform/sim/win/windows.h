// Declarations of the simulated Windows 95: the subset of the Win32 API that the product calls, with the
// names, types, constants and Win64 sizes of the real headers, ANSI entry points only.
#pragma once

#include "platform/sim/win/types.h"
#include "platform/sim/win/kernel.h"
#include "platform/sim/win/profile.h"
#include "platform/sim/win/strings.h"
#include "platform/sim/win/memory.h"
#include "platform/sim/win/lzexpand.h"
#include "platform/sim/win/registry.h"
#include "platform/sim/win/resources.h"
#include "platform/sim/win/gdi.h"
#include "platform/sim/win/user.h"
#include "platform/sim/win/commdlg.h"
#include "platform/sim/win/shell.h"
#include "platform/sim/win/ddeml.h"

// The product's Program Manager group.
#pragma once

#include "platform/win32.h"

// True when every command was accepted; false when Program Manager cannot be reached or one failed.
BOOL CreateProgmanGroup();

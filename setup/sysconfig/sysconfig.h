// Bringing the Windows configuration in line with the user's choices, and the product settings file.
#pragma once

#include "platform/win32.h"

// True when the configuration was updated (the Control Panel step succeeded or was not needed).
BOOL UpdateSystemConfiguration();
// Writes the installed layouts into tarno.ini.
void WriteProductSettingsFile();

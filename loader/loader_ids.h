// String table of the loader.
#pragma once

#define IDS_LOADER_CAPTION 11
#define IDS_NO_WINDOWS_DIR 15
#define IDS_SWITCH_HELP 17
#define IDS_TEMP_DIR_NAME 71
#define IDS_MAIN_PROGRAM 72
#define IDS_SETUP_INF 73

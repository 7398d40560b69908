// String ids of the setup loader, shared by loader.rc and the loader's code: #defines only.
#pragma once

#define IDS_LOADER_CAPTION 11        // "Setup": caption of the messages shown by string id
#define IDS_LOADER_NO_WINDOWS_DIR 15 // "Can't Find Windows Directory"
#define IDS_LOADER_SWITCHES_HELP 17  // "Possible command line switches: %s"
#define IDS_LOADER_TEMP_DIR 71       // "TNSETUP.TMP": the temporary directory under the Windows directory
#define IDS_LOADER_MAIN_PROGRAM 72   // "tnsetup.exe": the main setup program, copied second and started
#define IDS_LOADER_INF_FILE 73       // "setup1.inf": the setup information file, copied first

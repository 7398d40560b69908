// Copying the distribution: the disk-space check before it, the copy of an ordinary installation and the
// copy of a server installation.
#pragma once

#include "platform/win32.h"

// True to go on with the copy, false when the user chose Abort.
BOOL CheckDiskSpace();
// True when everything selected was copied or skipped at the user's answer, false when the copy stopped.
BOOL CopyFiles();
// Copies distribution disk DISK ("1", "2") into the destination; CREATE_SUBDIRS recreates its folders there,
// else their files go straight into the destination. False when the user stopped or a listing failed.
BOOL CopyServerDisk(const char* disk, BOOL createSubdirs);
// Makes the font resource files of the TrueType fonts in DEST_DIR.
BOOL CreateServerFontFiles(const char* destDir);

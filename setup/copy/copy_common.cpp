#include "setup/copy/copy_common.h"

#include "common/bounded.h"
#include "setup/copy/copy.h"
#include "setup/core/setup.h"
#include "setup/inf/inf.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"

void LogJoined(const char* head, const char* tail, const char* more) {
    if (!fWriteLog) return;
    char line[kLogTextMax + 1];
    CopyText(line, head);
    AppendText(line, tail);
    if (more) AppendText(line, more);
    LogLine(line);
}

BOOL ReadKeyList(const char* section, char* keys, DWORD cap, DWORD* length) {
    *length = ReadInfKeyList(section, keys, cap);
    if (cap < 2 || *length != cap - 2) return TRUE;
    ShowSetupMessage(hwndSetup, MB_ICONHAND, IDS_CANT_READ_SECTION, section);
    return FALSE;
}

BOOL CopyUnlessKept(const char* disk, const char* destDir, const char* fileName) {
    char dest[kPathCap];
    if (!fReplaceOldFiles && BuildFilePath(dest, sizeof dest, destDir, fileName) && FileExists(dest)) {
        nProgressDone += static_cast<int>(GetFileSizeByName(dest));
        return TRUE;
    }
    return CopySetupFile(disk, szSourceDir, destDir, fileName) != 0;
}

int RefuseDestination(const char* path, int code) {
    if (!fIgnoreCreateErrors) return ReportCopyError(code, path);
    LogJoined(path, " - can not create destination file, skipped.");
    return kAttemptSkip;
}

int ReadVolumeBytes(const char* key) {
    char section[32];
    LoadText(IDS_SEC_VOLUME, section, sizeof section);
    return static_cast<int>(GetPrivateProfileIntA(section, key, 0, szInfFile));
}

int ReadVolumeBytes(UINT keyId) {
    char key[32];
    LoadText(keyId, key, sizeof key);
    return ReadVolumeBytes(key);
}

void RecordUninstallState(BOOL disabledUnsaid) {
    char enabled[32];
    LoadText(IDS_SEC_ENABLED, enabled, sizeof enabled);
    if (fUninstallEnabled) {
        WriteLocationSection(szUninstInf, szDestDir);
        WriteEntryOrReport(szUninstInf, enabled, enabled, "Yes");
    } else if (!disabledUnsaid) {
        WriteEntryOrReport(szUninstInf, enabled, enabled, "No");
    }
}

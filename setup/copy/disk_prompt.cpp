// Asking for a distribution disk: by the file that is not found (ordinary installation) or by the disk's
// tag file (server installation). Disks are named to the user by section "disks" of setup1.inf.
#include "common/bounded.h"
#include "setup/copy/copy.h"
#include "setup/copy/copy_common.h"
#include "setup/core/setup.h"
#include "setup/dialogs/wizard.h"
#include "setup/inf/inf.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"

#include <cstring>

namespace {

constexpr int kDiskLineCap = 128;
constexpr int kTagDiskLineCap = 200;

// The name of disk DISK as the user knows it: field 1 of its "disks" entry, DEFAULT_NAME without one.
void ReadDiskLabel(const char* disk, const char* defaultName, char* label, std::size_t lineCap) {
    char section[32];
    LoadText(IDS_SEC_DISKS, section, sizeof section);
    char line[kTagDiskLineCap];
    ReadInfEntry(section, disk, line, static_cast<DWORD>(lineCap < sizeof line ? lineCap : sizeof line),
                 defaultName);
    GetListField(line, 1, label, kTagDiskLineCap, chListDelimiter, FALSE);
}

// True when the tag file opens; only its own name counts, never its compressed name. FOUND receives where it
// was found (a bare name is looked for along the system's search path).
bool TagPresent(const char* path, char* found, std::size_t cap) {
    OFSTRUCT of;
    HFILE file = OpenFile(path, &of, OF_READ);
    if (file == HFILE_ERROR) return false;
    _lclose(file);
    CopyTextN(found, cap, of.szPathName);
    return true;
}

// Without a source directory yet, the tag's own directory becomes the source: the disk is listed there.
void TakeSourceOfTag(const char* found) {
    if (szSourceDir[0]) return;
    const char* slash = std::strrchr(found, '\\');
    if (slash) CopyTextN(szSourceDir, static_cast<std::size_t>(slash - found) + 2, found);
}

} // namespace

BOOL PromptForDisk(const char* fileName, const char* disk, char* path, std::size_t cap) {
    char label[kTagDiskLineCap];
    ReadDiskLabel(disk, "TARNO Disk", label, kDiskLineCap);
    LogJoined("Prompt: Insert disk or type path to file ", fileName);
    if (RunInsertDiskDialog(label) != kDialogContinue) {
        LogLine("Prompt dialog cancelled.");
        return FALSE;
    }
    fSourcePathSet = TRUE;
    CopyTextN(path, cap, szDialogPath);
    LogJoined("New source path:", path);
    return TRUE;
}

BOOL CheckDiskTag(const char* disk, const char* tagName) {
    for (;;) {
        char path[kPathCap], found[kPathCap];
        bool present = JoinPath(path, szSourceDir, tagName) && TagPresent(path, found, sizeof found);
        ShowCopyProgress(szDestDir, tagName);
        if (present) {
            TakeSourceOfTag(found);
            return TRUE;
        }
        char label[kTagDiskLineCap];
        ReadDiskLabel(disk, "Insert setup disk", label, kTagDiskLineCap);
        if (RunInsertDiskDialog(label) != kDialogContinue) return FALSE;
        fSourcePathSet = TRUE;
        CopyText(szSourceDir, szDialogPath);
    }
}

// The server installation: the distribution disks copied whole and expanded into the destination on the
// server, disk 1 with its folders one level deep and disk 2 flat, and the font resource files of the
// TrueType fonts made beside them.
#include "common/bounded.h"
#include "setup/copy/copy.h"
#include "setup/copy/copy_common.h"
#include "setup/core/setup.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"

#include <cstring>

namespace {

constexpr int kTagCap = 16;

// A disk's listing, sorted by name: plain files by name, folders as "[NAME]".
class Listing {
  public:
    Listing()
        : box_(CreateWindowExA(0, "LISTBOX", "", LBS_SORT, 0, 0, 0, 0, nullptr, nullptr, hInst, nullptr)) {}
    ~Listing() {
        if (box_) DestroyWindow(box_);
    }
    Listing(const Listing&) = delete;
    Listing& operator=(const Listing&) = delete;

    // Lists DIR + "*.*", with its folders when FOLDERS; false after message 27 when it cannot.
    bool List(const char* dir, bool folders) {
        char pattern[kPathCap];
        LRESULT listed = LB_ERR;
        if (box_ && JoinPath(pattern, dir, "*.*"))
            listed =
                SendMessageA(box_, LB_DIR, folders ? DDL_DIRECTORY : 0, reinterpret_cast<LPARAM>(pattern));
        if (listed != LB_ERR && listed != LB_ERRSPACE) return true;
        ShowSetupMessage(hwndSetup, MB_ICONHAND, IDS_CANT_ADD_ITEM, pattern);
        return false;
    }
    int Count() const { return static_cast<int>(SendMessageA(box_, LB_GETCOUNT, 0, 0)); }
    // Entry I, or an empty text when it does not fit NAME.
    void Entry(int i, char* name, std::size_t cap) const {
        LRESULT length = SendMessageA(box_, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length == LB_ERR || static_cast<std::size_t>(length) >= cap) {
            name[0] = '\0';
            return;
        }
        SendMessageA(box_, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(name));
    }

  private:
    HWND box_;
};

// setup.ex_, xxx.dl_ and xxx.wr_ are stored under their usual names; other compressed names stay.
void TakeUncompressedName(char* name) {
    std::size_t length = std::strlen(name);
    if (length < 3) return;
    char* tail = name + length - 3;
    static const char* const kRenamed[][2] = {{"ex_", "e"}, {"dl_", "l"}, {"wr_", "i"}};
    for (const auto& rule : kRenamed) {
        if (lstrcmpiA(tail, rule[0]) != 0) continue;
        bool upper = tail[1] >= 'A' && tail[1] <= 'Z';
        tail[2] = upper ? static_cast<char>(rule[1][0] - 'a' + 'A') : rule[1][0];
        return;
    }
}

bool IsFolderEntry(const char* entry) {
    return entry[0] == '[';
}

// The folder of an entry "[NAME]"; false for "[.]" and "[..]".
bool FolderName(const char* entry, char* name, std::size_t cap) {
    if (entry[1] == '.') return false;
    CopyTextN(name, cap, entry + 1);
    std::size_t length = std::strlen(name);
    if (length > 0 && name[length - 1] == ']') name[length - 1] = '\0';
    return name[0] != '\0';
}

bool CopyListedFiles(const Listing& listing, const char* disk) {
    for (int i = 0; i < listing.Count(); ++i) {
        char name[kPathCap];
        listing.Entry(i, name, sizeof name);
        if (!name[0] || IsFolderEntry(name)) continue;
        if (CopySetupFile(disk, szSourceDir, szDestDir, name) == 0) return false;
    }
    return true;
}

// Puts DIR + NAME + "\" into PATH; false when it does not fit.
bool FolderPath(char* path, const char* dir, const char* name) {
    return JoinPathN(path, kPathCap, {dir, name}) && AddBackslashN(path, kPathCap) &&
           std::strlen(path) + 1 < kPathCap;
}

// After the copy of a folder the source is its parent again. A prompt in the folder may have replaced the
// source with another path: then its last part is dropped when it names the folder.
void LeaveSourceFolder(const char* parent, const char* folderPath, const char* folder) {
    if (lstrcmpiA(szSourceDir, folderPath) == 0) {
        CopyText(szSourceDir, parent);
        return;
    }
    char tail[kPathCap];
    CopyText(tail, folder);
    AppendText(tail, "\\");
    std::size_t length = std::strlen(szSourceDir), tailLength = std::strlen(tail);
    if (length > tailLength && lstrcmpiA(szSourceDir + length - tailLength, tail) == 0)
        szSourceDir[length - tailLength] = '\0';
}

// The files of folder NAME of the disk (none of its own folders), into the same folder of the destination
// or straight into the destination.
bool CopyFolder(const char* disk, const char* name, bool createSubdirs) {
    char parentSource[kPathCap], parentDest[kPathCap], source[kPathCap], dest[kPathCap];
    CopyText(parentSource, szSourceDir);
    CopyText(parentDest, szDestDir);
    CopyText(dest, szDestDir);
    bool fits =
        FolderPath(source, szSourceDir, name) && (!createSubdirs || FolderPath(dest, szDestDir, name));
    if (!fits) return RefuseDestination(name) != kAttemptStop;
    if (createSubdirs) {
        char folder[kPathCap];
        CopyText(folder, dest);
        StripBackslash(folder);
        CreateDirectoryA(folder, nullptr); // it may be there already
    }
    CopyText(szSourceDir, source);
    CopyText(szDestDir, dest);
    Listing files;
    bool copied = files.List(szSourceDir, false) && CopyListedFiles(files, disk);
    LeaveSourceFolder(parentSource, source, name);
    CopyText(szDestDir, parentDest);
    return copied;
}

// The uninstaller's information of a server installation, in the destination.
void RecordServerUninstallInformation() {
    char name[32];
    LoadText(IDS_FILE_UNINST_INF, name, sizeof name);
    JoinPath(szUninstInf, szDestDir, name);
    RecordUninstallState(FALSE);
}

// The font resource file of one TrueType font beside it: the last three characters of its name become
// "FOT". Whether it can be made is not looked at.
bool MakeFontResource(const char*, const char* fileName, int, const char* destDir) {
    char font[kPathCap], resource[kPathCap];
    if (!BuildFilePath(font, sizeof font, destDir, fileName)) {
        LogJoined(fileName, " - can not create destination file, skipped.");
        return true;
    }
    CopyText(resource, font);
    std::size_t nameLength = std::strlen(fileName);
    resource[std::strlen(resource) - (nameLength < 3 ? nameLength : 3)] = '\0';
    if (AppendText(resource, "FOT")) CreateScalableFontResourceA(0, resource, font, nullptr);
    return true;
}

} // namespace

BOOL CopyServerDisk(const char* disk, BOOL createSubdirs) {
    char tag[kTagCap];
    CopyText(tag, "Disk");
    AppendText(tag, disk);
    nProgressTotal = ReadVolumeBytes(IDS_VOL_NET);
    if (!CheckDiskTag(disk, tag)) return FALSE;
    AddBackslash(szSourceDir);
    Listing listing;
    if (!listing.List(szSourceDir, true)) return FALSE;
    for (int i = 0; i < listing.Count(); ++i) {
        char entry[kPathCap], folder[kPathCap];
        listing.Entry(i, entry, sizeof entry);
        if (!entry[0]) continue;
        bool copied = true;
        if (!IsFolderEntry(entry)) {
            TakeUncompressedName(entry);
            copied = CopySetupFile(disk, szSourceDir, szDestDir, entry) != 0;
        } else if (FolderName(entry, folder, sizeof folder)) {
            copied = CopyFolder(disk, folder, createSubdirs != FALSE);
        }
        if (!copied) return FALSE;
    }
    RecordServerUninstallInformation();
    return TRUE;
}

BOOL CreateServerFontFiles(const char* destDir) {
    return ForEachFontEntry(IDS_SEC_TTF_1251, 1, destDir, MakeFontResource);
}

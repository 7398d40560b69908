// The space the chosen components need, from section "volume" of setup1.inf, against the free space of the
// destination drive and the Windows drive, checked before anything is copied.
#include "common/bounded.h"
#include "setup/copy/copy.h"
#include "setup/copy/copy_common.h"
#include "setup/core/setup.h"
#include "setup/messages/messages.h"
#include "setup/resources/ids.h"

#include <climits>

namespace {

constexpr int kLogBytes = 8192; // the log file, written in the destination directory
constexpr int kPieceCap = 126;  // each piece of the report
constexpr UINT kReportStyle = MB_ABORTRETRYIGNORE | MB_DEFBUTTON2 | MB_ICONHAND;

// A sum of byte counts as a byte count: never negative, and at most what 31 bits hold.
int ByteCount(long long sum) {
    return sum < 0 ? 0 : sum > INT_MAX ? INT_MAX : static_cast<int>(sum);
}

bool ScreenOrSystemFonts() {
    return fFonts && (fScreenFonts || fSystemFonts);
}

// The drive a directory lands on: the root to ask for its free space ("C:\", "\\SERVER\SHARE\") and the
// name to show ("C", "\\SERVER\SHARE"). A path without a drive is on the drive of the current directory.
struct Drive {
    char root[kPathCap];
    char name[kPathCap];
};

void RootOfUncPath(const char* path, char* root, std::size_t cap) {
    int separators = 0;
    std::size_t i = 0;
    for (; path[i] && i + 1 < cap; ++i) {
        root[i] = path[i];
        if ((path[i] == '\\' || path[i] == '/') && ++separators == 4) {
            ++i;
            break;
        }
    }
    root[i] = '\0';
    AddBackslashN(root, cap);
}

bool HasDriveLetter(const char* path) {
    char c = path[0];
    return ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && path[1] == ':';
}

bool IsUncPath(const char* path) {
    return path[0] == '\\' && path[1] == '\\';
}

Drive DriveOf(const char* path) {
    Drive drive{};
    char current[kPathCap];
    if (!HasDriveLetter(path) && !IsUncPath(path)) {
        if (GetCurrentDirectoryA(sizeof current, current) == 0) current[0] = '\0';
        path = current;
    }
    if (IsUncPath(path)) {
        RootOfUncPath(path, drive.root, sizeof drive.root);
        CopyText(drive.name, drive.root);
        StripBackslash(drive.name);
        return drive;
    }
    char letter = path[0] >= 'a' && path[0] <= 'z' ? static_cast<char>(path[0] - 'a' + 'A') : path[0];
    const char root[] = {letter, ':', '\\', '\0'};
    CopyText(drive.root, root);
    const char name[] = {letter, '\0'};
    CopyText(drive.name, name);
    return drive;
}

DWORD FreeKilobytes(const Drive& drive) {
    ULONGLONG kb = GetRootFreeSpace(drive.root) / 1024;
    return kb > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(kb);
}

struct SpaceFigures {
    Drive dest, windows;
    DWORD destFree, destNeed, windowsFree, windowsNeed;
    bool sameDrive;
};

SpaceFigures MeasureSpace() {
    SpaceFigures f{};
    char windowsDir[kPathCap];
    if (GetWindowsDirectoryA(windowsDir, sizeof windowsDir) == 0) CopyText(windowsDir, szWindowsDir);
    f.dest = DriveOf(szDestDir);
    f.windows = DriveOf(windowsDir);
    f.sameDrive = lstrcmpiA(f.dest.name, f.windows.name) == 0;
    f.destFree = FreeKilobytes(f.dest);
    f.windowsFree = FreeKilobytes(f.windows);
    f.destNeed = NeedKilobytes(static_cast<ULONGLONG>(GetDestinationSize()) + (fWriteLog ? kLogBytes : 0));
    f.windowsNeed = NeedKilobytes(static_cast<ULONGLONG>(GetWindowsSize()) +
                                  static_cast<ULONGLONG>(GetWindowsOtherSize()));
    return f;
}

// Free space equal to the need is too little. Both needs come out of one drive when it is the same drive.
bool IsEnoughSpace(const SpaceFigures& f) {
    if (f.sameDrive) return f.destFree > static_cast<ULONGLONG>(f.destNeed) + f.windowsNeed;
    return f.destFree > f.destNeed && f.windowsFree > f.windowsNeed;
}

void AppendPiece(char* text, std::size_t cap, UINT id) {
    char piece[kPieceCap];
    LoadText(id, piece, sizeof piece);
    AppendTextN(text, cap, piece);
}

// The report: both drives' lines, or one line with the sum of the needs when they are the same drive.
void FormatReport(const SpaceFigures& f, char* text, std::size_t cap) {
    char format[6 * kPieceCap];
    format[0] = '\0';
    AppendPiece(format, sizeof format, IDS_SPACE_TITLE);
    AppendPiece(format, sizeof format, IDS_SPACE_DESTDIR);
    char formatted[1100];
    if (f.sameDrive) {
        AppendPiece(format, sizeof format, IDS_SPACE_DESTINATION);
        wsprintfA(formatted, format, szDestDir, f.dest.name, f.destFree, f.destNeed + f.windowsNeed);
    } else {
        AppendPiece(format, sizeof format, IDS_SPACE_WINDOWS);
        AppendPiece(format, sizeof format, IDS_SPACE_DESTINATION);
        wsprintfA(formatted, format, szDestDir, f.windows.name, f.windowsFree, f.windowsNeed, f.dest.name,
                  f.destFree, f.destNeed);
    }
    CopyTextN(text, cap, formatted);
    AppendPiece(text, cap, IDS_SPACE_HINT);
    AppendPiece(text, cap, IDS_SPACE_HINT_RETRY);
}

} // namespace

int GetDestinationSize() {
    long long sum = 0;
    if (fUninstallEnabled) sum += ReadVolumeBytes(IDS_VOL_UNINSTFILES);
    if (fProgramFiles) sum += ReadVolumeBytes(IDS_VOL_PROGFILES);
    if (fApplications) sum += ReadVolumeBytes(IDS_VOL_APPLIC);
    if (fDevelopersKitSample) sum += ReadVolumeBytes(IDS_VOL_TDK);
    if (fFonts && fPlotterFonts) sum += ReadVolumeBytes(IDS_VOL_ALL);
    if (fFonts && fPrinterFonts && f24PinPrinterFonts) sum += ReadVolumeBytes(IDS_VOL_PR2);
    if (fFonts && fPrinterFonts && f9PinPrinterFonts) sum += ReadVolumeBytes(IDS_VOL_PR9);
    if (fTrueTypeFonts) sum += ReadVolumeBytes(IDS_VOL_TTF);
    return ByteCount(sum);
}

int GetWindowsSize() {
    long long sum = 0;
    if (fProgramFiles) sum += ReadVolumeBytes(IDS_VOL_WINSPACE);
    if (ScreenOrSystemFonts())
        sum += static_cast<long long>(ReadVolumeBytes(szFontRes)) + ReadVolumeBytes(IDS_VOL_OEM);
    return ByteCount(sum);
}

int GetWindowsOtherSize() {
    return ByteCount(ReadVolumeBytes(IDS_VOL_WINOTHER));
}

int GetTotalCopySize() {
    return ByteCount(static_cast<long long>(GetDestinationSize()) + GetWindowsSize());
}

ULONGLONG GetRootFreeSpace(const char* root) {
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters)) return 0;
    return static_cast<ULONGLONG>(sectorsPerCluster) * bytesPerSector * freeClusters;
}

ULONGLONG GetDriveFreeSpace(char letter) {
    const char root[] = {letter, ':', '\\', '\0'};
    return GetRootFreeSpace(root);
}

DWORD NeedKilobytes(ULONGLONG bytes) {
    ULONGLONG kb = (bytes + bytes / 10) / 1024;
    return kb > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(kb);
}

BOOL CheckDiskSpace() {
    for (;;) {
        SpaceFigures figures = MeasureSpace();
        if (IsEnoughSpace(figures)) return TRUE;
        char text[1400];
        FormatReport(figures, text, sizeof text);
        int answer = SetupMessageBox(text, nullptr, szDialogFont[0] ? szDialogFont : nullptr, kReportStyle);
        if (answer == IDABORT) return FALSE;
        if (answer != IDRETRY) return TRUE;
    }
}

// The free space the loader needs on the Windows drive.
#include "loader/loader.h"

DWORD WindowsDriveFreeKB(char driveLetter) {
    char root[] = {driveLetter, ':', '\\', '\0'};
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
        return 0;
    // The product of the three can pass 4 GB on a large drive: count in 64 bits so it cannot wrap to a
    // small number and refuse a drive with plenty of room.
    unsigned long long bytes =
        static_cast<unsigned long long>(freeClusters) * sectorsPerCluster * bytesPerSector;
    unsigned long long kb = bytes / 1024;
    return kb > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(kb);
}

BOOL CheckLoaderFreeSpace() {
    char drive[2] = {szLoaderWindowsDir[0], '\0'};
    CharUpperA(drive);
    DWORD freeKB = WindowsDriveFreeKB(drive[0]);
    if (freeKB > kLoaderNeedKB) return TRUE;
    char text[256];
    wsprintfA(text,
              "Insufficient disk space to initialize Setup:\r\rWindows drive [%s:]      Free: %luKB   Need: "
              "%luKB\r",
              drive, freeKB, kLoaderNeedKB);
    MessageBoxA(nullptr, text, "Setup", MB_OK | MB_ICONERROR);
    return FALSE;
}

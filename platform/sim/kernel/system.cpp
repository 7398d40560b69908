// The simulated kernel's error code, version, process and timer calls.
#include "platform/sim/machine/machine.h"
#include "platform/sim/win/windows.h"

#include <chrono>
#include <cstring>
#include <thread>
#include <unistd.h>

namespace {

thread_local DWORD last_error = NO_ERROR;

struct VersionInfo {
    DWORD major, minor, build, platform;
    const char* service_pack;
};

// What a Win32 program sees on each platform. Windows 95 keeps its major and minor version in the high
// word of the build number; a Win32 program on Windows 3.1 runs on Win32s, which reports 3.10.
VersionInfo version_info() {
    switch (sim::machine().settings.version) {
    case sim::WinVersion::NT4:
        return {4, 0, 1381, VER_PLATFORM_WIN32_NT, "Service Pack 6"};
    case sim::WinVersion::Win31:
        return {3, 10, 0, VER_PLATFORM_WIN32s, "Win32s 1.3"};
    default:
        return {4, 0, 0x040003B6, VER_PLATFORM_WIN32_WINDOWS, ""};
    }
}

} // namespace

DWORD WINAPI GetLastError(void) {
    return last_error;
}
void WINAPI SetLastError(DWORD code) {
    last_error = code;
}

BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA info) {
    if (!info || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    VersionInfo v = version_info();
    info->dwMajorVersion = v.major;
    info->dwMinorVersion = v.minor;
    info->dwBuildNumber = v.build;
    info->dwPlatformId = v.platform;
    std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
    std::strncpy(info->szCSDVersion, v.service_pack, sizeof info->szCSDVersion - 1);
    return TRUE;
}

// Low word: major version in the low byte, minor in the high byte. High word: the build number on NT;
// on Windows 95 the top two bits set, on Win32s the top bit only.
DWORD WINAPI GetVersion(void) {
    VersionInfo v = version_info();
    DWORD low = v.major | (v.minor << 8);
    switch (v.platform) {
    case VER_PLATFORM_WIN32_NT:
        return low | ((v.build & 0x7FFF) << 16);
    case VER_PLATFORM_WIN32s:
        return low | 0x80000000u;
    default:
        return low | 0xC0000000u;
    }
}

DWORD WINAPI GetCurrentProcessId(void) {
    return static_cast<DWORD>(::getpid());
}

void WINAPI Sleep(DWORD milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// Milliseconds since the machine started, taken as a minute before the process did (so the count is
// never near 0); it wraps after 49.7 days as on Windows.
DWORD WINAPI GetTickCount(void) {
    static const auto start = std::chrono::steady_clock::now() - std::chrono::seconds(60);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    return static_cast<DWORD>(ms.count());
}

// execlog.exe stands for the programs of the distribution that are not ours (the uninstaller, the
// product's applications): it appends its command line and, after a tab, its current directory to the file
// that WINDRIVER_EXEC_LOG names, and ends. So a scenario under Wine sees what was started, where.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char log[MAX_PATH], dir[MAX_PATH];
    if (!GetEnvironmentVariableA("WINDRIVER_EXEC_LOG", log, sizeof log)) return 0;
    GetCurrentDirectoryA(sizeof dir, dir);
    HANDLE h = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 0;
    DWORD written;
    const char* line = GetCommandLineA();
    WriteFile(h, line, lstrlenA(line), &written, nullptr);
    WriteFile(h, "\t", 1, &written, nullptr);
    WriteFile(h, dir, lstrlenA(dir), &written, nullptr);
    WriteFile(h, "\r\n", 2, &written, nullptr);
    CloseHandle(h);
    return 0;
}

// The entry point of the Windows programs. They are linked without a C runtime, so that they need no DLL
// beyond those of Windows 95 itself: the entry point finds the arguments of WinMain and ends the process
// with its result. Nothing runs before WinMain; the programs have no static constructors (the link
// refuses them, see cmake/windows_program.cmake).
#include <windows.h>

namespace {

// The command line without the program's name, which comes first, in quotes when it holds a blank.
LPSTR ArgumentsOf(LPSTR line) {
    if (*line == '"') {
        ++line;
        while (*line && *line != '"')
            ++line;
        if (*line == '"') ++line;
    } else {
        while (*line && *line != ' ' && *line != '\t')
            ++line;
    }
    while (*line == ' ' || *line == '\t')
        ++line;
    return line;
}

int ShowCommand() {
    STARTUPINFOA startup;
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
}

} // namespace

// Windows 95 starts a program with a stack aligned to 4 bytes only.
extern "C" [[noreturn]] __attribute__((force_align_arg_pointer)) void WinMainCRTStartup() {
    int code = WinMain(GetModuleHandleA(nullptr), nullptr, ArgumentsOf(GetCommandLineA()), ShowCommand());
    ExitProcess(static_cast<UINT>(code));
}

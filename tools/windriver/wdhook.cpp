// wdhook.dll: loaded by windriver into the programs it drives, it reports to windriver's window what it
// cannot see otherwise: the texts a window draws itself (the product's message dialog paints its message)
// and the keyboard notices a program gives a running keyboard driver (ToAscii). It replaces DrawTextA and
// ToAscii in the program's import table with calls that do the real work, then report.
#include <windows.h>

#include <cstring>

namespace {

using DrawTextFn = int(WINAPI*)(HDC, LPCSTR, int, LPRECT, UINT);
using ToAsciiFn = int(WINAPI*)(UINT, UINT, const BYTE*, LPWORD, UINT);
DrawTextFn real_draw_text = nullptr;
ToAsciiFn real_to_ascii = nullptr;

// What windriver's window is told: KIND 0 a painted text (the window, then the text), 1 a keyboard notice.
void report(ULONG_PTR kind, HWND window, const char* text, int length) {
    HWND driver = FindWindowA("WindriverClass", nullptr);
    if (!driver || length <= 0 || length > 4096) return;
    char buffer[sizeof(ULONG_PTR) + 4096];
    ULONG_PTR w = reinterpret_cast<ULONG_PTR>(window);
    std::memcpy(buffer, &w, sizeof w);
    std::memcpy(buffer + sizeof w, text, static_cast<std::size_t>(length));
    COPYDATASTRUCT data{kind, static_cast<DWORD>(sizeof w + length), buffer};
    DWORD_PTR result;
    SendMessageTimeoutA(driver, WM_COPYDATA, reinterpret_cast<WPARAM>(window),
                        reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 1000, &result);
}

int WINAPI draw_text(HDC dc, LPCSTR text, int count, LPRECT rect, UINT format) {
    int result = real_draw_text(dc, text, count, rect, format);
    HWND window = WindowFromDC(dc);
    if (text && window && !(format & DT_CALCRECT))
        report(0, window, text, count < 0 ? lstrlenA(text) : count);
    return result;
}

// Recorded as the simulator records it: the virtual key, the scan code and the flags.
int WINAPI to_ascii(UINT key, UINT scan, const BYTE* state, LPWORD out, UINT flags) {
    int result = real_to_ascii(key, scan, state, out, flags);
    char line[64];
    int length = wsprintfA(line, "ToAscii\t%u\t%u\t%u", key, scan, flags);
    report(1, nullptr, line, length);
    return result;
}

// Points the main module's import of DLL!NAME at REPLACEMENT; the old target into *ORIGINAL.
void patch_import(const char* dll, const char* name, void* replacement, void** original) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress) return;
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name;
         ++imp) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + imp->Name), dll) != 0) continue;
        DWORD names_rva = imp->OriginalFirstThunk ? imp->OriginalFirstThunk : imp->FirstThunk;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + names_rva);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* by_name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<char*>(by_name->Name), name) != 0) continue;
            DWORD old;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
            *original = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
        }
    }
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        void* original = nullptr;
        patch_import("user32.dll", "DrawTextA", reinterpret_cast<void*>(draw_text), &original);
        if (original) real_draw_text = reinterpret_cast<DrawTextFn>(original);
        original = nullptr;
        patch_import("user32.dll", "ToAscii", reinterpret_cast<void*>(to_ascii), &original);
        if (original) real_to_ascii = reinterpret_cast<ToAsciiFn>(original);
    }
    return TRUE;
}

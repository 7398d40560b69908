// The Win32 resource calls over the running program's resources. A resource handle (HRSRC) is the
// index of the entry offset by a base, so that a stale or foreign handle is refused rather than followed;
// the loaded resource (HGLOBAL) is the address of its bytes, read-only as on Windows.
#include "platform/sim/kernel/resfile.h"

#include "platform/sim/kernel/codepage.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/win/windows.h"

#include <algorithm>

namespace sim {
namespace {

constexpr std::uintptr_t kResourceHandleBase = 0x52530000;
constexpr unsigned kStringsPerBlock = 16;

bool is_program_module(HMODULE module) {
    return module == nullptr || module == GetModuleHandleA(nullptr);
}

HRSRC handle_of(const ResEntry* e) {
    const auto& entries = program_resources().entries();
    return reinterpret_cast<HRSRC>(kResourceHandleBase + static_cast<std::uintptr_t>(e - entries.data()));
}

const ResEntry* entry_of(HRSRC handle) {
    const auto& entries = program_resources().entries();
    auto value = reinterpret_cast<std::uintptr_t>(handle);
    if (value < kResourceHandleBase || value - kResourceHandleBase >= entries.size()) return nullptr;
    return &entries[value - kResourceHandleBase];
}

std::string base_name(const std::string& path) {
    auto slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "SETUP", "setup.exe" or the full path name the running program.
bool names_this_program(const char* name) {
    if (!is_attached()) return false;
    const std::string& module = machine().module_path;
    std::string file = base_name(module);
    std::string stem = file.substr(0, file.rfind('.'));
    std::string wanted = name;
    return equal_nocase(wanted, module) || equal_nocase(wanted, file) ||
           (wanted.find('.') == std::string::npos && equal_nocase(wanted, stem));
}

// String I (0-15) of a string table block: a WORD length and that many UTF-16 units per string. Nullopt
// when the block is too short to hold it.
std::optional<std::u16string> string_in_block(std::span<const unsigned char> block, unsigned index) {
    std::size_t at = 0;
    for (unsigned i = 0;; ++i) {
        if (block.size() - at < 2) return std::nullopt;
        std::size_t length = block[at] | block[at + 1] << 8;
        at += 2;
        if ((block.size() - at) / 2 < length) return std::nullopt;
        if (i == index) {
            std::u16string text(length, u'\0');
            for (std::size_t k = 0; k < length; ++k)
                text[k] = static_cast<char16_t>(block[at + 2 * k] | block[at + 2 * k + 1] << 8);
            return text;
        }
        at += 2 * length;
    }
}

std::optional<std::u16string> find_string(UINT id) {
    const WORD wanted = LOWORD(id);
    const ResEntry* block = find_program_resource(RT_STRING, MAKEINTRESOURCEA(wanted / kStringsPerBlock + 1));
    if (!block) return std::nullopt;
    return string_in_block(block->data, wanted % kStringsPerBlock);
}

} // namespace
} // namespace sim

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
    // The image base of a Win32 program, which is what WinMain receives as its instance.
    static const HMODULE instance = reinterpret_cast<HMODULE>(std::uintptr_t{0x400000});
    if (lpModuleName == nullptr || sim::names_this_program(lpModuleName)) return instance;
    return nullptr;
}

HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType) {
    if (!sim::is_program_module(hModule) || !lpName || !lpType) return nullptr;
    const sim::ResEntry* e = sim::find_program_resource(lpType, lpName);
    return e ? sim::handle_of(e) : nullptr;
}

HRSRC WINAPI FindResourceExA(HMODULE hModule, LPCSTR lpType, LPCSTR lpName, WORD wLanguage) {
    if (!sim::is_program_module(hModule) || !lpName || !lpType) return nullptr;
    const unsigned cp = sim::resource_codepage();
    auto type = sim::res_id_from_api(lpType, cp);
    auto name = sim::res_id_from_api(lpName, cp);
    if (!type || !name) return nullptr;
    const sim::ResFile& res = sim::program_resources();
    const sim::ResEntry* e = wLanguage == MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)
                                 ? res.find_default(*type, *name, cp)
                                 : res.find(*type, *name, wLanguage, cp);
    return e ? sim::handle_of(e) : nullptr;
}

HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo) {
    if (!sim::is_program_module(hModule)) return nullptr;
    const sim::ResEntry* e = sim::entry_of(hResInfo);
    return e ? const_cast<unsigned char*>(e->data.data()) : nullptr;
}

LPVOID WINAPI LockResource(HGLOBAL hResData) {
    return hResData;
}

DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo) {
    if (!sim::is_program_module(hModule)) return 0;
    const sim::ResEntry* e = sim::entry_of(hResInfo);
    return e ? static_cast<DWORD>(e->data.size()) : 0;
}

// Resources stay mapped for the life of the program; Win32 reports FALSE for them.
BOOL WINAPI FreeResource(HGLOBAL) {
    return FALSE;
}

// A buffer size of 0 (or less) copies nothing and returns -1 when the string's block exists; only later
// systems hand out a pointer into the resource instead, and only for the Unicode call.
int WINAPI LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax) {
    if (!sim::is_program_module(hInstance)) return 0;
    auto text = sim::find_string(uID);
    if (cchBufferMax <= 0) return text ? -1 : 0;
    if (!lpBuffer) return 0;
    std::size_t copied = 0;
    if (text) {
        copied = std::min(text->size(), static_cast<std::size_t>(cchBufferMax - 1));
        std::string ansi = sim::utf16_to_ansi(text->substr(0, copied), sim::resource_codepage());
        std::copy(ansi.begin(), ansi.end(), lpBuffer);
    }
    lpBuffer[copied] = '\0';
    return static_cast<int>(copied);
}

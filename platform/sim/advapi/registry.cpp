// The registry calls. The registry lives in the machine's registry.reg; a process reads it at its first
// registry call, writes it back after every change, and reads it again whenever another process of the
// machine has written it since (the file's identity, size and time tell).
#include "platform/sim/machine/machine.h"
#include "platform/sim/advapi/regfile.h"
#include "platform/sim/machine/textfile.h"
#include "platform/sim/win/windows.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>

namespace sim {

namespace {

// An open key: where it points, kept as a path so that it survives a reload of the file.
struct OpenKey {
    std::size_t root = 0;
    std::vector<std::string> path;
    bool deleted = false;
};

} // namespace

struct RegistryState {
    RegHive hive;
    bool loaded = false;
    bool unreadable = false; // the file is there but could not be read: never write over it
    HostFileStamp stamp;
    std::map<std::uintptr_t, OpenKey> handles;
    std::uintptr_t next_handle = 0x1000;
};

namespace {

constexpr std::size_t kMaxDepth = 512;

std::string registry_file() {
    return (std::filesystem::path(machine().dir) / "registry.reg").string();
}

// A damaged file is used as far as it can be read; the lines that could not are reported once, and the
// file as it was is kept beside it, since the next change rewrites registry.reg without them.
void report_errors(const std::string& path, const std::string& text,
                   const std::vector<RegFileError>& errors) {
    std::string kept = path + ".bad";
    bool saved = write_host_file(kept, text);
    std::fprintf(stderr, "win95sim: %s line %d: %s (%zu line(s) skipped, the rest is used%s%s)\n",
                 path.c_str(), errors.front().line, errors.front().message.c_str(), errors.size(),
                 saved ? "; the file as it was is kept in " : "", saved ? kept.c_str() : "");
}

void load(RegistryState& s, const std::string& path, const HostFileStamp& now) {
    s.hive = RegHive(machine().settings.codepage);
    s.loaded = true;
    s.stamp = now;
    bool reported = s.unreadable;
    s.unreadable = false;
    std::string text;
    if (!now.exists) return;
    if (!now.regular || !read_host_file(path, text)) {
        if (!reported)
            std::fprintf(stderr, "win95sim: cannot read %s; the registry is empty until it can be read\n",
                         path.c_str());
        s.unreadable = true;
        s.loaded = false;
        return;
    }
    std::vector<RegFileError> errors;
    parse_regedit(text, s.hive, errors);
    if (!errors.empty()) report_errors(path, text, errors);
}

RegistryState& state_unsynced() {
    Machine& m = machine();
    if (!m.registry) m.registry = std::make_shared<RegistryState>();
    return *m.registry;
}

// The registry as the file holds it now.
RegistryState& state() {
    RegistryState& s = state_unsynced();
    std::string path = registry_file();
    HostFileStamp now = host_file_stamp(path);
    if (!s.loaded || !(now == s.stamp)) load(s, path, now);
    return s;
}

LONG save(RegistryState& s) {
    std::string path = registry_file();
    if (s.unreadable || !write_host_file(path, format_regedit(s.hive))) {
        s.loaded = false; // the change is lost: read the file again at the next call
        return ERROR_CANTWRITE;
    }
    s.stamp = host_file_stamp(path);
    return ERROR_SUCCESS;
}

HKEY root_handle(std::size_t i) {
    return reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<std::int32_t>(0x80000000u + i)));
}

bool usable_root(std::size_t i) {
    return i < kRegRootNames.size() && *kRegRootNames[i];
}

// The key a handle stands for, as root and path; fails for unknown handles and deleted keys.
LONG resolve(RegistryState& s, HKEY h, OpenKey& out) {
    for (std::size_t i = 0; i < kRegRootNames.size(); ++i) {
        if (h == root_handle(i)) {
            if (!usable_root(i)) return ERROR_INVALID_HANDLE;
            out = OpenKey{i, {}, false};
            return ERROR_SUCCESS;
        }
    }
    auto it = s.handles.find(reinterpret_cast<std::uintptr_t>(h));
    if (it == s.handles.end()) return ERROR_INVALID_HANDLE;
    if (!it->second.deleted && !s.hive.find_key(it->second.root, it->second.path)) it->second.deleted = true;
    if (it->second.deleted) return ERROR_KEY_DELETED;
    out = it->second;
    return ERROR_SUCCESS;
}

// HANDLE's key with SUBKEY appended.
LONG resolve_sub(RegistryState& s, HKEY h, LPCSTR subkey, OpenKey& out) {
    if (LONG r = resolve(s, h, out)) return r;
    std::vector<std::string> parts;
    if (!split_key_path(subkey ? subkey : "", parts) || out.path.size() + parts.size() > kMaxDepth)
        return ERROR_BAD_PATHNAME;
    out.path.insert(out.path.end(), parts.begin(), parts.end());
    return ERROR_SUCCESS;
}

RegKey* find(RegistryState& s, const OpenKey& k) {
    return s.hive.find_key(k.root, k.path);
}

HKEY new_handle(RegistryState& s, const OpenKey& k) {
    std::uintptr_t h = s.next_handle;
    s.next_handle += 4;
    s.handles[h] = k;
    return reinterpret_cast<HKEY>(h);
}

// Fault injection: a listed key and everything below it may be read but not changed, like a key whose
// permissions grant reading only. Changes are refused, and so is opening it with any right to change it.
bool denied(RegistryState& s, const OpenKey& k) {
    std::string full = kRegRootNames[k.root];
    for (const std::string& part : k.path)
        full += "\\" + part;
    full = s.hive.upper(full);
    for (const std::string& p : machine().settings.deny_registry) {
        std::string prefix = s.hive.upper(p);
        if (full.compare(0, prefix.size(), prefix) == 0 &&
            (full.size() == prefix.size() || full[prefix.size()] == '\\'))
            return true;
    }
    return false;
}

constexpr REGSAM kChangeRights =
    KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | DELETE | WRITE_DAC | WRITE_OWNER;

bool open_denied(RegistryState& s, const OpenKey& k, REGSAM sam) {
    return (sam & kChangeRights) && denied(s, k);
}

// Names that the file could not carry (a line break would end its line).
bool storable_name(const char* name) {
    return !std::strpbrk(name, "\r\n");
}

bool starts_with_path(const RegHive& hive, const OpenKey& k, const OpenKey& prefix) {
    if (k.root != prefix.root || k.path.size() < prefix.path.size()) return false;
    for (std::size_t i = 0; i < prefix.path.size(); ++i)
        if (!hive.same_name(k.path[i], prefix.path[i])) return false;
    return true;
}

// Copies NAME with its terminating zero into a buffer of *SIZE characters; *SIZE becomes its length.
LONG copy_name(const std::string& name, LPSTR buffer, LPDWORD size) {
    if (!buffer || !size) return ERROR_INVALID_PARAMETER;
    if (name.size() + 1 > *size) return ERROR_MORE_DATA;
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    *size = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

// The data half of a query: with no buffer only the size; a buffer too small gives ERROR_MORE_DATA
// and the size needed.
LONG copy_data(const RegValue& v, LPDWORD type, LPBYTE data, LPDWORD size) {
    if (data && !size) return ERROR_INVALID_PARAMETER;
    if (type) *type = v.type;
    if (!size) return ERROR_SUCCESS;
    DWORD room = *size;
    *size = static_cast<DWORD>(v.data.size());
    if (!data) return ERROR_SUCCESS;
    if (v.data.size() > room) return ERROR_MORE_DATA;
    std::memcpy(data, v.data.data(), v.data.size());
    return ERROR_SUCCESS;
}

LONG open_key(HKEY hKey, LPCSTR lpSubKey, REGSAM sam, PHKEY phkResult) {
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    RegistryState& s = state();
    OpenKey k;
    if (LONG r = resolve_sub(s, hKey, lpSubKey, k)) return r;
    if (!find(s, k)) return ERROR_FILE_NOT_FOUND;
    if (open_denied(s, k, sam)) return ERROR_ACCESS_DENIED;
    *phkResult = new_handle(s, k);
    return ERROR_SUCCESS;
}

} // namespace

} // namespace sim

using namespace sim;

LONG WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
    return open_key(hKey, lpSubKey, samDesired, phkResult);
}

// The old form hands back the caller's own handle for an empty subkey. The old forms open with the rights
// the key grants (MAXIMUM_ALLOWED), so a denied key opens, for reading.
LONG WINAPI RegOpenKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult) {
    if (phkResult && (!lpSubKey || !*lpSubKey)) {
        RegistryState& s = state();
        OpenKey k;
        if (LONG r = resolve(s, hKey, k)) return r;
        *phkResult = hKey;
        return ERROR_SUCCESS;
    }
    return open_key(hKey, lpSubKey, MAXIMUM_ALLOWED, phkResult);
}

// Windows 95 keeps no volatile keys; every key is stored.
LONG WINAPI RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, REGSAM samDesired,
                            LPSECURITY_ATTRIBUTES, PHKEY phkResult, LPDWORD lpdwDisposition) {
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    RegistryState& s = state();
    OpenKey k;
    if (LONG r = resolve_sub(s, hKey, lpSubKey, k)) return r;
    bool exists = find(s, k) != nullptr;
    if (exists && open_denied(s, k, samDesired)) return ERROR_ACCESS_DENIED;
    if (!exists) {
        if (lpSubKey && !storable_name(lpSubKey)) return ERROR_INVALID_PARAMETER;
        if (denied(s, k)) return ERROR_ACCESS_DENIED;
        s.hive.make_key(k.root, k.path);
        if (LONG r = save(s)) return r;
    }
    if (lpdwDisposition) *lpdwDisposition = exists ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    *phkResult = new_handle(s, k);
    return ERROR_SUCCESS;
}

LONG WINAPI RegCreateKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult) {
    if (phkResult && (!lpSubKey || !*lpSubKey)) return RegOpenKeyA(hKey, lpSubKey, phkResult);
    return RegCreateKeyExA(hKey, lpSubKey, 0, nullptr, REG_OPTION_NON_VOLATILE, MAXIMUM_ALLOWED, nullptr,
                           phkResult, nullptr);
}

LONG WINAPI RegCloseKey(HKEY hKey) {
    for (std::size_t i = 0; i < kRegRootNames.size(); ++i)
        if (hKey == root_handle(i)) return ERROR_SUCCESS;
    return state_unsynced().handles.erase(reinterpret_cast<std::uintptr_t>(hKey)) ? ERROR_SUCCESS
                                                                                  : ERROR_INVALID_HANDLE;
}

// A string stored without its terminating zero gets one, so that every REG_SZ value reads back as a
// terminated string whose size counts the zero (and survives the file unchanged).
LONG WINAPI RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, CONST BYTE* lpData,
                           DWORD cbData) {
    if (!lpData && cbData) return ERROR_INVALID_PARAMETER;
    const char* name = lpValueName ? lpValueName : "";
    if (!storable_name(name)) return ERROR_INVALID_PARAMETER;
    RegistryState& s = state();
    OpenKey k;
    if (LONG r = resolve(s, hKey, k)) return r;
    if (denied(s, k)) return ERROR_ACCESS_DENIED;
    std::string data(reinterpret_cast<const char*>(lpData), lpData ? cbData : 0);
    if ((dwType == REG_SZ || dwType == REG_EXPAND_SZ) && (data.empty() || data.back() != '\0')) data += '\0';
    s.hive.set_value(*find(s, k), name, dwType, std::move(data));
    return save(s);
}

LONG WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                             LPDWORD lpcbData) {
    if (lpReserved) return ERROR_INVALID_PARAMETER;
    RegistryState& s = state();
    OpenKey k;
    if (LONG r = resolve(s, hKey, k)) return r;
    RegValue* v = s.hive.find_value(*find(s, k), lpValueName ? lpValueName : "");
    if (!v) return ERROR_FILE_NOT_FOUND;
    return copy_data(*v, lpType, lpData, lpcbData);
}

LONG WINAPI RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                          LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    if (lpReserved) return ERROR_INVALID_PARAMETER;
    RegistryState& s = state();
    OpenKey k;
    if (LONG r = resolve(s, hKey, k)) return r;
    RegKey* key = find(s, k);
    if (dwIndex >= key->values.size()) return ERROR_NO_MORE_ITEMS;
    const RegValue& v = key->values[dwIndex];
    if (lpData && lpcbData && v.data.size() > *lpcbData) {
        *lpcbData = static_cast<DWORD>(v.data.size());
        return ERROR_MORE_DATA;
    }
    if (LONG r = copy_name(v.name, lpValueName, lpcchValueName)) return r;
    return copy_data(v, lpType, lpData, lpcbData);
}

LONG WINAPI RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                          LPSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) {
    if (lpReserved) return ERROR_INVALID_PARAMETER;
    RegistryState& s = state();
    OpenKey k;
    if (LONG r = resolve(s, hKey, k)) return r;
    RegKey* key = find(s, k);
    if (dwIndex >= key->subkeys.size()) return ERROR_NO_MORE_ITEMS;
    if (LONG r = copy_name(key->subkeys[dwIndex]->name, lpName, lpcchName)) return r;
    if (lpClass && lpcchClass && *lpcchClass) *lpClass = '\0';
    if (lpcchClass) *lpcchClass = 0;
    if (lpftLastWriteTime) *lpftLastWriteTime = FILETIME{0, 0};
    return ERROR_SUCCESS;
}

LONG WINAPI RegEnumKeyA(HKEY hKey, DWORD dwIndex, LPSTR lpName, DWORD cchName) {
    return RegEnumKeyExA(hKey, dwIndex, lpName, &cchName, nullptr, nullptr, nullptr, nullptr);
}

LONG WINAPI RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved,
                             LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen,
                             LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                             LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime) {
    if (lpReserved) return ERROR_INVALID_PARAMETER;
    RegistryState& s = state();
    OpenKey k;
    if (LONG r = resolve(s, hKey, k)) return r;
    const RegKey& key = *find(s, k);
    std::size_t max_sub = 0, max_name = 0, max_data = 0;
    for (const auto& sub : key.subkeys)
        max_sub = std::max(max_sub, sub->name.size());
    for (const RegValue& v : key.values) {
        max_name = std::max(max_name, v.name.size());
        max_data = std::max(max_data, v.data.size());
    }
    if (lpClass && lpcchClass && *lpcchClass) *lpClass = '\0';
    if (lpcchClass) *lpcchClass = 0;
    if (lpcSubKeys) *lpcSubKeys = static_cast<DWORD>(key.subkeys.size());
    if (lpcbMaxSubKeyLen) *lpcbMaxSubKeyLen = static_cast<DWORD>(max_sub);
    if (lpcbMaxClassLen) *lpcbMaxClassLen = 0;
    if (lpcValues) *lpcValues = static_cast<DWORD>(key.values.size());
    if (lpcbMaxValueNameLen) *lpcbMaxValueNameLen = static_cast<DWORD>(max_name);
    if (lpcbMaxValueLen) *lpcbMaxValueLen = static_cast<DWORD>(max_data);
    if (lpcbSecurityDescriptor) *lpcbSecurityDescriptor = 0;
    if (lpftLastWriteTime) *lpftLastWriteTime = FILETIME{0, 0};
    return ERROR_SUCCESS;
}

LONG WINAPI RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
    RegistryState& s = state();
    OpenKey k;
    if (LONG r = resolve(s, hKey, k)) return r;
    if (denied(s, k)) return ERROR_ACCESS_DENIED;
    if (!s.hive.remove_value(*find(s, k), lpValueName ? lpValueName : "")) return ERROR_FILE_NOT_FOUND;
    return save(s);
}

// Open handles to the key or below it stay valid handles but report ERROR_KEY_DELETED from then on.
LONG WINAPI RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
    if (!lpSubKey || !*lpSubKey) return ERROR_BADKEY;
    RegistryState& s = state();
    OpenKey k;
    if (LONG r = resolve_sub(s, hKey, lpSubKey, k)) return r;
    if (k.path.empty()) return ERROR_ACCESS_DENIED; // a root cannot go
    if (!find(s, k)) return ERROR_FILE_NOT_FOUND;
    if (denied(s, k)) return ERROR_ACCESS_DENIED;
    s.hive.remove_key(k.root, k.path);
    for (auto& [handle, open] : s.handles)
        if (starts_with_path(s.hive, open, k)) open.deleted = true;
    return save(s);
}

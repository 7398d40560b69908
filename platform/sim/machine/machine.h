// The machine a simulated process runs on: its settings from machine.ini, its drives, its fault
// injections, and the process state (module path, current directory) kept beside it.
#pragma once

#include "platform/sim/machine/textfile.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sim {

enum class WinVersion { Win95, NT4, Win31 };
enum class DriveKind { Fixed, Removable, Remote, CdRom };

struct Drive {
    char letter = 'C';
    DriveKind kind = DriveKind::Fixed;
    std::string folder;         // host folder, absolute
    std::string folder_setting; // as written in machine.ini (relative to the machine folder or absolute)
    std::optional<std::uint64_t> free;       // reported free bytes; none: the host's
    std::optional<std::uint64_t> full_after; // writes fail once this many bytes were written in this process
    std::optional<std::uint32_t> cluster;    // bytes a cluster; none: the usual size of the drive's kind
    bool readonly = false;
    std::uint64_t written = 0; // bytes written by this process, for full_after
};

struct RunningProgram {
    std::string title;
    std::string window_class;
};

struct Settings {
    WinVersion version = WinVersion::Win95;
    int screen_width = 640;
    int screen_height = 480;
    unsigned codepage = 1252;
    bool progman = true;
    long fail_alloc_after = 0; // 0: allocations never fail
    std::map<char, Drive> drives;
    // Fault injections and read-only files, as full Windows paths in upper case; a path names a file or
    // everything below a directory.
    std::vector<std::string> readonly_paths;
    std::vector<std::string> fail_write;
    std::vector<std::string> fail_read;
    std::vector<std::string> deny_registry; // key prefixes such as HKEY_LOCAL_MACHINE\SOFTWARE\X
    std::vector<RunningProgram> running;
    std::vector<std::string> progman_refuse; // Program Manager commands whose transactions are refused
};

struct RegistryState; // platform/sim/registry.cpp

struct Machine {
    std::string dir; // host folder
    Settings settings;
    // machine.ini as last read: a change made while the process runs (a scenario's `set`, another
    // program) is read at the next call that looks at the settings.
    HostFileStamp settings_stamp;
    long long settings_checked_ms = 0;
    // Settings replaced by a newer machine.ini stay alive until the process ends, so that a call still
    // holding one of their drives is not left with a dangling pointer.
    std::vector<std::unique_ptr<Settings>> retired_settings;
    std::string module_path = "C:\\SETUP.EXE";
    std::string current_dir = "C:\\";        // always ends in a backslash
    std::shared_ptr<RegistryState> registry; // loaded at the process's first registry call
};

// The attached machine; aborts with a message when the process is not attached. Its settings are those
// of machine.ini now: a changed file is read again, at most a few milliseconds after the change, and at
// once after recheck_settings().
Machine& machine();
// The next look at the machine reads machine.ini again if it changed (after the user answered, since
// the machine may have been changed while the program waited).
void recheck_settings();
bool is_attached();

// machine.ini
bool load_settings(const std::string& machine_dir, Settings& out, std::string* error);
bool save_settings(const std::string& machine_dir, const Settings& settings, std::string* error);
// Applies one setting in the form the scenario language's `set` verb uses ("screen 800x600",
// "drive D: cdrom FOLDER", "fail-write C:\X", ...). FOLDER is taken relative to BASE when not absolute.
bool apply_setting(Settings& settings, const std::string& line, const std::string& base, std::string* error);
std::string describe_settings(const Settings& settings);

// Paths. A full path is drive letter, colon, backslash and components ("C:\WINDOWS\WIN.INI"); the root
// is "C:\".
std::string full_path(const std::string& path); // "" when the path names no drive of the machine
// The host path of a full Windows path: existing components matched without regard to case, missing
// ones kept as written. "" when the drive does not exist.
std::string host_path(const std::string& full);
// The Windows path of a host path under one of the drives, or "".
std::string windows_path_of(const std::string& host);
const Drive* drive_of(const std::string& full);
Drive* drive_of_mut(const std::string& full);
bool path_under(const std::string& full, const std::string& prefix); // both full, any case
std::string upper_ascii(std::string s);
bool equal_nocase(const std::string& a, const std::string& b);

// Fault injection checks on full paths.
bool is_readonly(const std::string& full);
bool fails_write(const std::string& full);
bool fails_read(const std::string& full);
// Counts bytes written to a drive; false when the drive is full (disk-full injection).
bool account_write(const std::string& full, std::uint64_t bytes);

std::string windows_dir(); // "C:\WINDOWS"
std::string system_dir();  // "C:\WINDOWS\SYSTEM"

} // namespace sim

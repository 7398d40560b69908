// The machine under Wine as a scenario sees it: the prefix's drive C: with its Windows folder, drive A:
// for the disks, and the state a scenario may change, put back before the next one.
#pragma once

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

class WineMachine {
  public:
    // Records what the machine holds now, the state every scenario starts from. PROGRAMS is the folder of
    // the real setup.exe, tnsetup.exe and execlog.exe; REGISTRY, when given, a REGEDIT4 file of values
    // the machine holds first (those of the simulator's default machine).
    bool start(const std::string& programs, const std::string& registry, std::string* error);
    // Back to the recorded state: new files and folders in the watched folders removed, changed
    // configuration files and registry keys restored, the disk taken out of drive A:, the logs emptied.
    void reset();

    // A scenario's text with the simulator's Windows folders as they are here: C:\WINDOWS\SYSTEM is the
    // system folder, C:\WINDOWS the Windows folder (any case).
    std::string local(const std::string& text) const;
    // Whether a file of the machine holds what a host file's bytes stand for: the same bytes, with the real
    // programs for the simulator's and the Windows folders as named here; or, for INI files, the same
    // entries as a program reads them (see the definition).
    bool same_content(const std::string& machine, const std::string& host) const;

    // The bytes a scenario puts on the machine: a program of the simulator (also inside a compressed file)
    // becomes the real program it names; execlog.exe stands for the programs that are not ours.
    std::string real_bytes(const std::string& bytes) const;
    // The real program for a simulator program name; empty for one that only the simulator has.
    std::string program_bytes(const std::string& name) const;
    static bool simulator_only_program(const std::string& name) { return name == "simtest"; }

    std::string exec_log() const { return exec_log_; }
    std::string windows_dir() const { return windows_; }

  private:
    struct Value {
        DWORD type = 0;
        std::string data;
        bool operator==(const Value&) const = default;
    };
    struct KeptKey {
        HKEY root;
        std::string path;
        std::map<std::string, Value> values; // by the name in upper case
        std::map<std::string, std::string> names;
    };
    bool load_registry(const std::string& file, std::string* error);
    static std::map<std::string, Value> values_of(HKEY key, std::map<std::string, std::string>* names);
    void restore(const KeptKey& k);

    std::vector<KeptKey> keys_; // registry keys a reset restores
    std::string windows_, system_, programs_, exec_log_;
    std::vector<std::string> watched_;                   // folders whose new entries a reset removes
    std::map<std::string, std::set<std::string>> names_; // their entries at the start
    std::map<std::string, std::string> kept_;            // configuration files and their bytes
};

// Whole-file reads and writes through the Win32 API.
bool read_file(const std::string& path, std::string& out);
bool write_file(const std::string& path, const std::string& bytes);

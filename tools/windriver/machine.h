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
    // An expected log line "PATH SIZE" naming the size of a simulator's program at PATH names the size of
    // the real program there; other lines as local().
    std::string local_log_line(const std::string& line) const;
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

    // A `set` line's setting that Wine can honour: the Windows version Wine reports to the programs it
    // starts (`windows 95|nt4|31`), a drive of a kind mapped to a folder (`drive D: KIND [FOLDER]`, the
    // folder under windriver's folder of drives; C: stays the prefix's drive and only changes its kind) and
    // `no-drive D:`. False with the reason.
    bool apply_setting(const std::vector<std::string>& words, std::string* error);
    static bool honours_setting(const std::vector<std::string>& words);
    // A file is about to be written at PATH: the folder of a drive a setting made is made first, as the
    // simulator makes a drive's folder when a file is put on it.
    void prepare_drive_of(const std::string& path);

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

    struct DriveBefore {
        bool existed = false;
        UINT kind = 0;
        std::string unix_folder;
    };
    bool set_drive(char letter, const std::string& kind, const std::string& folder, std::string* error);
    bool remember_drive(char letter);
    void restore_drives();

    std::vector<KeptKey> keys_;                 // registry keys a reset restores
    std::map<char, DriveBefore> drives_before_; // drives settings changed, as they were
    std::map<char, std::string> drive_folders_; // the folders of drives settings made
    std::string drives_dir_;                    // where those folders are
    std::string version_;                       // the Windows version Wine reported at the start
    std::string windows_, system_, programs_, exec_log_;
    std::vector<std::string> watched_;                   // folders whose new entries a reset removes
    std::map<std::string, std::set<std::string>> names_; // their entries at the start
    std::map<std::string, std::string> kept_;            // configuration files and their bytes
};

// Whole-file reads and writes through the Win32 API.
bool read_file(const std::string& path, std::string& out);
bool write_file(const std::string& path, const std::string& bytes);

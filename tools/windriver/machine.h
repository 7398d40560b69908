// The machine under Wine as a scenario sees it: the prefix's drive C: with its Windows folder, drive A:
// for the disks, and the state a scenario may change, put back before the next one.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

class WineMachine {
  public:
    // Records what the machine holds now, the state every scenario starts from. PROGRAMS is the folder of
    // the real setup.exe, tnsetup.exe and execlog.exe.
    bool start(const std::string& programs, std::string* error);
    // Back to the recorded state: new files and folders in the watched folders removed, changed
    // configuration files restored, the disk taken out of drive A:, the logs emptied.
    void reset();

    // A scenario's text with the simulator's Windows folders as they are here: C:\WINDOWS\SYSTEM is the
    // system folder, C:\WINDOWS the Windows folder (any case).
    std::string local(const std::string& text) const;

    // The bytes a scenario puts on the machine: a program of the simulator (also inside a compressed file)
    // becomes the real program it names; execlog.exe stands for the programs that are not ours.
    std::string real_bytes(const std::string& bytes) const;
    // The real program for a simulator program name; empty for one that only the simulator has.
    std::string program_bytes(const std::string& name) const;
    static bool simulator_only_program(const std::string& name) { return name == "simtest"; }

    std::string exec_log() const { return exec_log_; }
    std::string windows_dir() const { return windows_; }

  private:
    std::string windows_, system_, programs_, exec_log_;
    std::vector<std::string> watched_;                   // folders whose new entries a reset removes
    std::map<std::string, std::set<std::string>> names_; // their entries at the start
    std::map<std::string, std::string> kept_;            // configuration files and their bytes
};

// Whole-file reads and writes through the Win32 API.
bool read_file(const std::string& path, std::string& out);
bool write_file(const std::string& path, const std::string& bytes);

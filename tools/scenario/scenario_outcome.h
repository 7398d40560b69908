// The scenario lines that prepare or check what a machine holds (ini, reg, expect-file, expect-ini,
// expect-reg, expect-log, expect-exec, expect-power, expect-progman, expect-keyboard), shared by win95sim
// and windriver.exe. Both sides read INI entries and registry values through the Win32 calls (the
// simulator's or the real ones); what differs between them is asked of a ScenarioMachine.
#pragma once

#include "platform/win32.h"
#include "tools/scenario/scenario_file.h"

#include <string>
#include <vector>

class ScenarioMachine {
  public:
    virtual ~ScenarioMachine() = default;

    // The bytes of the file at a Windows path of the machine; false when there is no such file.
    virtual bool read_machine_file(const std::string& path, std::string& out) = 0;
    virtual bool machine_file_exists(const std::string& path) = 0;
    // A host file the scenario names (beside it, or @dist/...).
    virtual bool read_host_file(const std::string& name, std::string& out) = 0;
    // The file the profile calls take for an INI path of a line (a bare name is in the Windows folder).
    virtual std::string profile_path(const std::string& path) = 0;
    // An expected text in the machine's own terms (its Windows folders as they are named there).
    virtual std::string local(const std::string& text) { return text; }
    // An expected log line in the machine's own terms; a line "PATH SIZE" may name the size of a program
    // that is a different file here.
    virtual std::string local_log_line(const std::string& line) { return local(line); }
    // Whether a machine file holds what the host file's bytes stand for.
    virtual bool same_content(const std::string& machine, const std::string& host) { return machine == host; }

    // The program starts, a line each: the command line and, after a tab, the current directory.
    virtual std::string exec_log() = 0;
    // The keyboard notices, a line each: "ToAscii", the virtual key, the scan code and the flags,
    // tab-separated.
    virtual std::string keyboard_log() = 0;
    // The last power request ("none" without one), and a request as this machine can tell it apart.
    virtual std::string last_power_request() = 0;
    virtual std::string power_as_seen(const std::string& request) { return request; }
    // Program Manager's group: false when there is none; else the names of its items.
    virtual bool progman_group(const std::string& group, std::vector<std::string>& items) = 0;
    virtual std::string describe_progman() { return ""; }

    // A value a `reg` line has set (a machine that is used again undoes it).
    virtual void value_set(HKEY, const std::string&, const std::string&) {}
};

bool is_outcome_verb(const std::string& verb);
// Carries out or checks the line; "" when done or the check holds, else what was expected and what is there.
std::string run_outcome_line(const ScenarioLine& l, ScenarioMachine& machine);

// The real desktop as windriver sees it: the programs it started and the programs they start, the dialog
// that waits in front of them, identified by the templates in the program's own resources, and input given
// to it the way Windows gives a person's input.
#pragma once

#include "platform/sim/driver/agent.h"

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

// The programs of a scenario: those `run` started and every process they start, found by their parent.
class Programs {
  public:
    ~Programs();
    bool launch(const std::string& command_line, std::string* error);
    // Adopts the children of known processes; true while any of them runs.
    bool running();
    bool owns(DWORD pid) const { return handles_.count(pid) != 0; }
    HANDLE handle(DWORD pid) const;
    int last_exit_code() const; // of the program of the last `run`; -1 while it runs
    bool any_launched() const { return last_ != 0; }
    void stop_all();

  private:
    void adopt_children();
    std::map<DWORD, HANDLE> handles_;
    std::set<DWORD> known_;
    DWORD last_ = 0;
};

// A dialog of the programs that waits for the user, as the scenario language sees it.
struct LiveDialog {
    HWND hwnd = nullptr;
    DWORD pid = 0;
    sim::DialogSnapshot snapshot;
    std::string ambiguity; // when templates share its controls: which ones
};

class Desktop {
  public:
    explicit Desktop(Programs& programs) : programs_(programs) {}
    ~Desktop();

    enum class Wait { Dialog, Ended, TimedOut };
    // Waits until a dialog of the programs waits for input, or every program has ended.
    Wait next(int timeout_ms, LiveDialog& out);
    // Carries out an input on the dialog; false with the reason Windows would ignore it.
    bool answer(const LiveDialog& dialog, const sim::Input& input, std::string* reason);
    // Waits until the dialog, the other windows of its thread and their controls are painted on the screen.
    void wait_painted(const LiveDialog& dialog);
    // Texts the product's message dialog drew itself, recorded by the painting hook.
    std::vector<std::string> painted_texts(HWND dialog);

  private:
    HWND front_dialog();
    bool ready(HWND hwnd);
    sim::DialogSnapshot snapshot(HWND hwnd, DWORD pid, std::string& ambiguity);
    std::string template_of(HWND hwnd, DWORD pid, const std::vector<int>& ids, std::string& kind,
                            std::string& ambiguity);

    struct Template {
        std::string name;
        std::string caption;
        std::set<int> ids;
    };
    const std::vector<Template>& templates_of(const std::string& exe);

    Programs& programs_;
    std::map<std::string, std::vector<Template>> templates_;
};

// Sends a message and waits at most a moment for it to be handled: an input whose handling opens another
// modal dialog goes on being handled while the driver looks for that dialog.
LRESULT send_briefly(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

// The user agent: where Windows would wait for the person at the machine (a modal dialog, a message box,
// the Open dialog, a message loop with nothing to do), the simulator shows the agent the window in front
// and asks it for the next input. Snapshots and inputs are plain data, easy to print and to write as text.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace sim {

struct ControlSnapshot {
    int id = 0;
    std::string class_name; // BUTTON, EDIT, STATIC, LISTBOX, COMBOBOX or a registered class
    std::string text;
    std::uint32_t style = 0;
    bool visible = true;
    bool enabled = true;
    bool focused = false;
    int checked = -1;                 // check boxes and radio buttons: 0, 1 or 2 (grey); -1 for others
    bool is_default = false;          // the default push button
    std::vector<std::string> entries; // list and combo boxes
    std::vector<int> selected;        // indexes of the selected entries
};

struct DialogSnapshot {
    std::string kind; // "dialog", "message" (MessageBoxA), "open" (GetOpenFileNameA), "window"
    std::string caption;
    std::string
        template_name;  // the dialog's template as the program named it ("WELCOME", "#101"); "" if none
    int default_id = 0; // 0: no default push button
    std::vector<std::string> painted; // texts the window painted itself (not held by controls)
    std::vector<ControlSnapshot> controls;
};

enum class InputKind {
    Click,       // a control, by id or by its text (with or without "&")
    Check,       // a check box to 0 (off), 1 (on) or 2 (grey), with as many clicks as that takes
    Type,        // replaces the text of an edit field, as typed
    Select,      // an entry of a list or combo box, by text (or by index when text is empty)
    SelectMany,  // exactly these entries of a multiple-selection list box
    DoubleClick, // an entry of a list box
    Enter,
    Escape,
    AltF4,
    Fail // the agent cannot answer: the program ends with a message
};

struct Input {
    InputKind kind = InputKind::Enter;
    int id = 0;                       // the control; 0: named by `control`
    std::string control;              // button text, with or without "&"
    std::string text;                 // typed text, or the entry to select
    int index = -1;                   // the entry to select when text is empty
    int check = 1;                    // for Check
    std::vector<std::string> entries; // for SelectMany
    std::string reason;               // for Fail
};

std::string describe(const Input& input);
std::string describe(const DialogSnapshot& snapshot);

class Agent {
  public:
    virtual ~Agent() = default;
    // The next input for the window in front.
    virtual Input next(const DialogSnapshot& snapshot) = 0;
    // The input that next() gave was one Windows would ignore (a disabled or hidden control, an entry
    // that is not in the list...). It had no effect; the agent is then asked again.
    virtual void rejected(const Input& input, const std::string& reason, const DialogSnapshot& snapshot) {
        (void)input;
        (void)reason;
        (void)snapshot;
    }
};

// The agent that answers every wait; nullptr: the defaults agent.
void set_agent(Agent* agent);
Agent* current_agent();

// Presses Enter in every dialog and message box (their default buttons). Waits outside a dialog
// cannot be answered by default: it gives up on those.
class DefaultsAgent : public Agent {
  public:
    Input next(const DialogSnapshot& snapshot) override;
};

// A list of inputs for tests. Running out of inputs fails, naming the dialog; inputs that Windows would
// ignore are kept in errors().
class QueueAgent : public Agent {
  public:
    QueueAgent() = default;
    explicit QueueAgent(std::vector<Input> inputs) : inputs_(inputs.begin(), inputs.end()) {}
    void push(Input input) { inputs_.push_back(std::move(input)); }
    Input next(const DialogSnapshot& snapshot) override;
    void rejected(const Input& input, const std::string& reason, const DialogSnapshot& snapshot) override;
    const std::vector<std::string>& errors() const { return errors_; }
    const std::vector<DialogSnapshot>& seen() const { return seen_; }
    bool empty() const { return inputs_.empty(); }

  private:
    std::deque<Input> inputs_;
    std::vector<std::string> errors_;
    std::vector<DialogSnapshot> seen_;
};

// Shortcuts for building inputs.
Input click(int id);
Input click(const std::string& text);
Input check(int id, int state);
Input type(int id, const std::string& text);
Input select(int id, const std::string& entry);
Input select_index(int id, int index);
Input select_many(int id, std::vector<std::string> entries);
Input double_click(int id, const std::string& entry);
Input key_enter();
Input key_escape();
Input key_alt_f4();

// The snapshot of a window as the agent sees it.
DialogSnapshot snapshot_of(void* hwnd);
// Applies one input to a window as the person would; false, with the reason, when Windows would
// ignore it.
bool apply_input(void* hwnd, const Input& input, std::string* reason);

// Screen: the desktop and every visible top-level window composed in z-order into an image of the
// machine's screen size (gdi_internal.h defines Surface); and that image as a PNG file.
struct Surface;
Surface compose_screen();
bool save_screenshot(const std::string& path, std::string* error = nullptr);

} // namespace sim

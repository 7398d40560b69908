// Where Windows waits for the person at the machine: the snapshot of the window in front, the agent's
// input applied through the same rules as mouse and keyboard input, and the two built-in agents.
#include "platform/sim/driver/agent.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/user/internal.h"

#include <algorithm>
#include <cstdio>

namespace sim {
namespace user {
namespace {

Agent*& agent_slot() {
    static Agent* a = nullptr;
    return a;
}

std::string without_ampersands(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&' && i + 1 < s.size() && s[i + 1] == '&') {
            out += '&';
            ++i;
        } else if (s[i] != '&') {
            out += s[i];
        }
    }
    return out;
}

bool is_list(const Window& w) {
    return class_is(w, "LISTBOX");
}
bool is_combo(const Window& w) {
    return class_is(w, "COMBOBOX");
}

std::vector<std::string> entries_of(const Window& w) {
    std::vector<std::string> out;
    for (const auto& i : w.control.items)
        out.push_back(i.text);
    return out;
}

std::vector<int> selection_of(const Window& w) {
    std::vector<int> out;
    bool multi = is_list(w) && (w.style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL));
    if (multi) {
        for (std::size_t i = 0; i < w.control.items.size(); ++i)
            if (w.control.items[i].selected) out.push_back(static_cast<int>(i));
    } else if (w.control.cur >= 0) {
        out.push_back(w.control.cur);
    }
    return out;
}

// Shown, and at least partly inside its parent's client area: a control moved out of the window is as
// unseen, and as impossible to click, as a hidden one.
bool in_sight(HWND c) {
    if (!IsWindowVisible(c)) return false;
    HWND parent = GetParent(c);
    if (!parent) return true;
    RECT area, control, overlap;
    GetClientRect(parent, &area);
    GetWindowRect(c, &control);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&control), 2);
    return IntersectRect(&overlap, &area, &control) != 0;
}

ControlSnapshot control_snapshot(HWND c, int default_id) {
    const Window& w = *find(c);
    ControlSnapshot s;
    s.id = static_cast<int>(static_cast<WORD>(w.id));
    s.class_name = w.cls->name;
    s.text = w.text;
    s.style = w.style;
    s.visible = in_sight(c);
    s.enabled = !(w.style & WS_DISABLED);
    s.focused = GetFocus() == c;
    if (class_is(w, "BUTTON") && is_check_like(w)) s.checked = w.control.check;
    if (class_is(w, "BUTTON") && is_push_button(w))
        s.is_default = default_id ? s.id == default_id : button_type(w) == BS_DEFPUSHBUTTON;
    if (is_list(w) || is_combo(w)) {
        s.entries = entries_of(w);
        s.selected = selection_of(w);
        if (is_combo(w))
            s.text = w.control.cur >= 0 ? w.control.items[static_cast<std::size_t>(w.control.cur)].text : "";
    }
    return s;
}

HWND find_control(HWND window, const Input& in) {
    Window* d = find(window);
    if (!d) return nullptr;
    if (in.id) return GetDlgItem(window, in.id);
    std::string want = upper_ascii(without_ampersands(in.control));
    for (HWND c : d->children)
        if (Window* w = find(c); w && upper_ascii(without_ampersands(w->text)) == want) return c;
    return nullptr;
}

std::string name_of(const Input& in) {
    if (in.id) return "control " + std::to_string(in.id);
    return "\"" + in.control + "\"";
}

bool reject(std::string* reason, const std::string& why) {
    if (reason) *reason = why;
    return false;
}

// A control that takes input: present, shown and enabled, in an enabled window.
HWND usable_control(HWND window, const Input& in, std::string* reason) {
    HWND c = find_control(window, in);
    if (!c) {
        reject(reason, name_of(in) + " is not in the window");
        return nullptr;
    }
    if (!in_sight(c)) {
        reject(reason, name_of(in) + " is hidden");
        return nullptr;
    }
    if (!IsWindowEnabled(c) || !IsWindowEnabled(window)) {
        reject(reason, name_of(in) + " is disabled");
        return nullptr;
    }
    return c;
}

int entry_index(const Window& w, const Input& in) {
    const auto& items = w.control.items;
    if (in.text.empty()) return in.index >= 0 && in.index < static_cast<int>(items.size()) ? in.index : -1;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (equal_nocase(items[i].text, in.text)) return static_cast<int>(i);
    return -1;
}

void send_key(HWND window, WPARAM key) {
    MSG m{GetFocus() && IsChild(window, GetFocus()) ? GetFocus() : window, WM_KEYDOWN, key, 0, 0, {0, 0}};
    if (find(window)->dialog) {
        IsDialogMessageA(window, &m);
    } else {
        DispatchMessageA(&m);
    }
}

bool apply_click(HWND window, const Input& in, std::string* reason) {
    HWND c = usable_control(window, in, reason);
    if (!c) return false;
    Window& w = *find(c);
    if (class_is(w, "BUTTON")) {
        if (button_type(w) == BS_GROUPBOX) return reject(reason, name_of(in) + " is a group box");
        click_button(c);
        return true;
    }
    if (class_is(w, "STATIC")) {
        if (!(w.style & SS_NOTIFY)) return reject(reason, name_of(in) + " is a static text");
        notify_parent(c, 0 /* STN_CLICKED */);
        return true;
    }
    SetFocus(c);
    return true;
}

bool apply_check(HWND window, const Input& in, std::string* reason) {
    HWND c = usable_control(window, in, reason);
    if (!c) return false;
    Window* w = find(c);
    if (!class_is(*w, "BUTTON") || !is_check_like(*w))
        return reject(reason, name_of(in) + " is not a check box");
    // As many clicks as the state takes; a box that never reaches it (no grey state, or a procedure that
    // does not change it) is reported.
    for (int clicks = 0; clicks < 3; ++clicks) {
        if ((w = find(c)) == nullptr) return true;
        if (w->control.check == in.check) return true;
        click_button(c);
    }
    if ((w = find(c)) == nullptr || w->control.check == in.check) return true;
    return reject(reason, name_of(in) + " does not take the state " + std::to_string(in.check));
}

bool apply_type(HWND window, const Input& in, std::string* reason) {
    HWND c = usable_control(window, in, reason);
    if (!c) return false;
    Window* w = find(c);
    if (!class_is(*w, "EDIT")) return reject(reason, name_of(in) + " is not an edit field");
    if (w->style & ES_READONLY) return reject(reason, name_of(in) + " is read-only");
    SetFocus(c);
    edit_type(c, in.text);
    return true;
}

void list_click(HWND c, int index) {
    Window* w = find(c);
    bool multi = w->style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL);
    if (multi) {
        auto& item = w->control.items[static_cast<std::size_t>(index)];
        item.selected = !item.selected;
        w->control.cur = index;
    } else {
        send(c, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
    invalidate(c, true);
    if ((w = find(c)) && (w->style & LBS_NOTIFY)) notify_parent(c, LBN_SELCHANGE);
}

void combo_pick(HWND c, int index) {
    notify_parent(c, CBN_DROPDOWN);
    if (!find(c)) return;
    send(c, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    notify_parent(c, CBN_SELENDOK);
    if (find(c)) notify_parent(c, CBN_CLOSEUP);
    if (find(c)) notify_parent(c, CBN_SELCHANGE);
}

bool apply_select(HWND window, const Input& in, std::string* reason, bool twice) {
    HWND c = usable_control(window, in, reason);
    if (!c) return false;
    Window* w = find(c);
    if (!is_list(*w) && !is_combo(*w)) return reject(reason, name_of(in) + " is not a list");
    int index = entry_index(*w, in);
    if (index < 0) return reject(reason, "\"" + in.text + "\" is not an entry of " + name_of(in));
    SetFocus(c);
    if ((w = find(c)) == nullptr) return true;
    if (is_combo(*w)) {
        if (twice) return reject(reason, name_of(in) + " is a drop-down list");
        combo_pick(c, index);
        return true;
    }
    bool multi = w->style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL);
    if (!(multi && w->control.items[static_cast<std::size_t>(index)].selected)) list_click(c, index);
    if (twice && (w = find(c)) && (w->style & LBS_NOTIFY)) notify_parent(c, LBN_DBLCLK);
    return true;
}

bool apply_select_many(HWND window, const Input& in, std::string* reason) {
    HWND c = usable_control(window, in, reason);
    if (!c) return false;
    Window* w = find(c);
    if (!is_list(*w) || !(w->style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)))
        return reject(reason, name_of(in) + " is not a multiple-selection list");
    std::vector<bool> want(w->control.items.size(), false);
    for (const auto& e : in.entries) {
        Input one = in;
        one.text = e;
        int i = entry_index(*w, one);
        if (i < 0) return reject(reason, "\"" + e + "\" is not an entry of " + name_of(in));
        want[static_cast<std::size_t>(i)] = true;
    }
    SetFocus(c);
    for (std::size_t i = 0; i < want.size(); ++i) {
        if ((w = find(c)) == nullptr || i >= w->control.items.size()) break;
        if (w->control.items[i].selected != want[i]) list_click(c, static_cast<int>(i));
    }
    return true;
}

bool apply_enter(HWND window, std::string* reason) {
    if (find(window)->dialog) {
        int id = default_button_id(window);
        HWND b = id ? GetDlgItem(window, id) : nullptr;
        if (b && !IsWindowEnabled(b)) return reject(reason, "the default button is disabled");
    }
    send_key(window, VK_RETURN);
    return true;
}

} // namespace

void wait_for_user(HWND window) {
    if (!window || !IsWindow(window)) {
        fatal("the program waits for input, but no window is shown that could take it");
    }
    Agent* a = current_agent();
    for (int refused = 0;; ++refused) {
        DialogSnapshot snap = snapshot_of(window);
        if (refused >= 100) fatal("no usable input for \"" + snap.caption + "\"");
        Input in = a->next(snap);
        if (in.kind == InputKind::Fail)
            fatal("nobody answers \"" + snap.caption + "\"" + (in.reason.empty() ? "" : ": " + in.reason));
        std::string reason;
        if (apply_input(window, in, &reason)) return;
        a->rejected(in, reason, snap);
    }
}

} // namespace user

using namespace user;

namespace {
Input make_input(InputKind kind, int id = 0) {
    Input in;
    in.kind = kind;
    in.id = id;
    return in;
}
} // namespace

void set_agent(Agent* agent) {
    agent_slot() = agent;
}

Agent* current_agent() {
    static DefaultsAgent defaults;
    return agent_slot() ? agent_slot() : &defaults;
}

DialogSnapshot snapshot_of(void* hwnd_ptr) {
    HWND hwnd = static_cast<HWND>(hwnd_ptr);
    DialogSnapshot s;
    Window* w = find(hwnd);
    if (!w) return s;
    s.kind = w->dialog ? w->dialog->kind : "window";
    s.caption = w->text;
    if (w->dialog) s.template_name = w->dialog->template_name;
    s.painted = painted_texts(hwnd);
    if (w->dialog) s.default_id = default_button_id(hwnd);
    if ((w = find(hwnd)) == nullptr) return s;
    for (HWND c : w->children)
        if (find(c)) s.controls.push_back(control_snapshot(c, s.default_id));
    return s;
}

bool apply_input(void* hwnd_ptr, const Input& in, std::string* reason) {
    HWND window = static_cast<HWND>(hwnd_ptr);
    if (!find(window)) return reject(reason, "the window is gone");
    switch (in.kind) {
    case InputKind::Click:
        return apply_click(window, in, reason);
    case InputKind::Check:
        return apply_check(window, in, reason);
    case InputKind::Type:
        return apply_type(window, in, reason);
    case InputKind::Select:
        return apply_select(window, in, reason, false);
    case InputKind::DoubleClick:
        return apply_select(window, in, reason, true);
    case InputKind::SelectMany:
        return apply_select_many(window, in, reason);
    case InputKind::Enter:
        return apply_enter(window, reason);
    case InputKind::Escape:
        send_key(window, VK_ESCAPE);
        return true;
    case InputKind::AltF4:
        send(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
    case InputKind::Fail:
        return reject(reason, "the agent gave up");
    }
    return reject(reason, "unknown input");
}

Input DefaultsAgent::next(const DialogSnapshot& snapshot) {
    if (snapshot.kind == "window") {
        Input fail = make_input(InputKind::Fail);
        fail.reason = "the defaults agent presses buttons of dialogs only";
        return fail;
    }
    return key_enter();
}

Input QueueAgent::next(const DialogSnapshot& snapshot) {
    seen_.push_back(snapshot);
    if (inputs_.empty()) {
        Input fail = make_input(InputKind::Fail);
        fail.reason = "no input left for \"" + snapshot.caption + "\"";
        return fail;
    }
    Input in = inputs_.front();
    inputs_.pop_front();
    return in;
}

void QueueAgent::rejected(const Input& input, const std::string& reason, const DialogSnapshot& snapshot) {
    errors_.push_back("\"" + snapshot.caption + "\": " + describe(input) + ": " + reason);
}

Input click(int id) {
    return make_input(InputKind::Click, id);
}
Input click(const std::string& text) {
    Input in = make_input(InputKind::Click);
    in.control = text;
    return in;
}
Input check(int id, int state) {
    Input in = make_input(InputKind::Check, id);
    in.check = state;
    return in;
}
Input type(int id, const std::string& text) {
    Input in = make_input(InputKind::Type, id);
    in.text = text;
    return in;
}
Input select(int id, const std::string& entry) {
    Input in = make_input(InputKind::Select, id);
    in.text = entry;
    return in;
}
Input select_index(int id, int index) {
    Input in = make_input(InputKind::Select, id);
    in.index = index;
    return in;
}
Input select_many(int id, std::vector<std::string> entries) {
    Input in = make_input(InputKind::SelectMany, id);
    in.entries = std::move(entries);
    return in;
}
Input double_click(int id, const std::string& entry) {
    Input in = make_input(InputKind::DoubleClick, id);
    in.text = entry;
    return in;
}
Input key_enter() {
    return make_input(InputKind::Enter);
}
Input key_escape() {
    return make_input(InputKind::Escape);
}
Input key_alt_f4() {
    return make_input(InputKind::AltF4);
}

} // namespace sim

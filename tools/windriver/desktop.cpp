#include "tools/windriver/desktop.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr UINT kBriefMs = 300;   // an input's handling, unless it opens another modal dialog
constexpr UINT kReadMs = 3000;   // a question to a control (its text, its entries)
constexpr DWORD kPollMs = 20;    // between looks at the desktop
constexpr DWORD kSettleMs = 40;  // a dialog must stay in front this long to be the one that waits
constexpr DWORD kPaintMs = 3000; // at most, for a dialog's windows to be painted
constexpr DWORD kShownMs = 200;  // for Wine to carry what was painted to the screen

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string without_amp(const std::string& s) {
    std::string out;
    for (char c : s)
        if (c != '&') out += c;
    return out;
}

LRESULT ask(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(hwnd, msg, wparam, lparam, SMTO_ABORTIFHUNG, kReadMs, &result)) return -1;
    return static_cast<LRESULT>(result);
}

std::string class_of(HWND hwnd) {
    char name[64] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return upper(name);
}

std::string text_of(HWND hwnd) {
    LRESULT n = ask(hwnd, WM_GETTEXTLENGTH, 0, 0);
    if (n <= 0) return "";
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    LRESULT got = ask(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

LRESULT ask_wide(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(hwnd, msg, wparam, lparam, SMTO_ABORTIFHUNG, kReadMs, &result)) return -1;
    return static_cast<LRESULT>(result);
}

// The entries of a list box or a combo box's list, by the messages of each. They are asked for as
// Unicode and converted here: Wine hands an entry of another process's list to an ANSI caller unconverted.
std::vector<std::string> entries_of(HWND hwnd, bool combo) {
    std::vector<std::string> out;
    LRESULT count = ask(hwnd, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT n = ask_wide(hwnd, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, i, 0);
        std::wstring wide(n > 0 ? static_cast<std::size_t>(n) + 1 : 1, L'\0');
        LRESULT got =
            ask_wide(hwnd, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
        wide.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        std::string entry(wide.size() * 2 + 1, '\0');
        int bytes = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), entry.data(),
                                        static_cast<int>(entry.size()), nullptr, nullptr);
        entry.resize(bytes > 0 ? static_cast<std::size_t>(bytes) : 0);
        out.push_back(entry);
    }
    return out;
}

bool is_check_like(DWORD style) {
    DWORD type = style & BS_TYPEMASK;
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE ||
           type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

std::vector<HWND> children_of(HWND hwnd) {
    std::vector<HWND> out;
    for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        out.push_back(c);
    return out;
}

// ---- dialog templates in a program's resources

struct TemplateReader {
    const BYTE* p;
    const BYTE* end;
    bool ok = true;

    WORD word() {
        if (p + 2 > end) return ok = false, 0;
        WORD w;
        std::memcpy(&w, p, 2);
        p += 2;
        return w;
    }
    DWORD dword() {
        DWORD lo = word();
        return lo | (static_cast<DWORD>(word()) << 16);
    }
    std::string text() { // a zero-ended UTF-16 string, kept as ANSI
        std::string s;
        for (WORD c = word(); ok && c; c = word())
            s += static_cast<char>(c < 256 ? c : '?');
        return s;
    }
    std::string text_or_ordinal() {
        WORD first = word();
        if (first == 0) return "";
        if (first == 0xFFFF) return "#" + std::to_string(word());
        p -= 2;
        return text();
    }
    void align() {
        while (reinterpret_cast<ULONG_PTR>(p) & 3)
            ++p;
    }
};

// Caption and control ids of a DIALOG or DIALOGEX template.
bool read_template(const BYTE* data, DWORD size, std::string& caption, std::set<int>& ids) {
    TemplateReader r{data, data + size};
    bool ex = size >= 4 && r.word() == 1 && r.word() == 0xFFFF;
    if (!ex) r.p = data;
    DWORD style;
    if (ex) {
        r.dword(); // help id
        r.dword(); // extended style
        style = r.dword();
    } else {
        style = r.dword();
        r.dword();
    }
    WORD count = r.word();
    for (int i = 0; i < 4; ++i)
        r.word();
    r.text_or_ordinal(); // menu
    r.text_or_ordinal(); // class
    caption = r.text();
    if (style & DS_SETFONT) {
        r.word();
        if (ex) r.dword(); // weight, italic, charset
        r.text();
    }
    for (WORD i = 0; i < count && r.ok; ++i) {
        r.align();
        if (ex) r.dword();
        r.dword();
        r.dword();
        for (int k = 0; k < 4; ++k)
            r.word();
        int id = ex ? static_cast<int>(r.dword()) : static_cast<short>(r.word());
        r.text_or_ordinal();
        r.text_or_ordinal();
        WORD extra = r.word();
        r.p += extra;
        if (id != -1 && id != 0xFFFF) ids.insert(id);
    }
    return r.ok;
}

struct EnumState {
    HMODULE module;
    std::vector<std::pair<std::string, std::pair<std::string, std::set<int>>>> found;
};

BOOL CALLBACK on_dialog_resource(HMODULE module, LPCSTR, LPSTR name, LONG_PTR param) {
    auto* state = reinterpret_cast<EnumState*>(param);
    HRSRC res = FindResourceA(module, name, MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    HGLOBAL loaded = res ? LoadResource(module, res) : nullptr;
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!data) return TRUE;
    std::string caption;
    std::set<int> ids;
    if (!read_template(data, SizeofResource(module, res), caption, ids)) return TRUE;
    std::string label =
        IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name)) : upper(name);
    state->found.push_back({label, {caption, ids}});
    return TRUE;
}

} // namespace

LRESULT send_briefly(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(hwnd, msg, wparam, lparam, SMTO_NORMAL, kBriefMs, &result);
    return static_cast<LRESULT>(result);
}

// ---- programs

namespace {

// Loads wdhook.dll (beside windriver.exe) into a program, by a thread of its own that calls LoadLibraryA.
void inject_hook(HANDLE process) {
    char dll[MAX_PATH];
    GetModuleFileNameA(nullptr, dll, sizeof dll);
    char* slash = std::strrchr(dll, '\\');
    if (!slash) return;
    lstrcpyA(slash + 1, "wdhook.dll");
    std::size_t size = std::strlen(dll) + 1;
    void* remote = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote) return;
    auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
    HANDLE thread = nullptr;
    if (WriteProcessMemory(process, remote, dll, size, nullptr))
        thread = CreateRemoteThread(process, nullptr, 0, load, remote, 0, nullptr);
    if (thread) {
        WaitForSingleObject(thread, 5000);
        CloseHandle(thread);
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
}

constexpr DWORD kAdoptRights = SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_QUERY_LIMITED_INFORMATION |
                               PROCESS_TERMINATE | PROCESS_CREATE_THREAD | PROCESS_VM_OPERATION |
                               PROCESS_VM_WRITE | PROCESS_VM_READ;

} // namespace

Programs::~Programs() {
    stop_all();
}

bool Programs::launch(const std::string& command_line, std::string* error) {
    // The program's own folder is its current directory, as when a person starts it from its window.
    std::string program = command_line;
    if (!program.empty() && program[0] == '"')
        program = program.substr(1, program.find('"', 1) - 1);
    else
        program = program.substr(0, program.find(' '));
    std::string dir = program.substr(0, program.find_last_of('\\') + 1);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string line = command_line;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        dir.empty() ? nullptr : dir.c_str(), &si, &pi)) {
        if (error)
            *error = "cannot start " + command_line + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    CloseHandle(pi.hThread);
    inject_hook(pi.hProcess);
    handles_[pi.dwProcessId] = pi.hProcess;
    known_.insert(pi.dwProcessId);
    last_ = pi.dwProcessId;
    return true;
}

// Whether CHILD was started by PARENT and not by a later process that got PARENT's id when it ended:
// it was made while PARENT ran.
static bool started_by(HANDLE parent, HANDLE child) {
    FILETIME made, ended, kernel, user, child_made, unused;
    if (!GetProcessTimes(parent, &made, &ended, &kernel, &user) ||
        !GetProcessTimes(child, &child_made, &unused, &kernel, &user))
        return false;
    if (CompareFileTime(&child_made, &made) < 0) return false;
    return WaitForSingleObject(parent, 0) == WAIT_TIMEOUT || CompareFileTime(&child_made, &ended) <= 0;
}

void Programs::adopt_children() {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return;
    PROCESSENTRY32 e{};
    e.dwSize = sizeof e;
    for (BOOL more = Process32First(snap, &e); more; more = Process32Next(snap, &e)) {
        auto parent = handles_.find(e.th32ParentProcessID);
        if (parent == handles_.end() || known_.count(e.th32ProcessID)) continue;
        HANDLE h = OpenProcess(kAdoptRights, FALSE, e.th32ProcessID);
        if (!h) continue;
        if (!started_by(parent->second, h)) {
            CloseHandle(h);
            continue;
        }
        inject_hook(h);
        handles_[e.th32ProcessID] = h;
        known_.insert(e.th32ProcessID);
    }
    CloseHandle(snap);
}

bool Programs::running() {
    adopt_children();
    return std::any_of(handles_.begin(), handles_.end(),
                       [](const auto& p) { return WaitForSingleObject(p.second, 0) == WAIT_TIMEOUT; });
}

HANDLE Programs::handle(DWORD pid) const {
    auto it = handles_.find(pid);
    return it == handles_.end() ? nullptr : it->second;
}

int Programs::last_exit_code() const {
    HANDLE h = handle(last_);
    DWORD code = 0;
    if (!h || !GetExitCodeProcess(h, &code) || code == STILL_ACTIVE) return -1;
    return static_cast<int>(code);
}

void Programs::stop_all() {
    for (auto& [pid, h] : handles_) {
        if (WaitForSingleObject(h, 0) == WAIT_TIMEOUT) {
            TerminateProcess(h, 1);
            WaitForSingleObject(h, 5000);
        }
        CloseHandle(h);
    }
    handles_.clear();
    known_.clear();
    last_ = 0;
}

// ---- dialogs

Desktop::~Desktop() = default;

namespace {
struct FrontSearch {
    const Programs* programs;
    HWND found = nullptr;
};

BOOL CALLBACK on_top_window(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<FrontSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (!s->programs->owns(pid) || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) return TRUE;
    if (class_of(hwnd) != "#32770") return TRUE;
    s->found = hwnd;
    return FALSE; // the first in Z order is the one in front
}
} // namespace

HWND Desktop::front_dialog() {
    FrontSearch s{&programs_};
    EnumWindows(on_top_window, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// A dialog waits for the user when its thread takes messages and it stays in front for a moment (a
// dialog that ends at once, or one about to open another, does not).
bool Desktop::ready(HWND hwnd) {
    if (ask(hwnd, WM_NULL, 0, 0) < 0) return false;
    Sleep(kSettleMs);
    return front_dialog() == hwnd && ask(hwnd, WM_NULL, 0, 0) >= 0;
}

namespace {

BOOL CALLBACK note_unpainted(HWND hwnd, LPARAM param) {
    if (IsWindowVisible(hwnd) && GetUpdateRect(hwnd, nullptr, FALSE)) *reinterpret_cast<bool*>(param) = true;
    return TRUE;
}

BOOL CALLBACK note_unpainted_tree(HWND hwnd, LPARAM param) {
    note_unpainted(hwnd, param);
    EnumChildWindows(hwnd, note_unpainted, param);
    return TRUE;
}

// Whether a window of the thread, or a control in one, still waits to be painted.
bool thread_unpainted(DWORD thread) {
    bool unpainted = false;
    EnumThreadWindows(thread, note_unpainted_tree, reinterpret_cast<LPARAM>(&unpainted));
    return unpainted;
}

} // namespace

void Desktop::wait_painted(const LiveDialog& dialog) {
    DWORD thread = GetWindowThreadProcessId(dialog.hwnd, nullptr);
    HANDLE process = programs_.handle(dialog.pid);
    for (DWORD start = GetTickCount(); GetTickCount() - start < kPaintMs;) {
        if (process) WaitForInputIdle(process, kPaintMs);
        if (!thread_unpainted(thread)) break;
        Sleep(kPollMs);
    }
    Sleep(kShownMs);
}

Desktop::Wait Desktop::next(int timeout_ms, LiveDialog& out) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        HWND h = front_dialog();
        if (h && ready(h)) {
            out.hwnd = h;
            GetWindowThreadProcessId(h, &out.pid);
            out.snapshot = snapshot(h, out.pid, out.ambiguity);
            return Wait::Dialog;
        }
        if (!h && !programs_.running()) return Wait::Ended;
        if (GetTickCount() - start > static_cast<DWORD>(timeout_ms)) return Wait::TimedOut;
        Sleep(kPollMs);
    }
}

const std::vector<Desktop::Template>& Desktop::templates_of(const std::string& exe) {
    auto it = templates_.find(exe);
    if (it != templates_.end()) return it->second;
    std::vector<Template>& list = templates_[exe];
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return list;
    EnumState state{module, {}};
    EnumResourceNamesA(module, MAKEINTRESOURCEA(5), on_dialog_resource, reinterpret_cast<LONG_PTR>(&state));
    FreeLibrary(module);
    for (auto& [name, t] : state.found)
        list.push_back({name, t.first, t.second});
    return list;
}

namespace {
// A control without an id of its own (a static text or frame: -1) tells no template from another.
std::set<int> own_ids(const std::vector<int>& ids) {
    std::set<int> out;
    for (int id : ids)
        if (id != -1 && id != 0xFFFF) out.insert(id);
    return out;
}
} // namespace

// The template the live dialog was made from: the one with exactly its controls, every id of the template
// present and none besides (the caption decides between templates with the same controls). A dialog made
// from none is the system's: the Open dialog (it has a file name field) or a message box. More than one
// template with the same controls and caption is an error that names them.
std::string Desktop::template_of(HWND hwnd, DWORD pid, const std::vector<int>& ids, std::string& kind,
                                 std::string& ambiguity) {
    std::set<int> live = own_ids(ids);
    char exe[MAX_PATH] = "", caption[512] = "";
    DWORD size = sizeof exe;
    GetWindowTextA(hwnd, caption, sizeof caption);
    HANDLE h = programs_.handle(pid);
    std::vector<const Template*> same_controls;
    if (h && QueryFullProcessImageNameA(h, 0, exe, &size))
        for (const Template& t : templates_of(exe))
            if (t.ids == live) same_controls.push_back(&t);
    std::vector<const Template*> same_caption;
    for (const Template* t : same_controls)
        if (t->caption == caption) same_caption.push_back(t);
    const auto& found = same_caption.empty() ? same_controls : same_caption;
    if (found.size() > 1) {
        ambiguity = "the dialog \"" + std::string(caption) + "\" has the controls of the templates";
        for (const Template* t : found)
            ambiguity += " " + t->name;
    }
    bool file_field = live.count(1152) || live.count(1148);
    kind = !found.empty() ? "dialog" : file_field ? "open" : "message";
    return found.empty() ? "" : found.front()->name;
}

sim::DialogSnapshot Desktop::snapshot(HWND hwnd, DWORD pid, std::string& ambiguity) {
    sim::DialogSnapshot s;
    char caption[512] = "";
    GetWindowTextA(hwnd, caption, sizeof caption);
    s.caption = caption;
    LRESULT def = ask(hwnd, DM_GETDEFID, 0, 0);
    if (def > 0 && HIWORD(def) == DC_HASDEFID) s.default_id = LOWORD(def);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &gui);
    std::vector<int> ids;
    for (HWND c : children_of(hwnd)) {
        sim::ControlSnapshot cs;
        cs.id = GetDlgCtrlID(c);
        cs.class_name = class_of(c);
        cs.style = static_cast<std::uint32_t>(GetWindowLongA(c, GWL_STYLE));
        cs.text = text_of(c);
        cs.visible = IsWindowVisible(c);
        cs.enabled = IsWindowEnabled(c);
        cs.focused = gui.hwndFocus == c;
        cs.is_default = cs.id == s.default_id;
        if (cs.class_name == "BUTTON" && is_check_like(cs.style))
            cs.checked = static_cast<int>(ask(c, BM_GETCHECK, 0, 0));
        bool combo = cs.class_name == "COMBOBOX";
        if (combo || cs.class_name == "LISTBOX") {
            cs.entries = entries_of(c, combo);
            if (combo) {
                LRESULT sel = ask(c, CB_GETCURSEL, 0, 0);
                if (sel >= 0) cs.selected.push_back(static_cast<int>(sel));
            } else {
                for (std::size_t i = 0; i < cs.entries.size(); ++i)
                    if (ask(c, LB_GETSEL, i, 0) > 0) cs.selected.push_back(static_cast<int>(i));
            }
        }
        ids.push_back(cs.id);
        s.controls.push_back(cs);
    }
    s.template_name = template_of(hwnd, pid, ids, s.kind, ambiguity);
    s.painted = painted_texts(hwnd);
    return s;
}

// ---- input

namespace {

bool reject(std::string* reason, const std::string& why) {
    if (reason) *reason = why;
    return false;
}

std::string name_of(const sim::Input& in) {
    return "control " + (in.id ? std::to_string(in.id) : "\"" + in.control + "\"");
}

HWND usable_control(HWND dialog, const sim::Input& in, std::string* reason) {
    for (HWND c : children_of(dialog)) {
        bool match = in.id ? GetDlgCtrlID(c) == in.id : without_amp(text_of(c)) == without_amp(in.control);
        if (!match) continue;
        if (!IsWindowVisible(c)) return reject(reason, name_of(in) + " is hidden"), nullptr;
        if (!IsWindowEnabled(c)) return reject(reason, name_of(in) + " is disabled"), nullptr;
        return c;
    }
    return reject(reason, "the dialog has no " + name_of(in)), nullptr;
}

// What the control tells its dialog, as Windows sends it when a person acts on the control.
void notify(HWND dialog, HWND control, WORD code) {
    send_briefly(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                 reinterpret_cast<LPARAM>(control));
}

int entry_index(const std::vector<std::string>& entries, const std::string& text) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i] == text) return static_cast<int>(i);
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (lstrcmpiA(entries[i].c_str(), text.c_str()) == 0) return static_cast<int>(i);
    return -1;
}

bool list_select(HWND dialog, HWND c, int index, bool twice) {
    DWORD style = static_cast<DWORD>(GetWindowLongA(c, GWL_STYLE));
    bool multi = style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL);
    bool already = multi && ask(c, LB_GETSEL, index, 0) > 0;
    if (!already) {
        if (multi)
            ask(c, LB_SETSEL, TRUE, index);
        else
            ask(c, LB_SETCURSEL, index, 0);
        if (style & LBS_NOTIFY) notify(dialog, c, LBN_SELCHANGE);
    }
    if (twice && (style & LBS_NOTIFY)) notify(dialog, c, LBN_DBLCLK);
    return true;
}

void combo_pick(HWND dialog, HWND c, int index) {
    notify(dialog, c, CBN_DROPDOWN);
    ask(c, CB_SETCURSEL, index, 0);
    notify(dialog, c, CBN_SELENDOK);
    notify(dialog, c, CBN_CLOSEUP);
    notify(dialog, c, CBN_SELCHANGE);
}

bool apply_select(HWND dialog, const sim::Input& in, std::string* reason, bool twice) {
    HWND c = usable_control(dialog, in, reason);
    if (!c) return false;
    std::string cls = class_of(c);
    bool combo = cls == "COMBOBOX";
    if (!combo && cls != "LISTBOX") return reject(reason, name_of(in) + " is not a list");
    int index = entry_index(entries_of(c, combo), in.text);
    if (index < 0) return reject(reason, "\"" + in.text + "\" is not an entry of " + name_of(in));
    if (combo && twice) return reject(reason, name_of(in) + " is a drop-down list");
    if (combo) {
        combo_pick(dialog, c, index);
        return true;
    }
    return list_select(dialog, c, index, twice);
}

bool apply_select_many(HWND dialog, const sim::Input& in, std::string* reason) {
    HWND c = usable_control(dialog, in, reason);
    if (!c) return false;
    DWORD style = static_cast<DWORD>(GetWindowLongA(c, GWL_STYLE));
    if (class_of(c) != "LISTBOX" || !(style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)))
        return reject(reason, name_of(in) + " is not a multiple-selection list");
    std::vector<std::string> entries = entries_of(c, false);
    std::vector<bool> want(entries.size(), false);
    for (const auto& e : in.entries) {
        int i = entry_index(entries, e);
        if (i < 0) return reject(reason, "\"" + e + "\" is not an entry of " + name_of(in));
        want[static_cast<std::size_t>(i)] = true;
    }
    for (std::size_t i = 0; i < want.size(); ++i) {
        if ((ask(c, LB_GETSEL, i, 0) > 0) == want[i]) continue;
        ask(c, LB_SETSEL, want[i], static_cast<LPARAM>(i));
        if (style & LBS_NOTIFY) notify(dialog, c, LBN_SELCHANGE);
    }
    return true;
}

bool apply_click(HWND dialog, const sim::Input& in, std::string* reason) {
    HWND c = usable_control(dialog, in, reason);
    if (!c) return false;
    std::string cls = class_of(c);
    DWORD style = static_cast<DWORD>(GetWindowLongA(c, GWL_STYLE));
    if (cls == "BUTTON") {
        if ((style & BS_TYPEMASK) == BS_GROUPBOX) return reject(reason, name_of(in) + " is a group box");
        send_briefly(c, BM_CLICK, 0, 0);
        return true;
    }
    if (cls == "STATIC") {
        if (!(style & SS_NOTIFY)) return reject(reason, name_of(in) + " is a static text");
        notify(dialog, c, STN_CLICKED);
    }
    return true;
}

bool apply_check(HWND dialog, const sim::Input& in, std::string* reason) {
    HWND c = usable_control(dialog, in, reason);
    if (!c) return false;
    if (class_of(c) != "BUTTON" || !is_check_like(static_cast<DWORD>(GetWindowLongA(c, GWL_STYLE))))
        return reject(reason, name_of(in) + " is not a check box");
    for (int clicks = 0; clicks < 3; ++clicks) {
        if (!IsWindow(c) || ask(c, BM_GETCHECK, 0, 0) == in.check) return true;
        send_briefly(c, BM_CLICK, 0, 0);
    }
    if (!IsWindow(c) || ask(c, BM_GETCHECK, 0, 0) == in.check) return true;
    return reject(reason, name_of(in) + " does not take the state " + std::to_string(in.check));
}

// The text replaces the field's as if typed: the field tells its dialog of the change (EN_CHANGE), as an
// edit field does when its text is set.
bool apply_type(HWND dialog, const sim::Input& in, std::string* reason) {
    HWND c = usable_control(dialog, in, reason);
    if (!c) return false;
    std::string cls = class_of(c);
    DWORD style = static_cast<DWORD>(GetWindowLongA(c, GWL_STYLE));
    bool editable_combo =
        cls == "COMBOBOXEX32" || (cls == "COMBOBOX" && (style & 3) != CBS_DROPDOWNLIST && (style & 3) != 0);
    if (cls != "EDIT" && !editable_combo) return reject(reason, name_of(in) + " is not an edit field");
    if (GetWindowLongA(c, GWL_STYLE) & ES_READONLY) return reject(reason, name_of(in) + " is read-only");
    ask(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(in.text.c_str()));
    return true;
}

// Enter presses the default push button (IDOK where there is none), as the dialog manager does; a
// disabled default button takes nothing.
bool apply_enter(HWND dialog, std::string* reason) {
    LRESULT def = ask(dialog, DM_GETDEFID, 0, 0);
    int id = def > 0 && HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
    HWND button = GetDlgItem(dialog, id);
    if (button && !IsWindowEnabled(button)) return reject(reason, "the default button is disabled");
    send_briefly(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return true;
}

} // namespace

bool Desktop::answer(const LiveDialog& d, const sim::Input& in, std::string* reason) {
    if (!IsWindow(d.hwnd)) return reject(reason, "the window is gone");
    switch (in.kind) {
    case sim::InputKind::Click:
        return apply_click(d.hwnd, in, reason);
    case sim::InputKind::Check:
        return apply_check(d.hwnd, in, reason);
    case sim::InputKind::Type:
        return apply_type(d.hwnd, in, reason);
    case sim::InputKind::Select:
        return apply_select(d.hwnd, in, reason, false);
    case sim::InputKind::DoubleClick:
        return apply_select(d.hwnd, in, reason, true);
    case sim::InputKind::SelectMany:
        return apply_select_many(d.hwnd, in, reason);
    case sim::InputKind::Enter:
        return apply_enter(d.hwnd, reason);
    case sim::InputKind::Escape:
        send_briefly(d.hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(d.hwnd, IDCANCEL)));
        return true;
    case sim::InputKind::AltF4:
        send_briefly(d.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
    case sim::InputKind::Fail:
        return reject(reason, "the agent gave up");
    }
    return reject(reason, "unknown input");
}

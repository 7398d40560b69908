// GetOpenFileNameA: the Open dialog, with the file name field, the file and directory lists, the drives
// and the file types of the caller's filter.
#include "platform/sim/machine/machine.h"
#include "platform/sim/user/internal.h"

#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace sim::user {
namespace {

enum : int {
    kFileName = 1152, // edt1
    kFiles = 1120,    // lst1
    kDirs = 1121,     // lst2
    kDir = 1088,      // stc1
    kTypes = 1136,    // cmb1
    kDrives = 1137,   // cmb2
    kNameLabel = 1090,
    kTypesLabel = 1089,
};

DWORD& last_error() {
    static DWORD e = 0;
    return e;
}

struct OpenState {
    OPENFILENAMEA* ofn = nullptr;
    std::vector<std::pair<std::string, std::string>> filters; // description, patterns
    std::string pattern = "*.*";
    std::string start_dir;
};

std::vector<std::pair<std::string, std::string>> parse_filter(const char* f) {
    std::vector<std::pair<std::string, std::string>> out;
    // Pairs of strings, the list ending with an empty string; bounded so that a missing end stops.
    for (int guard = 0; f && *f && guard < 256; ++guard) {
        std::string desc = f;
        f += desc.size() + 1;
        if (!*f) break;
        std::string pat = f;
        f += pat.size() + 1;
        out.emplace_back(desc, pat);
    }
    return out;
}

DialogItem item(const char* cls, std::uint32_t style, int id, const char* text, int x, int y, int cx,
                int cy) {
    DialogItem i;
    i.class_name = cls;
    i.style = WS_CHILD | WS_VISIBLE | style;
    i.id = static_cast<std::uint32_t>(id);
    i.text = text;
    i.x = static_cast<short>(x);
    i.y = static_cast<short>(y);
    i.cx = static_cast<short>(cx);
    i.cy = static_cast<short>(cy);
    return i;
}

DialogTemplate open_template(const OPENFILENAMEA& ofn) {
    DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | WS_VISIBLE;
    t.x = 36;
    t.y = 24;
    t.cx = 268;
    t.cy = 134;
    t.caption = ofn.lpstrTitle ? ofn.lpstrTitle : "Open";
    t.has_font = true;
    t.point_size = 8;
    t.face = "MS Sans Serif";
    t.items = {
        item("STATIC", SS_LEFT, kNameLabel, "File &name:", 6, 6, 76, 9),
        item("EDIT", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, kFileName, "", 6, 16, 90, 12),
        item("LISTBOX", WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_SORT | LBS_NOTIFY, kFiles, "", 6, 32, 90,
             68),
        item("STATIC", SS_LEFT, 1091, "&Folders:", 110, 6, 96, 9),
        item("STATIC", SS_LEFT | SS_NOPREFIX, kDir, "", 110, 18, 92, 9),
        item("LISTBOX", WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_SORT | LBS_NOTIFY, kDirs, "", 110, 32, 92,
             68),
        item("STATIC", SS_LEFT, kTypesLabel, "List files of &type:", 6, 104, 90, 9),
        item("COMBOBOX", CBS_DROPDOWNLIST | WS_BORDER | WS_VSCROLL | WS_TABSTOP, kTypes, "", 6, 114, 90, 36),
        item("STATIC", SS_LEFT, 1092, "Dri&ves:", 110, 104, 92, 9),
        item("COMBOBOX", CBS_DROPDOWNLIST | WS_BORDER | WS_VSCROLL | WS_TABSTOP | CBS_SORT, kDrives, "", 110,
             114, 92, 68),
        item("BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK, "OK", 208, 6, 50, 14),
        item("BUTTON", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, "Cancel", 208, 24, 50, 14),
    };
    return t;
}

OpenState* state_of(HWND dialog) {
    return reinterpret_cast<OpenState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void refill(HWND dialog, OpenState& st) {
    std::string pattern_path = st.pattern;
    DlgDirListA(dialog, pattern_path.data(), kFiles, kDir, DDL_READWRITE);
    std::string dirs = "*.*";
    DlgDirListA(dialog, dirs.data(), kDirs, 0, DDL_DIRECTORY | DDL_EXCLUSIVE);
    std::string drives = "*.*";
    send(GetDlgItem(dialog, kDrives), CB_RESETCONTENT, 0, 0);
    send(GetDlgItem(dialog, kDrives), CB_DIR, DDL_DRIVES | DDL_EXCLUSIVE,
         reinterpret_cast<LPARAM>(drives.c_str()));
    std::string current = machine().current_dir.substr(0, 1);
    char entry[8] = {'[', '-', static_cast<char>(current[0] | 0x20), '-', ']', 0};
    send(GetDlgItem(dialog, kDrives), CB_SELECTSTRING, static_cast<WPARAM>(-1),
         reinterpret_cast<LPARAM>(entry));
}

bool has_wildcards(const std::string& s) {
    return s.find_first_of("*?") != std::string::npos;
}

bool is_directory(const std::string& full) {
    std::error_code ec;
    return !full.empty() && fs::is_directory(host_path(full), ec);
}

bool exists_file(const std::string& full) {
    std::error_code ec;
    return !full.empty() && fs::is_regular_file(host_path(full), ec);
}

std::string parent_of(const std::string& full) {
    std::size_t cut = full.find_last_of('\\');
    return cut == std::string::npos ? full : full.substr(0, cut + 1);
}

// Writes the chosen path into the caller's buffers; false when lpstrFile is too small.
bool store_result(OPENFILENAMEA& ofn, const std::string& full) {
    if (full.size() + 1 > ofn.nMaxFile) {
        // The caller learns the size it needs from the first two bytes of its buffer.
        if (ofn.lpstrFile && ofn.nMaxFile >= 2) {
            WORD need = static_cast<WORD>(std::min<std::size_t>(full.size() + 1, 0xFFFF));
            std::memcpy(ofn.lpstrFile, &need, sizeof need);
        }
        last_error() = FNERR_BUFFERTOOSMALL;
        return false;
    }
    std::memcpy(ofn.lpstrFile, full.c_str(), full.size() + 1);
    std::size_t name_at = full.find_last_of('\\') + 1;
    std::size_t dot = full.find_last_of('.');
    ofn.nFileOffset = static_cast<WORD>(name_at);
    if (dot == std::string::npos || dot < name_at)
        ofn.nFileExtension = static_cast<WORD>(full.size());
    else
        ofn.nFileExtension = dot + 1 == full.size() ? 0 : static_cast<WORD>(dot + 1);
    if (ofn.lpstrFileTitle && ofn.nMaxFileTitle > 0) {
        std::string name = full.substr(name_at);
        std::size_t n = std::min<std::size_t>(name.size(), ofn.nMaxFileTitle - 1);
        std::memcpy(ofn.lpstrFileTitle, name.data(), n);
        ofn.lpstrFileTitle[n] = 0;
    }
    ofn.Flags &= ~static_cast<DWORD>(OFN_EXTENSIONDIFFERENT);
    return true;
}

std::string with_default_extension(const OPENFILENAMEA& ofn, const std::string& full) {
    if (!ofn.lpstrDefExt || !*ofn.lpstrDefExt || exists_file(full)) return full;
    std::size_t name_at = full.find_last_of('\\') + 1;
    if (full.find('.', name_at) != std::string::npos) return full;
    return full + "." + ofn.lpstrDefExt;
}

void on_ok(HWND dialog, OpenState& st) {
    char buf[MAX_PATH];
    GetDlgItemTextA(dialog, kFileName, buf, sizeof buf);
    std::string text = buf;
    if (text.empty()) return;
    if (has_wildcards(text)) {
        st.pattern = text;
        refill(dialog, st);
        return;
    }
    std::string full = full_path(text);
    if (is_directory(full)) {
        machine().current_dir = full.back() == '\\' ? full : full + "\\";
        SetDlgItemTextA(dialog, kFileName, st.pattern.c_str());
        refill(dialog, st);
        return;
    }
    full = with_default_extension(*st.ofn, full);
    if (full.empty() ||
        ((st.ofn->Flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) && !is_directory(parent_of(full)))) {
        MessageBoxA(
            dialog, (text + "\nPath does not exist.\nPlease verify the correct path was given.").c_str(),
            GetWindowTextLengthA(dialog) ? window_text(dialog).c_str() : "Open", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if ((st.ofn->Flags & OFN_FILEMUSTEXIST) && !exists_file(full)) {
        MessageBoxA(dialog,
                    (text + "\nFile not found.\nPlease verify the correct file name was given.").c_str(),
                    window_text(dialog).c_str(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    last_error() = 0;
    EndDialog(dialog, store_result(*st.ofn, full) ? IDOK : IDABORT);
}

void on_dir_chosen(HWND dialog, OpenState& st, int list) {
    char buf[MAX_PATH];
    bool combo = list == kDrives;
    BOOL dir = combo ? DlgDirSelectComboBoxExA(dialog, buf, sizeof buf, list)
                     : DlgDirSelectExA(dialog, buf, sizeof buf, list);
    if (!dir) return;
    std::string full = full_path(buf);
    if (is_directory(full)) machine().current_dir = full.back() == '\\' ? full : full + "\\";
    refill(dialog, st);
}

void on_type_chosen(HWND dialog, OpenState& st) {
    LRESULT i = send(GetDlgItem(dialog, kTypes), CB_GETCURSEL, 0, 0);
    if (i < 0 || static_cast<std::size_t>(i) >= st.filters.size()) return;
    st.pattern = st.filters[static_cast<std::size_t>(i)].second;
    SetDlgItemTextA(dialog, kFileName, st.pattern.c_str());
    refill(dialog, st);
}

INT_PTR on_command(HWND dialog, OpenState& st, WORD id, WORD code) {
    switch (id) {
    case IDOK:
        on_ok(dialog, st);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    case kFiles:
        if (code == LBN_SELCHANGE || code == LBN_DBLCLK) {
            char buf[MAX_PATH];
            DlgDirSelectExA(dialog, buf, sizeof buf, kFiles);
            SetDlgItemTextA(dialog, kFileName, buf);
            if (code == LBN_DBLCLK) on_ok(dialog, st);
        }
        return TRUE;
    case kDirs:
        if (code == LBN_DBLCLK) on_dir_chosen(dialog, st, kDirs);
        return TRUE;
    case kDrives:
        if (code == CBN_SELCHANGE) on_dir_chosen(dialog, st, kDrives);
        return TRUE;
    case kTypes:
        if (code == CBN_SELCHANGE) on_type_chosen(dialog, st);
        return TRUE;
    default:
        return FALSE;
    }
}

void on_init(HWND dialog, OpenState& st) {
    HWND types = GetDlgItem(dialog, kTypes);
    for (const auto& f : st.filters)
        send(types, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.first.c_str()));
    std::size_t index = st.ofn->nFilterIndex > 0 ? st.ofn->nFilterIndex - 1 : 0;
    if (index < st.filters.size()) {
        send(types, CB_SETCURSEL, index, 0);
        st.pattern = st.filters[index].second;
    }
    if (st.ofn->lpstrInitialDir && is_directory(full_path(st.ofn->lpstrInitialDir))) {
        std::string d = full_path(st.ofn->lpstrInitialDir);
        machine().current_dir = d.back() == '\\' ? d : d + "\\";
    }
    // The caller's initial name, read no further than its buffer.
    std::string initial(st.ofn->lpstrFile, strnlen(st.ofn->lpstrFile, st.ofn->nMaxFile));
    if (initial.empty()) initial = st.pattern;
    refill(dialog, st);
    SetDlgItemTextA(dialog, kFileName, initial.c_str());
}

INT_PTR CALLBACK open_proc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lparam);
        on_init(dialog, *reinterpret_cast<OpenState*>(lparam));
        return TRUE;
    }
    OpenState* st = state_of(dialog);
    if (msg == WM_COMMAND && st) return on_command(dialog, *st, LOWORD(wparam), HIWORD(wparam));
    return FALSE;
}

} // namespace
} // namespace sim::user

using namespace sim::user;

BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA ofn) {
    last_error() = 0;
    if (!ofn ||
        (ofn->lStructSize != sizeof(OPENFILENAMEA) && ofn->lStructSize != OPENFILENAME_SIZE_VERSION_400A)) {
        last_error() = CDERR_STRUCTSIZE;
        return FALSE;
    }
    if (!ofn->lpstrFile || ofn->nMaxFile == 0) {
        last_error() = CDERR_INITIALIZATION;
        return FALSE;
    }
    OpenState st;
    st.ofn = ofn;
    st.filters = parse_filter(ofn->lpstrFilter);
    std::string saved_dir = sim::machine().current_dir;
    INT_PTR r = run_dialog(ofn->hInstance, open_template(*ofn), ofn->hwndOwner, open_proc,
                           reinterpret_cast<LPARAM>(&st), "open");
    if (r != IDOK || (ofn->Flags & OFN_NOCHANGEDIR)) sim::machine().current_dir = saved_dir;
    if (r == -1) last_error() = CDERR_DIALOGFAILURE;
    return r == IDOK;
}

DWORD WINAPI CommDlgExtendedError(void) {
    return last_error();
}

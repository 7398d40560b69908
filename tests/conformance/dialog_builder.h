// Builds compiled dialog templates (the DLGTEMPLATE form) in memory, for tests that run dialogs
// through DialogBoxIndirectParamA on both platforms. A dialog runs a test from inside: WM_INITDIALOG
// posts a private message whose handler performs the checks and ends the dialog.
#pragma once

#include "platform/win32.h"

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace dlgtest {

enum class Cls : WORD { Button = 0x80, Edit = 0x81, Static = 0x82, ListBox = 0x83, ComboBox = 0x85 };

class DialogBuilder {
  public:
    DialogBuilder(DWORD style, short x, short y, short cx, short cy, const std::string& caption) {
        DLGTEMPLATE t{};
        t.style = style | DS_SETFONT;
        t.x = x;
        t.y = y;
        t.cx = cx;
        t.cy = cy;
        put(&t, sizeof t);
        word(0); // no menu
        word(0); // the dialog class
        text(caption);
        word(8);
        text("MS Sans Serif");
    }

    DialogBuilder& item(Cls cls, DWORD style, int id, const std::string& title, short x, short y, short cx,
                        short cy) {
        align();
        DLGITEMTEMPLATE i{};
        i.style = style | WS_CHILD | WS_VISIBLE;
        i.x = x;
        i.y = y;
        i.cx = cx;
        i.cy = cy;
        i.id = static_cast<WORD>(id);
        put(&i, sizeof i);
        word(0xFFFF);
        word(static_cast<WORD>(cls));
        text(title);
        word(0); // no creation data
        ++count_;
        std::memcpy(bytes_.data() + offsetof(DLGTEMPLATE, cdit), &count_, sizeof count_);
        return *this;
    }

    const DLGTEMPLATE* get() {
        // A DWORD-aligned copy, as the system expects.
        storage_.assign((bytes_.size() + 3) / 4 + 1, 0);
        std::memcpy(storage_.data(), bytes_.data(), bytes_.size());
        return reinterpret_cast<const DLGTEMPLATE*>(storage_.data());
    }

  private:
    void put(const void* p, std::size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        bytes_.insert(bytes_.end(), b, b + n);
    }
    void word(WORD w) { put(&w, sizeof w); }
    void text(const std::string& s) {
        for (unsigned char c : s)
            word(c);
        word(0);
    }
    void align() {
        while (bytes_.size() % 4)
            bytes_.push_back(0);
    }
    std::vector<unsigned char> bytes_;
    std::vector<DWORD> storage_;
    WORD count_ = 0;
};

// One WM_COMMAND as the dialog procedure saw it.
struct Command {
    int id;
    int code;
    bool operator==(const Command& o) const { return id == o.id && code == o.code; }
};

const UINT kRun = WM_APP + 1;

// Runs BODY inside the dialog's own message loop, then ends the dialog; the dialog procedure records every
// WM_COMMAND in `commands`. INIT runs in WM_INITDIALOG; its result is WM_INITDIALOG's.
struct DialogRun {
    std::function<void(HWND)> body;
    std::function<BOOL(HWND)> init;
    std::vector<Command> commands;
    bool end_on_command = false;
};

inline INT_PTR CALLBACK run_proc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
    auto* run = reinterpret_cast<DialogRun*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dialog, DWLP_USER, lparam);
        run = reinterpret_cast<DialogRun*>(lparam);
        PostMessageA(dialog, kRun, 0, 0);
        return run && run->init ? run->init(dialog) : TRUE;
    }
    case kRun:
        if (run && run->body) run->body(dialog);
        EndDialog(dialog, 77);
        return TRUE;
    case WM_COMMAND:
        if (run) run->commands.push_back(Command{LOWORD(wparam), HIWORD(wparam)});
        if (run && run->end_on_command) EndDialog(dialog, LOWORD(wparam));
        return TRUE;
    default:
        return FALSE;
    }
}

inline INT_PTR run_dialog(DialogBuilder& b, DialogRun& run, HWND owner = nullptr) {
    return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), b.get(), owner, run_proc,
                                   reinterpret_cast<LPARAM>(&run));
}

} // namespace dlgtest

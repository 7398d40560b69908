// Program Manager of the machine: its groups and items, kept in progman.txt in the machine folder, and
// the DDE command language of the Windows 95 shell (CreateGroup, ShowGroup, AddItem, ReplaceItem,
// DeleteItem, DeleteGroup).
#pragma once

#include <string>
#include <vector>

namespace sim {

struct ProgmanItem {
    std::string name;
    std::string command;
    std::string icon_path;
    std::string icon_index;
    std::string default_dir;
    std::string hotkey;
    bool minimize = false;
};

struct ProgmanGroup {
    std::string name;
    std::vector<ProgmanItem> items;
};

struct Progman {
    std::vector<ProgmanGroup> groups;
    std::string active;  // the group AddItem and ReplaceItem work on
    int replace_at = -1; // where the next AddItem goes after a ReplaceItem
};

bool load_progman(const std::string& machine_dir, Progman& out, std::string* error);
bool save_progman(const std::string& machine_dir, const Progman& pm, std::string* error);
// Runs a command string such as "[CreateGroup(TARNO)][AddItem(C:\TARNO\A.EXE,A)]". Commands run in
// order; the first failing one stops the rest and is described in ERROR.
bool progman_execute(Progman& pm, const std::string& commands, std::string* error);
const ProgmanGroup* progman_group(const Progman& pm, const std::string& name);
std::string describe_progman(const Progman& pm);
// The groups of a fresh Windows 95 machine.
Progman default_progman();

} // namespace sim

// Arbitrary bytes as an INI file: list its sections and keys, look every key up with several buffer
// sizes, then write, delete and read back through the profile functions.
#include "platform/sim/kernel/ini.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/sim.h"
#include "platform/win32.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

const char kFile[] = "C:\\FUZZ.INI";

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "profile_fuzz: %s\n", what);
        std::abort();
    }
}

void attach_once() {
    static bool done = false;
    if (done) return;
    // Every input is written to a file: keep the machine in memory where the host allows.
    char shm[] = "/dev/shm/profile-fuzz-XXXXXX", tmp[] = "/tmp/profile-fuzz-XXXXXX";
    char* tmpl = mkdtemp(shm) ? shm : mkdtemp(tmp);
    check(tmpl != nullptr, "no temporary folder");
    std::string error;
    check(sim::create_default_machine(tmpl, &error) && sim::attach(tmpl, "C:\\FUZZ.EXE", "C:\\", &error),
          "no machine");
    done = true;
}

// Each string of a NUL-separated list, with the list's own bounds checked.
template <typename Fn>
void each_name(const char* list, DWORD len, DWORD size, Fn fn) {
    check(len < size, "list longer than its buffer");
    for (const char* p = list; p < list + len && *p; p += std::strlen(p) + 1)
        fn(p);
}

void look_up_everything() {
    char sections[512];
    DWORD n = GetPrivateProfileSectionNamesA(sections, sizeof sections, kFile);
    each_name(sections, n, sizeof sections, [](const char* section) {
        char keys[256];
        DWORD k = GetPrivateProfileStringA(section, nullptr, "", keys, sizeof keys, kFile);
        each_name(keys, k, sizeof keys, [&](const char* key) {
            for (DWORD size : {1u, 2u, 7u, 300u}) {
                char value[300];
                DWORD v = GetPrivateProfileStringA(section, key, "d", value, size, kFile);
                check(v < size && value[v] == '\0', "value overran its buffer");
            }
            GetPrivateProfileIntA(section, key, 5, kFile);
        });
        char lines[64];
        GetPrivateProfileSectionA(section, lines, sizeof lines, kFile);
    });
}

void write_and_read_back() {
    char buf[64];
    if (!WritePrivateProfileStringA("FuzzSection", "FuzzKey", "value 1", kFile)) return;
    GetPrivateProfileStringA("fuzzsection", "fuzzkey", "", buf, sizeof buf, kFile);
    check(std::strcmp(buf, "value 1") == 0, "written value not read back");
    check(WritePrivateProfileStringA("FuzzSection", "FuzzKey", nullptr, kFile), "key delete failed");
    check(WritePrivateProfileStringA("FuzzSection", nullptr, nullptr, kFile), "section delete failed");
    GetPrivateProfileStringA("FuzzSection", "FuzzKey", "gone", buf, sizeof buf, kFile);
    check(std::strcmp(buf, "gone") == 0, "deleted section still read");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    attach_once();
    std::string text(reinterpret_cast<const char*>(data), size);
    for (unsigned cp : {1252u, 1251u}) {
        sim::IniDocument doc(text, cp);
        for (auto s : doc.section_names()) {
            std::vector<std::string_view> keys;
            doc.key_names(s, keys);
            for (auto k : keys)
                check(doc.value(s, k) != nullptr, "listed key not found");
        }
    }
    std::ofstream(sim::host_path(kFile), std::ios::binary | std::ios::trunc) << text;
    look_up_everything();
    write_and_read_back();
    return 0;
}

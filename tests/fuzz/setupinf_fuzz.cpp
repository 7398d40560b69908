// Arbitrary bytes as setup1.inf (and as tarno.ini): the install flags, the layout table of every country it
// names, the list fields of every value, the location of an earlier installation, and every wizard dialog
// that reads the file. Every dialog and message is answered with its default button, and closed when that
// is refused or it goes on asking. The table must end where nLang says, every text must end inside its
// buffer, and no lock may be left behind.
#include "platform/sim/driver/agent.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/sim.h"
#include "platform/win32.h"
#include "setup/core/lang_table.h"
#include "setup/core/setup.h"
#include "setup/dialogs/wizard.h"
#include "setup/inf/inf.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

const char kInf[] = "C:\\SETUP1.INF";

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "setupinf_fuzz: %s\n", what);
        std::abort();
    }
}

// Presses Enter; closes the window instead when Enter is refused or a run asks too often (a dialog that
// refuses what it is given would ask for ever).
class EnterAgent : public sim::Agent {
  public:
    sim::Input next(const sim::DialogSnapshot&) override {
        if (refused_ || ++answers_ > kMostAnswers) {
            refused_ = false;
            return sim::key_alt_f4();
        }
        return sim::key_enter();
    }
    void rejected(const sim::Input&, const std::string&, const sim::DialogSnapshot&) override {
        refused_ = true;
    }
    void NewRun() { answers_ = 0; }

  private:
    static constexpr int kMostAnswers = 40;
    bool refused_ = false;
    int answers_ = 0;
};

EnterAgent agent;

void attach_once() {
    static bool done = false;
    if (done) return;
    char shm[] = "/dev/shm/setupinf-fuzz-XXXXXX", tmp[] = "/tmp/setupinf-fuzz-XXXXXX";
    char* dir = mkdtemp(shm) ? shm : mkdtemp(tmp);
    check(dir != nullptr, "no temporary folder");
    std::string error;
    check(sim::create_default_machine(dir, &error) && sim::attach(dir, "C:\\TNSETUP.EXE", "C:\\", &error),
          "no machine");
    sim::set_agent(&agent);
    done = true;
}

template <std::size_t N>
bool Terminated(const char (&text)[N]) {
    return std::memchr(text, '\0', N) != nullptr;
}

void CheckTable() {
    check(nLang >= 0, "negative record count");
    if (!hLang) return;
    check((GlobalFlags(hLang) & GMEM_LOCKCOUNT) == 0, "the table was left locked");
    std::size_t records = GlobalSize(hLang) / sizeof(LangEntry);
    check(records >= static_cast<std::size_t>(nLang), "fewer records than nLang");
    LangEntry* table = LockLangTable();
    check(table != nullptr, "the table cannot be locked");
    for (std::size_t i = 0; i < records; ++i)
        check(Terminated(table[i].szCode) && Terminated(table[i].szLayout), "a record overran its field");
    UnlockLangTable();
}

void CheckState() {
    check(Terminated(szLayout1) && Terminated(szLayout2) && Terminated(szLayoutSwitch) &&
              Terminated(szFontRes) && Terminated(szSystemFontsCodePage) && Terminated(szDosCodePage) &&
              Terminated(szHotKey) && Terminated(szDefaultUserCountry) && Terminated(szStartupGroup) &&
              Terminated(szDestDir) && Terminated(szCountryKey) && Terminated(szDialogPath),
          "a state text overran its buffer");
}

// The layout table of each country the file names, in the same block as the driver would.
void FillEveryCountry() {
    char keys[kKeyListCap];
    DWORD got = GetPrivateProfileStringA("default.setup", nullptr, "", keys, sizeof keys, kInf);
    check(got < sizeof keys, "key list longer than its buffer");
    int countries = 0;
    for (const char* key = keys; key < keys + got && *key && countries < 8; key += std::strlen(key) + 1) {
        CopyText(szCountryKey, key);
        FillLangTable();
        CheckTable();
        ++countries;
    }
}

// Fields of every value of every section, into a small and a large buffer.
void SplitEveryValue() {
    char sections[1024];
    DWORD got = GetPrivateProfileSectionNamesA(sections, sizeof sections, kInf);
    for (const char* section = sections; section < sections + got && *section;
         section += std::strlen(section) + 1) {
        char lines[2048];
        DWORD n = GetPrivateProfileSectionA(section, lines, sizeof lines, kInf);
        for (const char* line = lines; line < lines + n && *line; line += std::strlen(line) + 1) {
            for (int field = 1; field <= 8; ++field) {
                char small[4], large[64];
                GetListField(line, field, small, sizeof small, ',', FALSE);
                GetListField(line, field, large, sizeof large, ',', FALSE);
                check(Terminated(small) && Terminated(large), "a list field overran its buffer");
            }
        }
    }
}

// Every wizard dialog that reads setup1.inf, over the table of the last country filled.
void RunWizardDialogs() {
    agent.NewRun();
    SetDefaultCountryAndPath(szDefaultUserCountry);
    RunSetupDirDialog();
    RunSetupOptionsDialog();
    RunLangLayoutDialog();
    CheckTable();
    RunFontsDialog();
    RunInsertDiskDialog("Disk");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    attach_once();
    ResetSetupState();
    hInst = GetModuleHandleA(nullptr);
    CopyText(szWindowsDir, "C:\\WINDOWS\\");
    CopyText(szSystemDir, "C:\\WINDOWS\\SYSTEM\\");
    CopyText(szInfFile, kInf);
    std::string text(reinterpret_cast<const char*>(data), size);
    std::ofstream(sim::host_path(kInf), std::ios::binary | std::ios::trunc) << text;
    std::ofstream(sim::host_path("C:\\WINDOWS\\TARNO.INI"), std::ios::binary | std::ios::trunc) << text;

    ReadInstallFlags(kInf);
    FillEveryCountry();
    SplitEveryValue();
    IsAlreadyInstalled();
    ReadWorkstationLocation();
    RunWizardDialogs();
    CheckState();
    if (hLang) GlobalFree(hLang);
    hLang = nullptr;
    return 0;
}

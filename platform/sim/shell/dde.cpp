// The DDE management library, client side. The only server on the machine is Program Manager
// ("Progman", topic "Progman"), present unless the machine turns it off; an execute transaction runs its
// commands on the machine's groups at once. An asynchronous transaction is accepted or refused at the
// call; its completion notice is not delivered, since nothing here waits for it.
#include "platform/sim/machine/machine.h"
#include "platform/sim/shell/progman.h"
#include "platform/sim/machine/textfile.h"
#include "platform/sim/win/windows.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

namespace sim {
namespace {

struct Instance {
    PFNCALLBACK callback = nullptr;
    DWORD flags = 0;
    UINT last_error = DMLERR_NO_ERROR;
    std::map<std::uintptr_t, std::string> strings; // HSZ → text
};

struct Conversation {
    DWORD instance = 0;
};

struct DdeState {
    std::map<DWORD, Instance> instances;
    std::map<std::uintptr_t, Conversation> conversations;
    DWORD next_instance = 1;
    std::uintptr_t next_handle = 0x1000;
    DWORD next_transaction = 1;
};

DdeState& dde() {
    static DdeState s;
    return s;
}

Instance* instance(DWORD id) {
    auto it = dde().instances.find(id);
    return it == dde().instances.end() ? nullptr : &it->second;
}

const std::string* string_of(const Instance& inst, HSZ hsz) {
    auto it = inst.strings.find(reinterpret_cast<std::uintptr_t>(hsz));
    return it == inst.strings.end() ? nullptr : &it->second;
}

bool refused(const std::string& commands) {
    for (const auto& name : machine().settings.progman_refuse)
        if (upper_ascii(commands).find("[" + upper_ascii(name) + "(") != std::string::npos) return true;
    return false;
}

enum class Outcome { Refused, Failed, Done };

// Runs the commands on the machine's Program Manager; records each transaction in progman.log.
Outcome execute_on_progman(const std::string& commands) {
    std::string dir = machine().dir, error;
    std::string log = (std::filesystem::path(dir) / "progman.log").string();
    if (refused(commands)) {
        append_host_line(log, "refused\t" + commands);
        return Outcome::Refused;
    }
    Progman pm;
    if (!load_progman(dir, pm, &error)) {
        std::fprintf(stderr, "win95sim: %s\n", error.c_str());
        return Outcome::Failed;
    }
    bool ok = progman_execute(pm, commands, &error);
    append_host_line(log, (ok ? "ok\t" : "failed\t") + commands + (ok ? "" : "\t" + error));
    if (!save_progman(dir, pm, &error)) {
        std::fprintf(stderr, "win95sim: %s\n", error.c_str());
        return Outcome::Failed;
    }
    return ok ? Outcome::Done : Outcome::Failed;
}

} // namespace
} // namespace sim

using namespace sim;

UINT WINAPI DdeInitializeA(LPDWORD pidInst, PFNCALLBACK pfnCallback, DWORD afCmd, DWORD ulRes) {
    if (!pidInst || !pfnCallback || ulRes != 0) return DMLERR_INVALIDPARAMETER;
    if (*pidInst != 0) { // reinitialising an instance changes its flags
        Instance* inst = instance(*pidInst);
        if (!inst) return DMLERR_INVALIDPARAMETER;
        inst->flags = afCmd;
        return DMLERR_NO_ERROR;
    }
    DWORD id = dde().next_instance++;
    dde().instances[id] = Instance{pfnCallback, afCmd, DMLERR_NO_ERROR, {}};
    *pidInst = id;
    return DMLERR_NO_ERROR;
}

BOOL WINAPI DdeUninitialize(DWORD idInst) {
    if (!instance(idInst)) return FALSE;
    for (auto it = dde().conversations.begin(); it != dde().conversations.end();)
        it = it->second.instance == idInst ? dde().conversations.erase(it) : std::next(it);
    dde().instances.erase(idInst);
    return TRUE;
}

HSZ WINAPI DdeCreateStringHandleA(DWORD idInst, LPCSTR psz, int iCodePage) {
    Instance* inst = instance(idInst);
    if (!inst) return nullptr;
    if (!psz || (iCodePage != 0 && iCodePage != CP_WINANSI)) {
        inst->last_error = DMLERR_INVALIDPARAMETER;
        return nullptr;
    }
    // Equal strings (without regard to case) share one handle, as atoms do.
    for (const auto& [h, text] : inst->strings)
        if (equal_nocase(text, psz)) return reinterpret_cast<HSZ>(h);
    std::uintptr_t h = dde().next_handle++;
    inst->strings[h] = psz;
    return reinterpret_cast<HSZ>(h);
}

BOOL WINAPI DdeFreeStringHandle(DWORD idInst, HSZ hsz) {
    Instance* inst = instance(idInst);
    return inst && inst->strings.erase(reinterpret_cast<std::uintptr_t>(hsz)) ? TRUE : FALSE;
}

DWORD WINAPI DdeQueryStringA(DWORD idInst, HSZ hsz, LPSTR psz, DWORD cchMax, int) {
    Instance* inst = instance(idInst);
    const std::string* s = inst ? string_of(*inst, hsz) : nullptr;
    if (!s) return 0;
    if (!psz) return static_cast<DWORD>(s->size());
    if (cchMax == 0) return 0;
    DWORD n = std::min<DWORD>(static_cast<DWORD>(s->size()), cchMax - 1);
    s->copy(psz, n);
    psz[n] = '\0';
    return n;
}

HCONV WINAPI DdeConnect(DWORD idInst, HSZ hszService, HSZ hszTopic, PCONVCONTEXT) {
    Instance* inst = instance(idInst);
    if (!inst) return nullptr;
    const std::string* service = string_of(*inst, hszService);
    const std::string* topic = string_of(*inst, hszTopic);
    bool progman = machine().settings.progman && service && equal_nocase(*service, "Progman") &&
                   (!topic || equal_nocase(*topic, "Progman"));
    if (!progman) {
        inst->last_error = DMLERR_NO_CONV_ESTABLISHED;
        return nullptr;
    }
    std::uintptr_t h = dde().next_handle++;
    dde().conversations[h] = Conversation{idInst};
    return reinterpret_cast<HCONV>(h);
}

BOOL WINAPI DdeDisconnect(HCONV hConv) {
    return dde().conversations.erase(reinterpret_cast<std::uintptr_t>(hConv)) ? TRUE : FALSE;
}

HDDEDATA WINAPI DdeClientTransaction(LPBYTE pData, DWORD cbData, HCONV hConv, HSZ, UINT, UINT wType,
                                     DWORD dwTimeout, LPDWORD pdwResult) {
    auto conv = dde().conversations.find(reinterpret_cast<std::uintptr_t>(hConv));
    if (conv == dde().conversations.end()) return nullptr;
    Instance* inst = instance(conv->second.instance);
    if (!inst) return nullptr;
    if (wType != XTYP_EXECUTE || !pData || cbData == 0) {
        inst->last_error = wType != XTYP_EXECUTE ? DMLERR_NOTPROCESSED : DMLERR_INVALIDPARAMETER;
        return nullptr;
    }
    // The command is the data up to its terminating zero (or all of it).
    std::string commands(reinterpret_cast<const char*>(pData), cbData);
    commands = commands.substr(0, commands.find('\0'));
    // An asynchronous transaction is refused only when the server does not take it; what the commands
    // then do is its completion, which the caller does not see.
    bool async = dwTimeout == TIMEOUT_ASYNC;
    Outcome outcome = execute_on_progman(commands);
    if (outcome == Outcome::Refused || (!async && outcome == Outcome::Failed)) {
        inst->last_error = DMLERR_NOTPROCESSED;
        return nullptr;
    }
    if (pdwResult) *pdwResult = async ? dde().next_transaction++ : 0;
    return reinterpret_cast<HDDEDATA>(static_cast<std::uintptr_t>(1));
}

UINT WINAPI DdeGetLastError(DWORD idInst) {
    Instance* inst = instance(idInst);
    if (!inst) return DMLERR_DLL_NOT_INITIALIZED;
    UINT e = inst->last_error;
    inst->last_error = DMLERR_NO_ERROR;
    return e;
}

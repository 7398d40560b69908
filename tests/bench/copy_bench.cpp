// A whole express installation of the sample distribution in the simulator (loader, main setup, the copy of
// both disks, the log), side by side in each run with only expanding the same files: with the szdd tool,
// one run of it per file, and with its expansion routine called in this process. Reports the times and the
// installation's ratio to each.
#include "platform/sim/lz/szdd.h"
#include "tools/win95sim/scenario.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// The machine with disk 1 in drive A:, made before the clock starts.
std::string Preparation(const std::string& machine) {
    return "machine " + machine + "\ndisk A: @dist/disk1\n";
}

// The express installation: the loader from A:, the country confirmed, disk 2 inserted when it is asked for,
// Windows configured, and the exit dialog answered with its restart.
const char kInstallation[] = R"(run A:\SETUP.EXE /e
expect-dialog SETUPDIR
click "OK"
expect-dialog INSERTDISK
disk A: @dist/disk2
click "OK"
expect-dialog EXITSETUP
click 1030
wait
)";

bool Execute(ScenarioSession& session, const std::string& text, std::string* failure) {
    std::vector<ScenarioLine> lines;
    if (!parse_scenario_text(text, "copy_bench.scn", lines, failure)) return false;
    for (const ScenarioLine& line : lines)
        if (!session.execute(line, failure)) return false;
    return true;
}

// Prepares MACHINE untimed, then runs the installation; its duration, or a negative one on failure.
Clock::duration TimeInstallation(const std::string& machine, std::string* failure) {
    ScenarioSession session(".", ScenarioOptions{});
    if (!Execute(session, Preparation(machine), failure)) return Clock::duration(-1);
    auto start = Clock::now();
    if (!Execute(session, kInstallation, failure) || !session.finish(failure)) return Clock::duration(-1);
    return Clock::now() - start;
}

// The stored form of every file the installation's log names as copied: "C:\DIR\NAME BYTES".
std::vector<fs::path> CopiedSources(const fs::path& log, const fs::path& dist) {
    std::vector<fs::path> sources;
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::size_t slash = line.rfind('\\'), blank = line.rfind(' ');
        if (line.rfind("C:\\", 0) != 0 || slash == std::string::npos || blank < slash) continue;
        std::string name = line.substr(slash + 1, blank - slash - 1);
        std::string packed = name;
        std::size_t dot = packed.rfind('.');
        packed = dot == std::string::npos  ? packed + "._"
                 : packed.size() - dot < 2 ? packed.substr(0, dot) + "._"
                                           : packed.substr(0, packed.size() - 1) + "_";
        for (const char* disk : {"disk1", "disk2"})
            for (const std::string& stored : {packed, name})
                if (fs::exists(dist / disk / stored)) {
                    sources.push_back(dist / disk / stored);
                    goto found;
                }
    found:;
    }
    return sources;
}

// Expands IN into OUT as the szdd tool does, streamed from file to file; a plain file (the TrueType fonts)
// is copied.
bool ExpandFile(const fs::path& in, const fs::path& out) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> source(std::fopen(in.c_str(), "rb"), std::fclose);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> sink(std::fopen(out.c_str(), "wb"), std::fclose);
    if (!source || !sink) return false;
    auto read = [&](std::uint8_t* buffer, std::size_t size) -> long {
        std::size_t n = std::fread(buffer, 1, size, source.get());
        return std::ferror(source.get()) ? -1 : static_cast<long>(n);
    };
    auto write = [&](const std::uint8_t* data, std::size_t size) {
        return std::fwrite(data, 1, size, sink.get()) == size;
    };
    sim::szdd::Result result = sim::szdd::expand_stream(read, write);
    if (result != sim::szdd::Result::NotCompressed) return result == sim::szdd::Result::Ok;
    source.reset();
    sink.reset();
    std::error_code error;
    return fs::copy_file(in, out, fs::copy_options::overwrite_existing, error);
}

// Expands IN into OUT with the szdd tool; a plain file is copied, as the tool takes only compressed ones.
bool ExpandWithTool(const fs::path& in, const fs::path& out) {
    std::FILE* file = std::fopen(in.c_str(), "rb");
    char magic[4] = {};
    bool packed = file && std::fread(magic, 1, 4, file) == 4 && std::memcmp(magic, "SZDD", 4) == 0;
    if (file) std::fclose(file);
    if (!packed) return ExpandFile(in, out);
    const char* argv[] = {TARNO_SZDD_TOOL, "expand", in.c_str(), out.c_str(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, TARNO_SZDD_TOOL, nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0)
        return false;
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void BM_ExpressInstallationAgainstExpandingItsFiles(benchmark::State& state) {
    ::setenv("WIN95SIM_PROGRAMS", TARNO_PROGRAMS_DIR, 1);
    char tmpl[] = "/tmp/copy-bench-XXXXXX";
    const fs::path dir = mkdtemp(tmpl);
    std::string failure;
    if (TimeInstallation((dir / "first").string(), &failure).count() < 0) {
        state.SkipWithError(failure.c_str());
        return;
    }
    const fs::path dist = fs::path(TARNO_PROGRAMS_DIR).parent_path() / "distribution";
    // The loader's two files and every file the log names as copied.
    std::vector<fs::path> sources = {dist / "disk1/setup1.in_", dist / "disk1/tnsetup.ex_"};
    for (const fs::path& source : CopiedSources(dir / "first/C/WINDOWS/TARNO/TNSETUP.LOG", dist))
        sources.push_back(source);
    double installMs = 0, toolMs = 0, routineMs = 0;
    int round = 0;
    for (auto _ : state) {
        const fs::path machine = dir / ("m" + std::to_string(round));
        const fs::path out = dir / ("x" + std::to_string(round++));
        fs::create_directories(out);
        Clock::duration installation = TimeInstallation(machine.string(), &failure);
        bool expanded = true;
        auto start = Clock::now();
        for (const fs::path& source : sources)
            expanded = ExpandWithTool(source, out / source.filename()) && expanded;
        auto middle = Clock::now();
        for (const fs::path& source : sources)
            expanded = ExpandFile(source, out / source.filename()) && expanded;
        auto end = Clock::now();
        if (installation.count() < 0 || !expanded) {
            state.SkipWithError(expanded ? failure.c_str() : "a file did not expand");
            break;
        }
        installMs += Milliseconds(installation);
        toolMs += Milliseconds(middle - start);
        routineMs += Milliseconds(end - middle);
        fs::remove_all(machine);
        fs::remove_all(out);
    }
    fs::remove_all(dir);
    const double n = round ? round : 1;
    state.counters["files"] = static_cast<double>(sources.size());
    state.counters["installation_ms"] = installMs / n;
    state.counters["szdd_tool_ms"] = toolMs / n;
    state.counters["szdd_routine_ms"] = routineMs / n;
    state.counters["ratio_to_tool"] = toolMs > 0 ? installMs / toolMs : 0;
    state.counters["ratio_to_routine"] = routineMs > 0 ? installMs / routineMs : 0;
}
BENCHMARK(BM_ExpressInstallationAgainstExpandingItsFiles)
    ->Iterations(10)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

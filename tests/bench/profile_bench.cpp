// Look-ups per second on a 2,000-key INI file: random keys of random sections, half of them missing.
#include "platform/sim/machine/machine.h"
#include "platform/sim/kernel/profile_cache.h"
#include "platform/sim/sim.h"
#include "platform/win32.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kSections = 10, kKeysPerSection = 200;
const char kFile[] = "C:\\BENCH.INI";

struct Query {
    std::string section, key;
};

// A machine with the file, its time set back as a distribution file's would be, and the queries.
class Bench {
  public:
    Bench() {
        char tmpl[] = "/tmp/profile-bench-XXXXXX";
        root_ = mkdtemp(tmpl);
        std::string error;
        sim::create_default_machine(root_, &error);
        sim::attach(root_, "C:\\BENCH.EXE", "C:\\", &error);
        std::string text;
        for (int s = 0; s < kSections; ++s) {
            text += "[Section " + std::to_string(s) + "]\r\n";
            for (int k = 0; k < kKeysPerSection; ++k)
                text += "Key_" + std::to_string(s) + "_" + std::to_string(k) + " = value " +
                        std::to_string(k) + ",866\r\n";
        }
        fs::path host = fs::path(root_) / "C" / "BENCH.INI";
        std::ofstream(host, std::ios::binary) << text;
        fs::last_write_time(host, fs::last_write_time(host) - std::chrono::hours(1));
        std::mt19937 rng(1995);
        for (int i = 0; i < 4096; ++i) {
            int s = rng() % kSections, k = rng() % kKeysPerSection;
            bool hit = rng() % 2;
            queries_.push_back({"section " + std::to_string(s),
                                (hit ? "KEY_" : "Missing_") + std::to_string(s) + "_" + std::to_string(k)});
        }
    }
    ~Bench() {
        sim::detach();
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    const std::vector<Query>& queries() const { return queries_; }

  private:
    std::string root_;
    std::vector<Query> queries_;
};

void BM_GetPrivateProfileString(benchmark::State& state) {
    static Bench bench;
    const auto& q = bench.queries();
    char buf[128];
    std::size_t i = 0;
    for (auto _ : state) {
        const Query& one = q[i++ & (q.size() - 1)];
        benchmark::DoNotOptimize(
            GetPrivateProfileStringA(one.section.c_str(), one.key.c_str(), "", buf, sizeof buf, kFile));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_GetPrivateProfileString);

} // namespace

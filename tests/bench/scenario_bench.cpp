// Scenarios per second: each on a fresh machine, one program with one dialog and three answers.
#include "tools/win95sim/scenario.h"

#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {

const char kScenario[] = R"(machine
program C:\SIMTEST.EXE simtest
run C:\SIMTEST.EXE /small
type 101 "Ivan"
check 102 off
key enter
wait
expect-exit 1
)";

void BM_SmallScenario(benchmark::State& state) {
    ::setenv("WIN95SIM_PROGRAMS", TARNO_PROGRAMS_DIR, 1);
    std::vector<ScenarioLine> lines;
    std::string failure;
    if (!parse_scenario_text(kScenario, "bench.scn", lines, &failure)) {
        state.SkipWithError(failure.c_str());
        return;
    }
    for (auto _ : state) {
        if (!run_scenario_lines(lines, ".", ScenarioOptions{}, &failure)) {
            state.SkipWithError(failure.c_str());
            return;
        }
    }
    state.counters["scenarios_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SmallScenario)->Iterations(100)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

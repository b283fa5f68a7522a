// The plug-in's cost per drawn frame and per ball hit against the floor of the host calls its
// behaviour needs, its load cycle, the heap allocations of each, and the wall time of the
// arena's headless play.
//
// Run: build/<dir>/bin/volanko-bench [--benchmark_repetitions=N ...]

#include <benchmark/benchmark.h>

#include <cstdio>
#include <set>
#include <string>

#include "bench/allocation_count.h"
#include "bench/arena_run.h"
#include "bench/drill_session.h"
#include "bench/interposition.h"
#include "bench/ratio_reporter.h"

namespace {

// Allocations per iteration, made between `before` and now.
void countAllocations(benchmark::State& state, uint64_t before)
{
    state.counters["allocs"] =
        benchmark::Counter(static_cast<double>(bench::allocations() - before), benchmark::Counter::kAvgIterations);
}

// Times `step` on a drill session in its steady state: drill on, ball held, car in the air.
template <class Step> void timeDrill(benchmark::State& state, Step step)
{
    bench::DrillSession session;
    if (!session.ready()) {
        state.SkipWithError(session.error.c_str());
        return;
    }
    const uint64_t before = bench::allocations();
    for (auto _ : state) {
        step(session);
    }
    countAllocations(state, before);
}

void frame_plugin(benchmark::State& state)
{
    timeDrill(state, [](bench::DrillSession& session) { session.host.drawFrame(); });
}
BENCHMARK(frame_plugin);

void frame_floor(benchmark::State& state)
{
    timeDrill(state, [](bench::DrillSession& session) { session.floorFrame(); });
}
BENCHMARK(frame_floor);

void hit_plugin(benchmark::State& state)
{
    timeDrill(state, [](bench::DrillSession& session) { session.host.fireEvent(runtime::kBallHitEvent); });
}
BENCHMARK(hit_plugin);

void hit_floor(benchmark::State& state)
{
    timeDrill(state, [](bench::DrillSession& session) { session.floorHit(); });
}
BENCHMARK(hit_floor);

// One drawn frame of frame_plugin with the call trace on, each entry made into the JSON line the
// arena's console prints for it (arena_trace on): what tracing costs per call.
void frame_traced(benchmark::State& state)
{
    bench::DrillSession session;
    if (!session.ready()) {
        state.SkipWithError(session.error.c_str());
        return;
    }
    struct Lines final : runtime::HostObserver {
        size_t bytes = 0;
        void onTrace(const runtime::TraceEntry& entry) override { bytes += entry.json().size(); }
    } lines;
    const runtime::Observation observation = session.host.attach(lines);
    runtime::Host& host = session.host;
    host.switchTrace(true);
    size_t calls = 0;
    for (auto _ : state) {
        host.drawFrame();
        calls += host.trace().entries().size();
        host.clearTrace();
    }
    benchmark::DoNotOptimize(lines.bytes);
    state.counters["traced_calls"] = benchmark::Counter(static_cast<double>(calls), benchmark::Counter::kAvgIterations);
}
BENCHMARK(frame_traced);

// A reload in a running host: the variables stay registered from the first load, as they do in
// the game.
void load_cycle(benchmark::State& state)
{
    runtime::Host host{1};
    const std::string path = VOLANKO_PLUGIN_PATH;
    const uint64_t before = bench::allocations();
    for (auto _ : state) {
        const runtime::LoadResult loaded = host.load(path);
        if (!loaded) {
            state.SkipWithError(bench::loadFailure(loaded).c_str());
            return;
        }
        host.unload(loaded.plugin);
    }
    countAllocations(state, before);
}
BENCHMARK(load_cycle);

// Ten game minutes of the arena's headless play. It runs in a child process, so only the wall
// clock means anything here. No configuration and a fixed seed: the user's saved settings would
// change the figures, and the benchmark must not write them.
void arena_play(benchmark::State& state)
{
    constexpr double kGameSeconds = 600;
    for (auto _ : state) {
        const std::string failure =
            bench::runQuietly(ARENA_PROGRAM, {"--no-config", "--seed", "1", "play", "--seconds", "600", "--quiet"});
        if (!failure.empty()) {
            state.SkipWithError(failure.c_str());
            return;
        }
    }
    state.counters["game_s_per_wall_s"] =
        benchmark::Counter(kGameSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(arena_play)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }

    const std::set<std::string> files = bench::filesAllocatingAtLoad();
    std::string seen;
    for (const std::string& file : files) {
        seen += seen.empty() ? "" : " ";
        seen += file;
    }
    if (!files.contains("libVolanko.so") || !files.contains("libpluginsdk.so")) {
        std::fprintf(stderr, "operator new is not counted in both the plug-in and the host runtime (seen in: %s)\n",
                     seen.c_str());
        return 1;
    }
    benchmark::AddCustomContext("allocs_counted_in", seen);

    // A floor that drifted from what the plug-in calls would make every ratio meaningless.
    if (const std::string mismatch = bench::floorMismatch(); !mismatch.empty()) {
        std::fprintf(stderr, "the floor does not match the plug-in: %s\n", mismatch.c_str());
        return 1;
    }

    bench::RatioReporter reporter({{"frame_plugin", "frame_floor"}, {"hit_plugin", "hit_floor"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

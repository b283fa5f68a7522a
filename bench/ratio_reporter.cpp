#include "bench/ratio_reporter.h"

#include <cstdio>

namespace bench {

namespace {

double nanoseconds(const benchmark::BenchmarkReporter::Run& run)
{
    double time = run.GetAdjustedCPUTime();
    switch (run.time_unit) {
    case benchmark::kSecond: time *= 1e9; break;
    case benchmark::kMillisecond: time *= 1e6; break;
    case benchmark::kMicrosecond: time *= 1e3; break;
    case benchmark::kNanosecond: break;
    }
    return time;
}

} // namespace

RatioReporter::RatioReporter(std::vector<std::pair<std::string, std::string>> ratios)
    : display_(benchmark::CreateDefaultDisplayReporter()), ratios_(std::move(ratios))
{
}

bool RatioReporter::ReportContext(const Context& context)
{
    return display_->ReportContext(context);
}

void RatioReporter::ReportRuns(const std::vector<Run>& runs)
{
    for (const Run& run : runs) {
        if (run.error_occurred) {
            continue;
        }
        const std::string name = run.run_name.function_name;
        if (run.run_type == Run::RT_Aggregate) {
            if (run.aggregate_name == "median") {
                cpuTimes_[name] = nanoseconds(run);
            }
        } else if (run.repetitions <= 1) {
            cpuTimes_[name] = nanoseconds(run);
        }
    }
    display_->ReportRuns(runs);
}

void RatioReporter::Finalize()
{
    display_->Finalize();
    for (const auto& [measured, floor] : ratios_) {
        const auto mine = cpuTimes_.find(measured);
        const auto theirs = cpuTimes_.find(floor);
        if (mine == cpuTimes_.end() || theirs == cpuTimes_.end() || theirs->second <= 0) {
            continue;
        }
        std::fprintf(stderr, "%s / %s = %.2f (CPU time, %.1f ns / %.1f ns)\n", measured.c_str(), floor.c_str(),
                     mine->second / theirs->second, mine->second, theirs->second);
    }
}

} // namespace bench

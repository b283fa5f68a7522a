#pragma once
// Passes every report on to the reporter chosen by --benchmark_format, and at the end prints the
// plug-in/floor ratios to the error stream, so that a JSON report on the output stays clean.

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace bench {

class RatioReporter : public benchmark::BenchmarkReporter {
public:
    // Each pair names a benchmark and its floor, e.g. {"frame_plugin", "frame_floor"}.
    explicit RatioReporter(std::vector<std::pair<std::string, std::string>> ratios);

    bool ReportContext(const Context& context) override;
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    std::unique_ptr<benchmark::BenchmarkReporter> display_; // the reporter the flags ask for
    std::vector<std::pair<std::string, std::string>> ratios_;
    // CPU time per iteration, in ns, by benchmark: the median when repetitions were asked for,
    // otherwise the single run.
    std::map<std::string, double> cpuTimes_;
};

} // namespace bench

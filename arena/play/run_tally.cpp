#include "arena/play/run_tally.h"

#include <algorithm>
#include <cstdio>

#include "runtime/json.h"

namespace arena {

bool RunTally::observe(bool airborne, double now, int hits)
{
    hits_ += hits;
    if (inRun_ && hits > 0) {
        for (int i = 0; i < hits; ++i) {
            intervalSum_ += now - lastMark_;
            ++intervals_;
            lastMark_ = now;
        }
        runHits_ += hits;
        bestStreak_ = std::max(bestStreak_, runHits_);
    }
    if (!inRun_ && airborne) {
        inRun_ = true;
        runStart_ = now;
        lastMark_ = now;
        runHits_ = 0;
        return false;
    }
    return inRun_ && !airborne && finish(now);
}

bool RunTally::finish(double now)
{
    if (!inRun_) {
        return false;
    }
    inRun_ = false;
    ++runs_;
    last_ = {runs_, runHits_, runStart_, now - runStart_};
    longestRun_ = std::max(longestRun_, last_.seconds);
    return true;
}

namespace {

std::string fixed2(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    return buffer;
}

void row(std::string& out, const char* name, const std::string& value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%-24s", name);
    out += buffer;
    out += value;
    out += '\n';
}

} // namespace

std::string summaryTable(const RunTally& tally, const PlayFacts& facts)
{
    std::string out;
    row(out, "runs", std::to_string(tally.runs()));
    row(out, "hits", std::to_string(tally.hits()));
    row(out, "best streak", std::to_string(tally.bestStreak()));
    row(out, "mean time between hits", tally.hasMean() ? fixed2(tally.meanTimeBetweenHits()) + " s" : "-");
    row(out, "longest run", fixed2(tally.longestRun()) + " s");
    row(out, "seed", std::to_string(facts.seed));
    row(out, "level", facts.level);
    row(out, "skill", fixed2(facts.skill));
    row(out, "configuration", facts.config.empty() ? "none" : facts.config);
    return out;
}

std::string summaryJson(const RunTally& tally, const PlayFacts& facts)
{
    const runtime::Json summary = {
        {"runs", tally.runs()},
        {"hits", tally.hits()},
        {"bestStreak", tally.bestStreak()},
        {"meanTimeBetweenHits", tally.hasMean() ? runtime::Json(tally.meanTimeBetweenHits()) : nullptr},
        {"longestRun", tally.longestRun()},
        {"seed", facts.seed},
        {"level", facts.level},
        {"skill", facts.skill},
        {"configuration", facts.config.empty() ? nullptr : runtime::Json(facts.config)}};
    return runtime::jsonText(summary) + '\n';
}

std::string runLine(const FinishedRun& run)
{
    std::string out = "run ";
    out += std::to_string(run.number);
    out += ": ";
    out += std::to_string(run.hits);
    out += run.hits == 1 ? " hit in " : " hits in ";
    out += fixed2(run.seconds);
    out += " s (took off at ";
    out += fixed2(run.start);
    out += " s)";
    return out;
}

} // namespace arena

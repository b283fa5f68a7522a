#pragma once
// The runs the host saw in `play`: a run lasts from the car's take-off to its landing (ground or
// wall), and its streak is the ball-hit events fired while it lasted. Counted from what the host
// observes, not from what the plug-in draws.

#include <cstdint>
#include <string>

namespace arena {

struct FinishedRun {
    int number = 0;     // 1 for the first run
    int hits = 0;       // ball-hit events fired during the run
    double start = 0;   // game seconds of the take-off
    double seconds = 0; // from take-off to landing
};

class RunTally {
public:
    // After each drawn frame: whether the car is in the air now, the game time, and the hit events
    // fired in the frame. Hits count towards a run only when it was already under way as the
    // frame began. True when a run ended in this frame (see lastRun()).
    bool observe(bool airborne, double now, int hits);

    // At the end of play: a run still under way ends now and counts like any other. True when
    // there was one (see lastRun()).
    bool finish(double now);

    const FinishedRun& lastRun() const { return last_; }
    int runs() const { return runs_; }                // finished runs
    int hits() const { return hits_; }                // every hit event, in a run or not
    int bestStreak() const { return bestStreak_; }    // most hits in one run, the unfinished one included
    double longestRun() const { return longestRun_; } // seconds
    bool hasMean() const { return intervals_ > 0; }
    // Mean of the intervals from a run's take-off or its previous hit to each hit, seconds.
    double meanTimeBetweenHits() const { return intervals_ > 0 ? intervalSum_ / intervals_ : 0; }

private:
    bool inRun_ = false;
    double runStart_ = 0;
    double lastMark_ = 0; // take-off or the latest hit of the run under way
    int runHits_ = 0;
    int runs_ = 0;
    int hits_ = 0;
    int bestStreak_ = 0;
    double longestRun_ = 0;
    double intervalSum_ = 0;
    int intervals_ = 0;
    FinishedRun last_;
};

// What was played, told in the summary beside the tally.
struct PlayFacts {
    uint64_t seed = 0;
    std::string level;  // the throw level in play, as set
    double skill = 0;   // the autopilot's
    std::string config; // the configuration file in use; empty for none
};

// The summary after a play: a table of one "name  value" line each, or one JSON object.
std::string summaryTable(const RunTally& tally, const PlayFacts& facts);
std::string summaryJson(const RunTally& tally, const PlayFacts& facts);
// "run 3: 4 hits in 7.52 s (took off at 21.17 s)"
std::string runLine(const FinishedRun& run);

} // namespace arena

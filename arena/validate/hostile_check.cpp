// Hostile rounds in batches: each batch is one child process, so a crash or a hang costs one
// batch and names the round it happened in.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "arena/validate/checks.h"
#include "arena/validate/choice_source.h"
#include "arena/validate/hostile_round.h"

namespace arena::validate {

namespace {

// Rounds per child: enough to keep forking cheap, few enough that a timeout stays informative.
constexpr uint32_t kBatch = 100;

std::string roundName(uint64_t round, uint64_t seed)
{
    std::string name = "round ";
    name += std::to_string(round);
    name += " (seed ";
    name += std::to_string(seed);
    name += ')';
    return name;
}

std::string replayHint(uint64_t seed)
{
    std::string hint = "; replay with --reproduce ";
    hint += std::to_string(seed);
    return hint;
}

uint64_t number(const std::string& word)
{
    return std::stoull(word);
}

// The plug-in's words travel last on a task's line: its name, then its levels.
void addWords(std::vector<std::string>& line, const PluginWords& words)
{
    line.push_back(words.name);
    line.insert(line.end(), words.levels.begin(), words.levels.end());
}

PluginWords wordsFrom(const std::vector<std::string>& line, size_t at)
{
    return {{line.begin() + static_cast<std::ptrdiff_t>(at) + 1, line.end()}, line.at(at)};
}

// The library's path, the base seed, the first round and the one past the last, then the words.
std::optional<std::string> batchTask(ChildChannel& channel, const std::vector<std::string>& words)
{
    const std::string& path = words.at(0);
    const uint64_t seed = number(words.at(1));
    const uint64_t first = number(words.at(2));
    const uint64_t last = number(words.at(3));
    const PluginWords plugin = wordsFrom(words, 4);
    for (uint64_t round = first; round < last; ++round) {
        const uint64_t thisSeed = roundSeed(seed, round);
        // The seed leads the note, so that the parent can name it after a crash.
        std::string note = std::to_string(thisSeed);
        note += ' ';
        note += roundName(round + 1, thisSeed);
        channel.note(note);
        if (auto failure = runHostileRound(path, thisSeed, plugin)) {
            std::string reason = std::to_string(thisSeed);
            reason += ' ';
            reason += roundName(round + 1, thisSeed);
            reason += ": ";
            reason += *failure;
            return reason;
        }
    }
    return std::nullopt;
}

// The library's path, the round's own seed, then the words.
std::optional<std::string> replayTask(ChildChannel& channel, const std::vector<std::string>& words)
{
    const uint64_t seed = number(words.at(1));
    channel.note("replaying seed " + std::to_string(seed));
    return runHostileRound(words.at(0), seed, wordsFrom(words, 2), [](uint32_t step, const std::string& description) {
        std::fprintf(stderr, "step %u: %s\n", step, description.c_str());
        std::fflush(stderr);
    });
}

} // namespace

const ChildTask kHostileBatchTask{"hostile", batchTask};
const ChildTask kHostileReplayTask{"hostile-replay", replayTask};

CheckResult checkHostileRounds(const std::string& path, uint32_t rounds, uint64_t seed, const PluginWords& words,
                               double timeLimitSeconds)
{
    // The limit bounds the whole check: each batch gets what the earlier ones left.
    const auto begin = std::chrono::steady_clock::now();
    for (uint32_t first = 0; first < rounds; first += kBatch) {
        const uint32_t last = std::min(rounds, first + kBatch);
        uint64_t failedSeed = 0;
        const double left =
            timeLimitSeconds - std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        std::vector<std::string> line{path, std::to_string(seed), std::to_string(first), std::to_string(last)};
        addWords(line, words);
        ChildOutcome outcome = runInChild(std::max(left, 0.001), kHostileBatchTask, line);
        if (outcome.passed()) {
            continue;
        }
        if (outcome.kind == ChildOutcome::Kind::Interrupted) {
            return resultOf("hostile", outcome);
        }
        if (outcome.kind == ChildOutcome::Kind::TimedOut) {
            char seconds[32];
            std::snprintf(seconds, sizeof seconds, "%g", timeLimitSeconds);
            outcome.reason = "timed out after ";
            outcome.reason += seconds;
            outcome.reason += " s";
        }
        // Both the failure and the last note start with the round's seed.
        const std::string& tagged = outcome.kind == ChildOutcome::Kind::Failed ? outcome.reason : outcome.lastNote;
        const size_t space = tagged.find(' ');
        std::string where = space == std::string::npos ? std::string() : tagged.substr(space + 1);
        failedSeed = space == std::string::npos ? 0 : std::strtoull(tagged.c_str(), nullptr, 10);
        CheckResult result{"hostile", false, {}};
        if (outcome.kind == ChildOutcome::Kind::Failed) {
            result.reason = where;
        } else {
            result.reason = outcome.reason;
            if (!where.empty()) {
                result.reason += " in ";
                result.reason += where;
            }
        }
        if (!where.empty()) {
            result.reason += replayHint(failedSeed);
        }
        return result;
    }
    return {"hostile", true, {}};
}

CheckResult replayHostileRound(const std::string& path, uint64_t seed, const PluginWords& words,
                               double timeLimitSeconds)
{
    std::vector<std::string> line{path, std::to_string(seed)};
    addWords(line, words);
    const ChildOutcome outcome = runInChild(timeLimitSeconds, kHostileReplayTask, line);
    CheckResult result = resultOf("hostile", outcome);
    if (!result.pass && result.interrupted == 0) {
        std::string reason = "seed ";
        reason += std::to_string(seed);
        reason += ": ";
        reason += result.reason;
        result.reason = reason;
    }
    return result;
}

} // namespace arena::validate

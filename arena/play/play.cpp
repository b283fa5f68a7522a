#include "arena/play/play.h"

#include <chrono>
#include <cmath>
#include <optional>
#include <thread>

#include "arena/play/drill_profile.h"
#include "arena/play/live_view.h"
#include "arena/play/run_tally.h"
#include "arena/record/recorder.h"
#include "platform/stop_signals.h"
#include "platform/terminal.h"

namespace arena {

namespace {

void writeText(std::FILE* out, std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), out);
}

// A paced play this far behind its frames' times has not been running (a pause with Ctrl-Z, a
// machine that withheld the processor): those frames are not played at once to catch up.
constexpr std::chrono::milliseconds kFarBehind{200};

} // namespace

int play(Session& session, const PlaySettings& settings, std::FILE* out, std::FILE* err)
{
    std::string error;
    const auto run = [&](std::vector<std::string> words) {
        if (!session.runWords(words, error)) {
            std::fprintf(err, "arena play: %s: %s\n", words.front().c_str(), error.c_str());
            return false;
        }
        return true;
    };
    const std::string levelVariable(kDrill.levelVariable);
    if (!run({"arena_freeplay", "1"}) || !run({std::string(kDrill.startCommand)})) {
        return 1;
    }
    if (!settings.level.empty() && !run({levelVariable, settings.level})) {
        return 1;
    }
    session.setAutopilot(true);
    if (settings.started && !settings.started()) {
        return 1;
    }

    const auto frames = static_cast<int64_t>(std::llround(settings.seconds * session.fps()));
    const bool paced = settings.live || settings.realtime;
    std::optional<platform::ResizeWatch> resizes(out);
    int columns = 0;
    int rows = 0;
    const platform::StopSignals signals(true, false);

    RunTally tally;
    LiveView view(settings.colours);
    LiveStatus status{settings.seconds, settings.level, settings.skill};
    if (const runtime::CVar* level = session.host().console().find(levelVariable); level && status.level.empty()) {
        status.level = level->value;
    }
    const int redrawEvery = std::max(1, session.fps() / 30);
    if (settings.live) {
        platform::StopSignals::setScreenText(LiveView::leave(), LiveView::enter());
        writeText(out, LiveView::enter());
        platform::terminalSize(out, columns, rows);
    }
    // Frames are due at even steps from an anchor, which moves to now after a resume or when the
    // play has fallen far behind: time the play did not run for is not game time.
    auto anchor = std::chrono::steady_clock::now();
    int64_t anchorFrame = 0;
    int resumes = platform::StopSignals::resumes();
    const auto recordingFailed = [&] { return session.recorder() && session.recorder()->failed(); };
    for (int64_t i = 0; i < frames && platform::StopSignals::received() == 0 && !recordingFailed(); ++i) {
        const int hits = session.frame();
        const runtime::Actor* car = session.host().world().car();
        const bool airborne = car && car->contact == runtime::Contact::Air;
        if (tally.observe(airborne, session.host().world().clock, hits) && settings.runLines) {
            const std::string line = runLine(tally.lastRun());
            std::fprintf(out, "%s\n", line.c_str());
        }
        const bool resize = settings.live && resizes->changed();
        if (settings.live && (resize || i % redrawEvery == 0)) {
            if (resize) {
                platform::terminalSize(out, columns, rows);
                writeText(out, LiveView::clear());
            }
            // The last row stays free for the cursor, which leaves below the view.
            writeText(out, view.render(session.host(), tally, status, columns, rows - 1));
            std::fflush(out);
        }
        if (paced) {
            const auto now = std::chrono::steady_clock::now();
            auto due =
                anchor + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                             std::chrono::duration<double>(static_cast<double>(i + 1 - anchorFrame) / session.fps()));
            if (platform::StopSignals::resumes() != resumes || now - due > kFarBehind) {
                resumes = platform::StopSignals::resumes();
                anchor = now;
                anchorFrame = i + 1;
                due = now;
            }
            std::this_thread::sleep_until(due);
        }
    }
    resizes.reset();
    // The run under way ends with the play, before the view's last status, which then tells the
    // figures the summary gives.
    const bool runEnded = tally.finish(session.host().world().clock);
    if (settings.live) {
        writeText(out, view.render(session.host(), tally, status, columns, rows - 1));
        platform::StopSignals::setScreenText({}, {});
        writeText(out, LiveView::leave());
    }
    if (runEnded && settings.runLines) {
        std::fprintf(out, "%s\n", runLine(tally.lastRun()).c_str());
    }
    session.setAutopilot(false);
    const PlayFacts facts{settings.seed, status.level, settings.skill, settings.configPath};
    writeText(out, settings.json ? summaryJson(tally, facts) : summaryTable(tally, facts));
    std::fflush(out);
    return platform::StopSignals::received() == 0 ? 0 : platform::signalStatus(platform::StopSignals::received());
}

} // namespace arena

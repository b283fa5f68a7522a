#include "arena/play/play_command.h"

#include <cstdio>

#include "arena/play/play.h"
#include "platform/terminal.h"

namespace arena {

int runPlay(const SessionOptions& options, const PlayOptions& play, const SessionGround& ground)
{
    // A terminal that takes no cursor moves (TERM=dumb) watches the play in plain lines instead.
    const platform::TerminalAbilities abilities = platform::terminalAbilities(stdout);
    const bool watched = !play.quiet && platform::isTerminal(stdout);
    const bool live = watched && abilities.cursorMoves;

    SessionRun run(options, ground, {"play", true, {}, play.skill, play.level, live});
    if (const int refused = run.open(); refused != 0) {
        return refused;
    }
    PlaySettings settings;
    settings.seconds = play.seconds;
    settings.level = play.level;
    settings.live = live;
    settings.realtime = play.realtime || watched;
    settings.colours = abilities.colours;
    settings.runLines = !play.quiet && !live && !play.json;
    settings.json = play.json;
    settings.seed = run.seed();
    settings.skill = play.skill;
    settings.started = [&run] { return run.startRecording(); };
    settings.configPath = run.configPath();
    if (live) {
        run.session().print = nullptr;
    }
    int status = arena::play(run.session(), settings, stdout, stderr);
    status = run.recordStatus() != 0 ? run.recordStatus() : status;
    std::fflush(stdout);
    run.flushWarnings();
    return run.finish(status);
}

} // namespace arena

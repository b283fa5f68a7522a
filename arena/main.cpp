// arena: loads a plug-in as the game's plug-in host would and runs it in a simulated free play,
// from a script, an interactive console or the autopilot, or checks that it is safe to load.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "arena/cli/command_line.h"
#include "arena/cli/version.h"
#include "arena/console/console_command.h"
#include "arena/play/drill_profile.h"
#include "arena/validate/load_trial.h"
#include "platform/paths.h"
#include "platform/terminal.h"

int main(int argc, char** argv)
{
    arena::validate::runValidatorChild();
    const std::vector<std::string> words = platform::programWords(argc, argv);
    const std::vector<std::string> args(words.begin() + (words.empty() ? 0 : 1), words.end());
    std::string refusal;
    const auto line = arena::parseCommandLine(args, refusal);
    if (!line) {
        std::fputs(refusal.c_str(), stderr);
        return 2;
    }
    const arena::SessionGround ground{arena::kDrill, arena::validate::trialLoad};
    // The validator tries the plug-in's texts with the drill's words among others.
    const arena::validate::PluginWords drillWords{{arena::kDrill.levels.begin(), arena::kDrill.levels.end()},
                                                  std::string(arena::kDrill.folderName)};
    // The session commands write UTF-8 text, and play its live view's colours and cursor moves,
    // wherever the terminal needs asking; the modes come back as the command returns.
    std::optional<platform::TerminalModes> terminalModes;
    if (line->command == arena::Command::Version || line->command == arena::Command::Play ||
        line->command == arena::Command::Script || line->command == arena::Command::Console ||
        line->command == arena::Command::Rerun) {
        terminalModes.emplace(stdout);
    }
    switch (line->command) {
    case arena::Command::Help: std::fputs(line->helpText.c_str(), stdout); return 0;
    case arena::Command::Version: return arena::printVersion(line->session, ground);
    case arena::Command::Play: return arena::runPlay(line->session, line->play, ground);
    case arena::Command::Script: return arena::runScript(line->session, line->script, ground);
    case arena::Command::Console: return arena::runConsole(line->session, ground);
    case arena::Command::Replay: return arena::runReplay(line->replay);
    case arena::Command::Rerun: return arena::runRerun(line->session, line->rerun, ground);
    case arena::Command::Validate: return arena::validate::run(line->validate, drillWords);
    }
    return 2;
}

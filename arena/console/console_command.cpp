#include "arena/console/console_command.h"

#include <cstdio>

#include "arena/common/escaped_text.h"
#include "platform/line_editor.h"
#include "platform/paths.h"
#include "platform/stop_signals.h"
#include "platform/terminal.h"

namespace arena {

namespace {

int readLines(Session& session, const std::string& historyPath)
{
    const platform::StopSignals signals(false, true);
    // Ctrl-C stops the command under way and the session goes on, as in a shell; at the prompt the
    // line editor takes it and drops the line.
    const platform::CommandInterrupt interrupt;
    // There the terminal shows it as ^C where the output stood: what follows starts a line.
    const bool terminal = platform::isTerminal(stdin);
    bool lineBroken = false;
    const auto breakLine = [&] {
        if (terminal && !lineBroken && platform::CommandInterrupt::requested()) {
            std::fputc('\n', stdout);
            lineBroken = true;
        }
    };
    const auto print = std::move(session.print);
    session.print = [&](std::string_view text) {
        breakLine();
        if (print) {
            print(text);
        }
    };
    platform::LineEditor editor(stdin, stdout, historyPath);
    editor.completions = [&session](const std::vector<std::string>& before) {
        std::vector<std::string> words = session.completions(before);
        if (before.empty()) {
            words.insert(words.end(), {"exit", "quit"});
        }
        return words;
    };
    std::string line;
    std::string error;
    std::fflush(stdout);
    while (editor.read("] ", line)) {
        // A signal ends the input: what was typed so far is not a line to run.
        if (line == "exit" || line == "quit" || platform::StopSignals::received() != 0) {
            break;
        }
        platform::CommandInterrupt::clear();
        lineBroken = false;
        if (!session.runLine(line, error)) {
            breakLine();
            printLine(error);
        }
        breakLine();
        std::fflush(stdout);
    }
    session.print = print;
    if (platform::StopSignals::received() != 0) {
        std::fputs("\n", stdout);
        return platform::signalStatus(platform::StopSignals::received());
    }
    return 0;
}

} // namespace

int runConsole(const SessionOptions& options, const SessionGround& ground)
{
    const std::string history = platform::userStateFile(ground.drill.folderName, "history");
    SessionKind kind;
    kind.command = "console";
    kind.inputs.push_back({"the session's standard input", ""});
    if (!history.empty()) {
        kind.inputs.push_back({"the console's history file", history});
    }
    SessionRun run(options, ground, std::move(kind));
    if (const int refused = run.open(); refused != 0) {
        return refused;
    }
    if (!run.startRecording()) {
        return run.recordStatus();
    }
    const std::string& config = run.configPath();
    std::printf("arena console: %s %s loaded, seed %llu, configuration %s. Ctrl-D or \"exit\" leaves.\n",
                run.pluginName().c_str(), run.pluginVersion().c_str(), static_cast<unsigned long long>(run.seed()),
                config.empty() ? "none" : config.c_str());
    return run.finish(readLines(run.session(), history));
}

} // namespace arena

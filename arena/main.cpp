// arena: loads a plug-in as the game's plug-in host would and runs it in a simulated free play,
// from a script, an interactive console or the autopilot.

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "arena/cli/command_line.h"
#include "arena/common/concat.h"
#include "arena/common/escaped_text.h"
#include "arena/common/library_path.h"
#include "arena/console/config_file.h"
#include "arena/console/library_copy.h"
#include "arena/console/session.h"
#include "arena/play/drill_profile.h"
#include "arena/play/play.h"
#include "arena/record/recorder.h"
#include "arena/record/recording_file.h"
#include "arena/record/replay_page.h"
#include "arena/validate/load_trial.h"
#include "arena/validate/validate.h"
#include "platform/files.h"
#include "platform/line_editor.h"
#include "platform/paths.h"
#include "platform/stop_signals.h"
#include "platform/terminal.h"
#include "runtime/host.h"

namespace {

using arena::CommandLine;
using arena::kDrill;
using arena::levelHint;

// The status of a session that went well but whose changed settings could not be saved.
constexpr int kNotSaved = 3;

uint64_t chooseSeed()
{
    std::random_device device;
    const auto now = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    return ((static_cast<uint64_t>(device()) << 32) ^ device() ^ now) % 1000000000ULL;
}

// Lines may carry bytes from scripts, files and plug-ins: they reach the terminal escaped.
void printLine(std::string_view line)
{
    const std::string text = arena::escapeControls(line);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
}

void warnLine(std::string_view line)
{
    std::fflush(stdout);
    const std::string text = arena::escapeControls(line);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputc('\n', stderr);
}

// Lines from `in`, named `name` in messages. Returns the exit status.
int runScript(arena::Session& session, std::istream& in, const std::string& name)
{
    int status = 0;
    std::string line;
    std::string error;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!session.runLine(line, error)) {
            warnLine(arena::concat(name, ":", std::to_string(number), ": ", error));
            status = 1;
        }
    }
    if (in.bad()) {
        warnLine(arena::concat("arena: cannot read ", name, ": ", std::strerror(errno)));
        return 2;
    }
    return status;
}

int runConsole(arena::Session& session)
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
    platform::LineEditor editor(stdin, stdout, platform::userStateFile(kDrill.folderName, "history"));
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

int run(const CommandLine& options)
{
    // Colours and cursor moves for the live view, and UTF-8 text, wherever the terminal needs asking.
    const platform::TerminalModes terminalModes(stdout);
    const uint64_t seed = options.seed ? *options.seed : chooseSeed();
    const std::string pluginPath =
        options.plugin.empty() ? arena::defaultPluginPath(kDrill.libraryName) : arena::fileLibraryPath(options.plugin);

    runtime::Host host{seed};
    const runtime::LoadResult loaded = arena::loadPrivateCopy(host, pluginPath, arena::validate::trialLoad);
    if (!loaded) {
        warnLine(arena::concat("arena: ", loaded.error));
        return 1;
    }
    const auto& descriptor = host.findPlugin(loaded.plugin)->descriptor;
    const std::string pluginName = descriptor.displayName ? descriptor.displayName : "?";
    const std::string pluginVersion = descriptor.versionText ? descriptor.versionText : "?";

    if (options.command == "version") {
        std::printf("arena %s\n%s %s (%s)\n", ARENA_VERSION, pluginName.c_str(), pluginVersion.c_str(),
                    pluginPath.c_str());
        return 0;
    }
    // A terminal that takes no cursor moves (TERM=dumb) watches the play in plain lines instead.
    const platform::TerminalAbilities abilities = platform::terminalAbilities(stdout);
    const bool watched = options.command == "play" && !options.quiet && platform::isTerminal(stdout);
    const bool live = watched && abilities.cursorMoves;

    std::string configPath;
    if (!options.noConfig) {
        configPath = !options.config.empty()       ? options.config
                     : options.command == "script" ? std::string()
                                                   : arena::defaultConfigPath(kDrill.folderName);
    }
    // Looked at now, made once the session has started: a session refused before that leaves
    // every file as it was.
    arena::RecordingFile recordingFile;
    if (!options.record.empty()) {
        recordingFile = {options.record, options.force, {{"the plug-in library the session loads", pluginPath}}};
        auto& inputs = recordingFile.inputs;
        if (!configPath.empty()) {
            inputs.push_back({"the configuration file the session reads and saves", configPath});
        }
        if (options.command == "script" && options.script != "-") {
            inputs.push_back({"the script the session runs", options.script});
        } else if (options.command != "play") {
            inputs.push_back({"the session's standard input", ""});
        }
        if (const std::string history = platform::userStateFile(kDrill.folderName, "history");
            options.command == "console" && !history.empty()) {
            inputs.push_back({"the console's history file", history});
        }
        if (const std::string refusal = recordingFile.refusal(); !refusal.empty()) {
            warnLine(refusal);
            return 2;
        }
    }
    arena::ConfigFile config(configPath);
    // Lines for standard error; the live view would clear them from the screen at once, so during
    // it they wait until it has ended.
    std::vector<std::string> deferred;
    const auto warn = [&](std::string_view line) {
        if (live) {
            deferred.emplace_back(line);
        } else {
            warnLine(line);
        }
    };
    if (!configPath.empty()) {
        std::vector<std::string> configMessages;
        config.load(host.console, configMessages);
        for (const std::string& message : configMessages) {
            warn(message);
        }
        if (const runtime::CVar* level = host.console.find(kDrill.levelVariable);
            level && !(options.command == "play" && !options.level.empty())) {
            if (const std::string hint = levelHint(level->value); !hint.empty()) {
                warn(hint);
            }
        }
    }

    arena::Session session(host, loaded.plugin,
                           {pluginPath,
                            options.fps,
                            seed,
                            options.skill,
                            arena::validate::trialLoad,
                            std::string(kDrill.levelVariable),
                            {kDrill.levels.begin(), kDrill.levels.end()},
                            levelHint});
    session.print = printLine;
    session.warn = warn;
    std::optional<arena::Recorder> recorder; // gone before the session and the host
    int recordFd = -1;
    int recordStatus = 0; // why the recording could not start
    const auto startRecording = [&] {
        if (recordingFile.path.empty()) {
            return true;
        }
        std::string error;
        recordFd = recordingFile.open(error, recordStatus);
        if (recordFd < 0) {
            warnLine(error);
            return false;
        }
        recorder.emplace(host, recordFd, options.record,
                         arena::RecordingHeader{seed, options.command, pluginName, pluginVersion, options.fps,
                                                std::string(kDrill.levelVariable)});
        session.recorder = &*recorder;
        return true;
    };

    int status = 0;
    std::string keptLevel; // the configured level, written back instead of play's --level
    if (const runtime::CVar* level = host.console.find(kDrill.levelVariable)) {
        keptLevel = level->value;
    }
    if (options.command == "play") {
        arena::PlaySettings settings;
        settings.seconds = options.seconds;
        settings.level = options.level;
        settings.live = live;
        settings.realtime = options.realtime || watched;
        settings.colours = abilities.colours;
        settings.runLines = !options.quiet && !settings.live && !options.json;
        settings.json = options.json;
        settings.seed = seed;
        settings.skill = options.skill;
        settings.started = startRecording;
        settings.configPath = configPath;
        if (settings.live) {
            session.print = nullptr;
        }
        status = arena::play(session, settings, stdout, stderr);
        status = recordStatus != 0 ? recordStatus : status;
        std::fflush(stdout);
        for (const std::string& line : deferred) {
            warnLine(line);
        }
    } else if (options.command == "script") {
        if (!options.seed) {
            std::fprintf(stderr, "arena: seed %llu\n", static_cast<unsigned long long>(seed));
        }
        std::ifstream file;
        if (options.script != "-") {
            // A directory opens as a stream that simply has no lines.
            file.open(platform::filePath(options.script), std::ios::binary);
            const int openErrno = errno;
            if (!file || platform::fileFacts(options.script).kind == platform::FileKind::Directory) {
                warnLine(arena::concat("arena: cannot read ", options.script, ": ",
                                       std::strerror(file ? EISDIR : openErrno)));
                return 2;
            }
        }
        if (!startRecording()) {
            return recordStatus;
        }
        status =
            options.script == "-" ? runScript(session, std::cin, "stdin") : runScript(session, file, options.script);
    } else {
        if (!startRecording()) {
            return recordStatus;
        }
        std::printf("arena console: %s %s loaded, seed %llu, configuration %s. Ctrl-D or \"exit\" leaves.\n",
                    pluginName.c_str(), pluginVersion.c_str(), static_cast<unsigned long long>(seed),
                    configPath.empty() ? "none" : configPath.c_str());
        status = runConsole(session);
    }
    if (recordFd >= 0) {
        std::string error;
        const bool recorded = recorder && recorder->finish(error);
        session.recorder = nullptr;
        recorder.reset();
        if (const int closed = platform::closeFile(recordFd); closed != 0 && recorded) {
            error = std::string("cannot write ") + options.record + ": " + std::strerror(closed);
        }
        if (!error.empty()) {
            std::fprintf(stderr, "arena: %s\n", error.c_str());
            status = 1;
        }
    }
    // Output that could not be written is a failure, though the settings are still saved. errno
    // still tells why: the failed write was the last call to set it.
    if ((std::fflush(stdout) != 0 || std::ferror(stdout)) && platform::StopSignals::received() == 0) {
        warnLine(arena::concat("arena: cannot write the output: ", std::strerror(errno != 0 ? errno : EIO)));
        status = status == 0 ? 1 : status;
    }

    if (!configPath.empty()) {
        if (options.command == "play" && !options.level.empty()) {
            host.console.set(std::string(kDrill.levelVariable), keptLevel);
        }
        // Once begun, the save and its messages run to their end: a stop signal meanwhile waits
        // for them, then ends the arena with its status as it would have.
        bool saved = true;
        const int late = platform::holdingStops([&] {
            std::vector<std::string> saveMessages;
            saved = config.save(host.console, saveMessages);
            for (const std::string& message : saveMessages) {
                warnLine(message);
            }
        });
        if (status == 0) {
            status = !saved ? kNotSaved : late != 0 ? platform::signalStatus(late) : 0;
        }
    }
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    arena::validate::runValidatorChild();
    std::vector<std::string> words = platform::programWords(argc, argv);
    if (words.size() >= 2 && words[1] == "validate") {
        std::vector<char*> pointers;
        for (std::string& word : words) {
            pointers.push_back(word.data());
        }
        pointers.push_back(nullptr);
        return arena::validate::validateMain(static_cast<int>(words.size()) - 1, pointers.data() + 1);
    }
    const std::vector<std::string> args(words.begin() + (words.empty() ? 0 : 1), words.end());
    std::string error;
    const auto options = arena::parseCommandLine(args, error);
    if (!options) {
        std::fprintf(stderr, "arena: %s\nRun \"arena --help\" for the commands and options.\n", error.c_str());
        return 2;
    }
    if (options->command == "help") {
        std::fputs(options->helpText.c_str(), stdout);
        return 0;
    }
    if (options->command == "replay") {
        return arena::writeReplay(options->recording, options->page);
    }
    return run(*options);
}

// arena: loads a plug-in as the game's plug-in host would and runs it in a simulated free play,
// from a script, an interactive console or the autopilot.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "command_line.h"
#include "concat.h"
#include "config_file.h"
#include "drill.h"
#include "escaped_text.h"
#include "host.h"
#include "library_copy.h"
#include "library_path.h"
#include "line_editor.h"
#include "play.h"
#include "session.h"
#include "stop_signals.h"
#include "validate.h"

namespace {

using arena::CommandLine;

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
    const arena::StopSignals signals(false, true);
    arena::LineEditor editor(STDIN_FILENO, STDOUT_FILENO);
    std::string line;
    std::string error;
    std::fflush(stdout);
    while (editor.read("] ", line)) {
        // A signal ends the input: what was typed so far is not a line to run.
        if (line == "exit" || line == "quit" || arena::StopSignals::received() != 0) {
            break;
        }
        if (!session.runLine(line, error)) {
            printLine(error);
        }
        std::fflush(stdout);
    }
    if (arena::StopSignals::received() != 0) {
        std::fputs("\n", stdout);
        return arena::signalStatus(arena::StopSignals::received());
    }
    return 0;
}

int run(const CommandLine& options)
{
    const uint64_t seed = options.seed ? *options.seed : chooseSeed();
    const std::string pluginPath =
        options.plugin.empty() ? arena::defaultPluginPath() : arena::fileLibraryPath(options.plugin);

    host::Host host{seed};
    const host::LoadResult loaded = arena::loadPrivateCopy(host, pluginPath);
    if (!loaded) {
        warnLine(arena::concat("arena: ", loaded.error));
        return 1;
    }

    std::string configPath;
    if (!options.noConfig) {
        configPath = !options.config.empty()       ? options.config
                     : options.command == "script" ? std::string()
                                                   : arena::defaultConfigPath();
    }
    arena::ConfigFile config(configPath);
    std::vector<std::string> configMessages;
    if (!configPath.empty()) {
        config.load(host.console, configMessages);
    }
    for (const std::string& message : configMessages) {
        warnLine(message);
    }

    arena::Session session(host, loaded.plugin, {pluginPath, options.fps, seed, options.skill});
    session.print = printLine;
    session.warn = warnLine;

    int status = 0;
    std::string keptLevel; // the configured level, written back instead of play's --level
    if (const host::CVar* level = host.console.find(arena::drill::kLevelVariable)) {
        keptLevel = level->value;
    }
    if (options.command == "play") {
        arena::PlaySettings settings;
        settings.seconds = options.seconds;
        settings.level = options.level;
        settings.live = !options.quiet && ::isatty(STDOUT_FILENO) == 1;
        settings.realtime = options.realtime;
        settings.runLines = !options.quiet && !settings.live && !options.json;
        settings.json = options.json;
        settings.seed = seed;
        settings.skill = options.skill;
        if (settings.live) {
            session.print = nullptr;
        }
        status = arena::play(session, settings, stdout, stderr);
    } else if (options.command == "script") {
        if (!options.seed) {
            std::fprintf(stderr, "arena: seed %llu\n", static_cast<unsigned long long>(seed));
        }
        if (options.script == "-") {
            status = runScript(session, std::cin, "stdin");
        } else {
            // A directory opens as a stream that simply has no lines.
            struct stat info {};
            std::ifstream file(options.script, std::ios::binary);
            const int openErrno = errno;
            if (!file || (::stat(options.script.c_str(), &info) == 0 && S_ISDIR(info.st_mode))) {
                warnLine(arena::concat("arena: cannot read ", options.script, ": ",
                                       std::strerror(file ? EISDIR : openErrno)));
                return 2;
            }
            status = runScript(session, file, options.script);
        }
    } else {
        const auto& descriptor = host.findPlugin(loaded.plugin)->descriptor;
        std::printf("arena console: %s %s loaded, seed %llu. Ctrl-D or \"exit\" leaves.\n",
                    descriptor.displayName ? descriptor.displayName : "?",
                    descriptor.versionText ? descriptor.versionText : "?", static_cast<unsigned long long>(seed));
        status = runConsole(session);
    }
    // Output that could not be written is a failure, though the settings are still saved. errno
    // still tells why: the failed write was the last call to set it.
    if ((std::fflush(stdout) != 0 || std::ferror(stdout)) && arena::StopSignals::received() == 0) {
        warnLine(arena::concat("arena: cannot write the output: ", std::strerror(errno != 0 ? errno : EIO)));
        status = status == 0 ? 1 : status;
    }

    if (!configPath.empty()) {
        if (options.command == "play" && !options.level.empty()) {
            host.console.set(std::string(arena::drill::kLevelVariable), keptLevel);
        }
        configMessages.clear();
        config.save(host.console, configMessages);
        for (const std::string& message : configMessages) {
            warnLine(message);
        }
    }
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::string_view(argv[1]) == "validate") {
        return validateMain(argc - 1, argv + 1);
    }
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = arena::parseCommandLine(args, error);
    if (!options) {
        std::fprintf(stderr, "arena: %s\n%s", error.c_str(), arena::kUsage);
        return 2;
    }
    if (options->command == "help") {
        std::fputs(arena::kUsage, stdout);
        return 0;
    }
    return run(*options);
}

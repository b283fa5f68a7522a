#include "arena/script/script_command.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>

#include "arena/common/concat.h"
#include "arena/common/escaped_text.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace arena {

namespace {

// Lines from `in`, named `name` in messages. Returns the exit status.
int runLines(Session& session, std::istream& in, const std::string& name)
{
    int status = 0;
    std::string line;
    std::string error;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!session.runLine(line, error)) {
            warnLine(concat(name, ":", std::to_string(number), ": ", error));
            status = 1;
        }
    }
    if (in.bad()) {
        warnLine(concat("arena: cannot read ", name, ": ", std::strerror(errno)));
        return 2;
    }
    return status;
}

} // namespace

int runScript(const SessionOptions& options, const ScriptOptions& script, const SessionGround& ground)
{
    const bool fromInput = script.file == "-";
    SessionKind kind;
    kind.command = "script";
    kind.configByDefault = false;
    kind.inputs.push_back(fromInput ? SessionInput{"the session's standard input", ""}
                                    : SessionInput{"the script the session runs", script.file});
    SessionRun run(options, ground, std::move(kind));
    if (const int refused = run.open(); refused != 0) {
        return refused;
    }
    if (!options.seed) {
        std::fprintf(stderr, "arena: seed %llu\n", static_cast<unsigned long long>(run.seed()));
    }
    std::ifstream file;
    if (!fromInput) {
        // A directory opens as a stream that simply has no lines.
        file.open(platform::filePath(script.file), std::ios::binary);
        const int openErrno = errno;
        if (!file || platform::fileFacts(script.file).kind == platform::FileKind::Directory) {
            warnLine(concat("arena: cannot read ", script.file, ": ", std::strerror(file ? EISDIR : openErrno)));
            return 2;
        }
    }
    if (!run.startRecording()) {
        return run.recordStatus();
    }
    const int status =
        fromInput ? runLines(run.session(), std::cin, "stdin") : runLines(run.session(), file, script.file);
    return run.finish(status);
}

} // namespace arena

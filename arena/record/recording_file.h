#pragma once
// The file a session's recording goes to. It never takes the place of a file the session reads,
// whatever name leads there, and replaces an existing file only when the user asked for that; it
// is made or opened only once the session has started, so a session refused earlier leaves every
// file as it was.

#include <string>
#include <vector>

namespace arena {

// A file the session reads: `what` names it in messages ("the script the session runs").
struct SessionInput {
    std::string what;
    std::string path; // empty: standard input
};

struct RecordingFile {
    std::string path;
    bool replace = false;             // --force: an existing regular file may be replaced
    std::vector<SessionInput> inputs; // never replaced, even with `replace`

    // Why the recording may not go to `path`, as the whole message; empty when it may. Looks
    // before the session starts, without touching anything.
    std::string refusal() const;

    // Opens the file for the recording, looking again at what was opened. The descriptor, or -1
    // with `error` set (the whole message) and `status` the exit status: 2 for a refusal, 1 when
    // the file cannot be written. A file made here and then refused is removed again.
    int open(std::string& error, int& status) const;
};

} // namespace arena

#pragma once
// `arena replay`: the built replay page with a recording inside it, one file to open or send.

#include <optional>
#include <string>
#include <string_view>

namespace arena {

struct ReplayOptions {
    std::string recording; // FILE: a recording made with --record
    std::string page;      // --page; empty: the built page found beside the program or in the source tree
};

inline constexpr std::string_view kRecordingMarker = "<!--VOLANKO-RECORDING-->";

// The page with its one marker replaced by the recording, every "<" in it written as \u003c so
// that the script element holding it cannot be closed early. nullopt with `error` set when the
// marker is missing or there more than once.
std::optional<std::string> embedRecording(std::string_view page, std::string_view recording, std::string& error);

// Reads the recording and the page (regular files of bounded sizes), checks the recording as the
// page will (arena/record/recording_check.h), writes the recording's name with .html added.
// Returns the exit status, the message on standard error.
int runReplay(const ReplayOptions& options);

} // namespace arena

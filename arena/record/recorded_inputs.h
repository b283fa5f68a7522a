#pragma once
// What a recording holds of what its session was given, read back so that the session can be
// played again: the seed, the frame rate and the setup from the header, the console lines and the
// player's controls from their records, and the number of frames from the end record.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "arena/record/recording_json.h"
#include "sim/controls.h"

namespace arena {

struct RecordedLine {
    int64_t frame = 0; // the drawn frames before it, as the frame records count them
    std::vector<std::string> words;
};

struct ControlsChange {
    int64_t tick = 0; // from this physics tick on, counted from the session's start
    sim::Controls controls;
};

struct RecordedInputs {
    uint64_t seed = 0;
    int fps = 120;
    std::string session; // the header's "session": "play", "script" or "console"
    SessionSetup setup;
    std::vector<RecordedLine> lines;      // in the order they ran; frames never decrease
    std::vector<ControlsChange> controls; // ticks strictly increasing
    int64_t frames = 0;                   // the end record's
};

// Reads `text`, a recording that checkRecording() accepts. Nothing, with `error` set ("line 3:
// ..." or why the recording cannot be played again), when it lacks what a replay of its session
// needs: a header with a setup, an end record, and lines and controls records that read.
std::optional<RecordedInputs> readRecordedInputs(std::string_view text, std::string& error);

} // namespace arena

#pragma once
// The rules a recording must follow to be replayed, as the replay page applies them
// (web/src/recording.js), with the page's own messages: `arena replay` embeds only what the page
// will show. The recordings in tests/arena/broken_recordings.txt are put to both.

#include <cstddef>
#include <string>
#include <string_view>

namespace arena {

// The most a recording read back may weigh: far above what a session records (a ten-minute play
// is about 9 MB, so this is some five hours) and below what a browser can hold as one text.
inline constexpr size_t kRecordingLimit = size_t{256} << 20;

struct RecordingCheck {
    std::string error;   // why the page cannot replay it ("line 50: ..."); empty when it can
    std::string warning; // what the page says of a recording cut short; empty when it is whole
};

// Checks the recording `text` (its bytes as the file holds them).
RecordingCheck checkRecording(std::string_view text);

} // namespace arena

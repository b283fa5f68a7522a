#pragma once
// Writes a session as docs/recording.md describes it, while it happens: the header, the events the
// host sees (take-offs and landings from the car's contact, hits as the host fires them, resets
// from the plug-in's own calls on the car, level changes) and the drawn frames, thinned to those a
// replay needs.

#include <cstdint>
#include <string>
#include <vector>

#include "arena/record/recording_json.h"
#include "runtime/host.h"

namespace arena {

struct RecordingHeader {
    uint64_t seed = 0;
    std::string session;       // "play", "script" or "console"
    std::string pluginName;    // from the plug-in's exported record
    std::string pluginVersion; // likewise
    int fps = 120;             // drawn frames per game second, 1..1000
    std::string levelVariable; // the variable whose changes are level events; empty: none
};

// Observes `host` while it lives and writes to the open file
// `fd`, which it does not close. The host must outlive the recorder.
class Recorder : private runtime::HostObserver {
public:
    Recorder(runtime::Host& host, int fd, std::string name, const RecordingHeader& header);
    ~Recorder() override;
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    void beforeDraw(); // the world has moved for a frame and its drawables are about to run
    void drawn();      // the frame's drawables ran
    void linesRan();   // a console line ran (it may have changed the level)

    // Writes the end record and everything held back. False with `error` set when any write
    // failed; the first failure stops all later writing.
    bool finish(std::string& error);
    bool failed() const { return !error_.empty(); }

private:
    using Frame = RecordedFrame;
    struct Reset {
        bool pending = false;
        float time = 0;
        Vector location;
        Vector velocity; // what AddVelocity added since the car was placed
    };

    float now() const;
    void checkLevel();
    // Writes an event record, after the frame held back.
    void event(const runtime::Json& record);
    void flushReset();
    void writeFrame(const Frame& frame);
    void line(const runtime::Json& record); // buffers one record as a line
    void put(bool now = false);             // writes the buffered text once it is long enough, or `now`
    void onEventFiring(std::string_view name) override;
    void onActorChanged(const char* call, const runtime::Actor& actor, const Vector& value) override;

    runtime::Host& host_;
    int fd_;
    std::string name_; // the file's name in messages
    int frameEvery_;
    std::string levelVariable_; // see RecordingHeader
    std::string out_;           // text not yet written
    std::string error_;         // the first write failure
    std::string level_;         // the level last written
    int64_t drawn_ = 0;         // frames drawn so far
    Frame held_;                // the latest drawn frame, not yet written (number -1 when none)
    Frame last_;                // the last frame written (number -1 when none)
    bool eventSince_ = false;
    int contact_ = -1;      // the car's contact before the last frame's drawables; -1: no car
    bool airborne_ = false; // a take-off was written and no landing since
    Reset reset_;
    runtime::Observation observation_; // last: detached before the rest goes
};

} // namespace arena

#pragma once
// Writes a session as docs/recording.md describes it, while it happens: the header, the events the
// host sees (take-offs and landings from the car's contact, hits as the host fires them, resets
// from the plug-in's own calls on the car, level changes), the drawn frames, thinned to those a
// replay needs, and what the session was given (its setup, the console lines, the player's
// controls tick by tick), enough to play it again.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "arena/record/recording_json.h"
#include "arena/record/recording_sink.h"
#include "runtime/host.h"
#include "sim/controls.h"

namespace arena {

struct RecordingHeader {
    uint64_t seed = 0;
    std::string session;       // "play", "script" or "console"
    std::string pluginName;    // from the plug-in's exported record
    std::string pluginVersion; // likewise
    int fps = 120;             // drawn frames per game second, 1..1000
    std::string levelVariable; // the variable whose changes are level events; empty: none
    SessionSetup setup;        // how the session came to the recording's start
};

// Observes `host` while it lives and writes to `sink`. The host and the sink must outlive the
// recorder.
class Recorder : private runtime::HostObserver {
public:
    Recorder(runtime::Host& host, RecordingSink& sink, const RecordingHeader& header);
    ~Recorder() override;
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    void beforeDraw(); // the world has moved for a frame and its drawables are about to run
    void drawn();      // the frame's drawables ran
    void lineStarts(std::span<const std::string> words); // a console line is about to run
    void linesRan();                                     // a console line ran (it may have changed the level)
    // The player's car's controls at physics tick `tick` (as they move it); a record when they changed.
    void noteControls(int64_t tick, const sim::Controls& controls);

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
    RecordingSink& sink_;
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
    bool controlsNoted_ = false; // controls_ holds the controls last written
    sim::Controls controls_;
    runtime::Observation observation_; // last: detached before the rest goes
};

} // namespace arena

#pragma once
// One session of `play`, `script` or `console` from its start to its end: the plug-in loaded from
// a private copy, the configuration read, the recording made once the session begins, and at the
// end the recording finished, the output checked and the changed settings saved.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "arena/common/drill_names.h"
#include "arena/console/config_file.h"
#include "arena/console/session.h"
#include "arena/record/recorder.h"
#include "arena/record/recording_file.h"
#include "arena/record/recording_sink.h"
#include "runtime/host.h"

namespace arena {

// The global options: every command of a session takes them, before or after its name.
struct SessionOptions {
    std::string plugin;           // --plugin; empty: the drill's library beside the program
    std::optional<uint64_t> seed; // --seed; none: one is chosen
    int fps = 120;                // --fps, 1..1000
    std::string config;           // --config; empty: the command's default
    bool noConfig = false;        // --no-config; never with `config`
    std::string record;           // --record FILE (play, script and console); empty: none
    bool force = false;           // --force: the recording may replace an existing file
};

// What the command adds to the shared options.
struct SessionKind {
    std::string command;              // "play", "script" or "console", as the recording names it
    bool configByDefault = true;      // without --config, the user's configuration file is read and saved
    std::vector<SessionInput> inputs; // what the command reads besides the library and the configuration
    double skill = 0.6;               // the autopilot's skill, 0..1
    std::string levelForPlay;         // play --level: no hint for the configured one, which is saved back
    bool deferWarnings = false;       // the live view: warnings wait until it has ended
    RecordingSink* sink = nullptr;    // the recording goes here, not to --record's file; outlives the run
    // Set in order where a configuration would be read, when none is (a re-simulation's).
    std::vector<std::pair<std::string, std::string>> settings = {};
};

// What every session command is given besides its options: the drill it plays, and the trial its
// library gets before the session loads it. Both outlive the command.
struct SessionGround {
    const DrillProfile& drill;
    LoadTrial trial;
};

// The library a session loads: --plugin as the file it names, else the drill's own beside the
// program.
std::string pluginPathOf(const SessionOptions& options, const DrillProfile& drill);

// The status of a session that went well but whose changed settings could not be saved.
inline constexpr int kNotSaved = 3;

class SessionRun {
public:
    // Nothing is loaded or read until open().
    SessionRun(const SessionOptions& options, const SessionGround& ground, SessionKind kind);
    ~SessionRun();
    SessionRun(const SessionRun&) = delete;
    SessionRun& operator=(const SessionRun&) = delete;

    // Loads the plug-in, looks at where the recording would go and reads the configuration, its
    // messages on standard error. 0, or the exit status with the message printed; on a refusal no
    // file has changed.
    int open();

    // Makes the recording's file and starts recording, when one is asked for (or records into
    // the kind's sink). Called once, when the session begins; false with the message printed and
    // recordStatus() set.
    bool startRecording();

    // Finishes the recording, checks that standard output was written and saves the changed
    // settings. Returns the session's exit status, given the commands' own `status`.
    int finish(int status);

    // Prints the warnings held back for the live view.
    void flushWarnings();

    Session& session() { return *session_; } // after open() succeeded
    uint64_t seed() const { return seed_; }
    const std::string& configPath() const { return configPath_; }
    const std::string& pluginName() const { return pluginName_; }
    const std::string& pluginVersion() const { return pluginVersion_; }
    int recordStatus() const { return recordStatus_; } // why the recording could not start, else 0

private:
    void warn(std::string_view line);

    const SessionOptions& options_;
    const DrillProfile& drill_;
    const LoadTrial& trial_;
    SessionKind kind_;
    uint64_t seed_;
    std::string pluginPath_;
    std::string configPath_;
    std::string pluginName_;
    std::string pluginVersion_;
    std::string keptLevel_; // the configured level, written back instead of play's --level
    RecordingFile recordingFile_;
    SessionSetup setup_; // what the recording's header tells of the session's start
    ConfigFile config_;
    std::vector<std::string> deferred_;
    int recordFd_ = -1;
    int recordStatus_ = 0;
    runtime::Host host_;
    std::optional<Session> session_; // gone before the host
    std::optional<FileSink> fileSink_;
    std::optional<Recorder> recorder_; // gone before the session, the sink and the host
};

} // namespace arena

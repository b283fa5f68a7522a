#pragma once
// Runs console lines against a host with a plug-in loaded: the plug-in's commands and variables,
// and the host's own `arena_*` commands that drive the simulated free play.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "arena/console/library_copy.h"
#include "runtime/host.h"
#include "sim/autopilot.h"
#include "sim/frame_step.h"

namespace arena {

class Recorder;

struct SessionSettings {
    std::string pluginPath; // what arena_reload loads again
    int fps = 120;          // drawn frames per game second; 1..1000
    uint64_t seed = 0;      // the autopilot's generator
    double skill = 0.6;     // the autopilot's skill, 0..1
    LoadTrial trial = {};   // what arena_reload tries the library with first; none when empty
    // The variable whose value is one of a few words (the drill's level): Tab offers `levels`
    // after it, and a value set that `levelHint` has a note on gets that note. Empty: none.
    std::string levelVariable = {};
    std::vector<std::string> levels = {};
    std::function<std::string(std::string_view value)> levelHint = {};
};

inline constexpr int64_t kMaxFramesPerLine = 10'000'000;

// The host and the session share a lifetime: the host must outlive the session. The session
// observes the host's trace while it lives, printing each entry.
class Session : private runtime::HostObserver, private sim::ControlsTap {
public:
    Session(runtime::Host& host, uint32_t plugin, SessionSettings settings);
    ~Session() override;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Runs one console line. Printed lines go to `print`. Returns false, with `error` set to the
    // message and nothing changed by the failed command, when the line is malformed, names nothing
    // known or is refused.
    bool runLine(std::string_view line, std::string& error);
    bool runWords(const std::vector<std::string>& words, std::string& error);

    // One drawn frame as arena_frames draws it; returns the ball-hit events fired.
    int frame();

    std::string dump() const; // the arena_dump line
    // The words that may follow `before` on a line: command, variable and host command names
    // first, a level after the level variable; none otherwise.
    std::vector<std::string> completions(const std::vector<std::string>& before) const;

    runtime::Host& host() { return host_; }
    uint32_t plugin() const { return plugin_; } // 0 after a failed reload
    bool paused() const { return paused_; }
    bool autopilotOn() const { return autopilotOn_; }
    void setAutopilot(bool on) { autopilotOn_ = on; }
    int fps() const { return settings_.fps; }
    int64_t framesDrawn() const { return framesDrawn_; } // by frame(), since the session began

    // Told of every frame, line and tick from now on; null: none. Must outlive its use here.
    void setRecorder(Recorder* recorder);
    Recorder* recorder() const { return recorder_; }
    // Decides the player's car's controls tick by tick in place of the autopilot, `arena_controls`
    // and the rest (a re-simulation); null: none. Must outlive its use here.
    void setControlsFeed(sim::ControlsTap* feed);
    // While on, every line run without a recorder is kept, for the recording's setup.
    void keepLines(bool on) { keepLines_ = on; }
    std::vector<std::vector<std::string>> takeLines() { return std::exchange(keptLines_, {}); }

    std::function<void(std::string_view)> print; // one line of output, without its newline
    std::function<void(std::string_view)> warn;  // one line of diagnostics (faults the host saw)

private:
    using Args = std::span<const std::string>; // a command's words after its name
    // One `arena_*` command. Its handler returns false with `error` empty when the words do not
    // fit its usage, and with `error` set when it refuses them.
    struct HostCommand {
        std::string_view name;
        std::string_view usage; // the command with its arguments and their limits
        bool (Session::*run)(Args args, std::string& error);
    };
    static std::span<const HostCommand> hostCommands();
    bool hostCommand(const std::vector<std::string>& words, std::string& error);
    bool freeplayCommand(Args args, std::string& error);
    bool pauseCommand(Args args, std::string& error);
    bool autopilotCommand(Args args, std::string& error);
    bool traceCommand(Args args, std::string& error);
    bool timeCommand(Args args, std::string& error);
    bool framesCommand(Args args, std::string& error);
    bool controlsCommand(Args args, std::string& error);
    bool hitCommand(Args args, std::string& error);
    bool setCommand(Args args, std::string& error);
    bool spawnCommand(Args args, std::string& error);
    bool removeCommand(Args args, std::string& error);
    bool canvasCommand(Args args, std::string& error);
    bool reloadCommand(Args args, std::string& error);
    bool dumpCommand(Args args, std::string& error);
    void flushNews(); // prints the host's new messages, plug-in log lines and fault reports
    void emit(std::string_view line);
    void onTrace(const runtime::TraceEntry& entry) override;
    void atTick(int64_t tick, sim::Controls& controls) override;
    void tapTicks(); // the physics' tap is this session while it has a feed or a recorder

    runtime::Host& host_;
    uint32_t plugin_;
    SessionSettings settings_;
    sim::FrameStep frames_;
    sim::Autopilot autopilot_;
    bool paused_ = false;
    bool autopilotOn_ = false;
    size_t logSeen_ = 0;
    size_t reportsSeen_ = 0;
    Recorder* recorder_ = nullptr;
    sim::ControlsTap* feed_ = nullptr;
    int64_t framesDrawn_ = 0;
    bool keepLines_ = false;
    std::vector<std::vector<std::string>> keptLines_;
    runtime::Observation observation_; // last: detached before anything it prints with goes
};

} // namespace arena

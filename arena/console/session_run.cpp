#include "arena/console/session_run.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>

#include "arena/common/concat.h"
#include "arena/common/escaped_text.h"
#include "arena/common/library_path.h"
#include "arena/common/load_refusal.h"
#include "arena/console/library_copy.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/stop_signals.h"

namespace arena {

namespace {

uint64_t chooseSeed()
{
    std::random_device device;
    const auto now = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    return ((static_cast<uint64_t>(device()) << 32) ^ device() ^ now) % 1000000000ULL;
}

std::string configPathOf(const SessionOptions& options, const SessionKind& kind, const DrillProfile& drill)
{
    if (options.noConfig) {
        return {};
    }
    if (!options.config.empty()) {
        return options.config;
    }
    return kind.configByDefault ? defaultConfigPath(drill.folderName) : std::string();
}

} // namespace

std::string pluginPathOf(const SessionOptions& options, const DrillProfile& drill)
{
    return options.plugin.empty() ? defaultPluginPath(drill.libraryName) : fileLibraryPath(options.plugin);
}

SessionRun::SessionRun(const SessionOptions& options, const SessionGround& ground, SessionKind kind)
    : options_(options), drill_(ground.drill), trial_(ground.trial), kind_(std::move(kind)),
      seed_(options.seed ? *options.seed : chooseSeed()), pluginPath_(pluginPathOf(options, drill_)),
      configPath_(configPathOf(options, kind_, drill_)), config_(configPath_), host_{seed_}
{
}

SessionRun::~SessionRun() = default;

int SessionRun::open()
{
    const runtime::LoadResult loaded = loadPrivateCopy(host_, pluginPath_, trial_);
    if (!loaded) {
        warnLine(concat("arena: ", loadRefusal(loaded)));
        return 1;
    }
    const auto& descriptor = host_.findPlugin(loaded.plugin)->descriptor;
    pluginName_ = descriptor.displayName ? descriptor.displayName : "?";
    pluginVersion_ = descriptor.versionText ? descriptor.versionText : "?";

    // Looked at now, made once the session has started: a session refused before that leaves
    // every file as it was.
    if (!options_.record.empty()) {
        recordingFile_ = {options_.record, options_.force, {{"the plug-in library the session loads", pluginPath_}}};
        auto& inputs = recordingFile_.inputs;
        if (!configPath_.empty()) {
            inputs.push_back({"the configuration file the session reads and saves", configPath_});
        }
        inputs.insert(inputs.end(), kind_.inputs.begin(), kind_.inputs.end());
        if (const std::string refusal = recordingFile_.refusal(); !refusal.empty()) {
            warnLine(refusal);
            return 2;
        }
    }
    const auto set = [this](std::string_view name, std::string_view text) {
        setup_.settings.emplace_back(name, text);
        return host_.setVariable(name, text);
    };
    // Each as the session it came from set it; one refused then is refused again, in silence.
    for (const auto& [name, text] : kind_.settings) {
        set(name, text);
    }
    if (!configPath_.empty()) {
        std::vector<std::string> messages;
        config_.load(host_.console(), set, messages);
        for (const std::string& message : messages) {
            warn(message);
        }
        if (const runtime::CVar* level = host_.console().find(drill_.levelVariable);
            level && kind_.levelForPlay.empty()) {
            if (const std::string hint = levelHint(drill_, level->value); !hint.empty()) {
                warn(hint);
            }
        }
    }
    const DrillProfile& drill = drill_;
    session_.emplace(host_, loaded.plugin,
                     SessionSettings{pluginPath_,
                                     options_.fps,
                                     seed_,
                                     kind_.skill,
                                     trial_,
                                     std::string(drill.levelVariable),
                                     {drill.levels.begin(), drill.levels.end()},
                                     [&drill](std::string_view value) { return levelHint(drill, value); }});
    session_->print = printLine;
    session_->warn = [this](std::string_view line) { warn(line); };
    if (const runtime::CVar* level = host_.console().find(drill_.levelVariable)) {
        keptLevel_ = level->value;
    }
    session_->keepLines(!recordingFile_.path.empty() || kind_.sink);
    return 0;
}

bool SessionRun::startRecording()
{
    RecordingSink* sink = kind_.sink;
    if (!sink) {
        if (recordingFile_.path.empty()) {
            return true;
        }
        std::string error;
        recordFd_ = recordingFile_.open(error, recordStatus_);
        if (recordFd_ < 0) {
            warnLine(error);
            return false;
        }
        sink = &fileSink_.emplace(recordFd_, options_.record);
    }
    setup_.lines = session_->takeLines();
    session_->keepLines(false);
    recorder_.emplace(host_, *sink,
                      RecordingHeader{seed_, kind_.command, pluginName_, pluginVersion_, options_.fps,
                                      std::string(drill_.levelVariable), std::move(setup_)});
    session_->setRecorder(&*recorder_);
    return true;
}

int SessionRun::finish(int status)
{
    if (recorder_ && kind_.sink) {
        // Into a sink of the caller's, which reads what went wrong there itself.
        std::string error;
        recorder_->finish(error);
        session_->setRecorder(nullptr);
        recorder_.reset();
    }
    if (recordFd_ >= 0) {
        std::string error;
        const bool recorded = recorder_ && recorder_->finish(error);
        session_->setRecorder(nullptr);
        recorder_.reset();
        fileSink_.reset();
        if (const int closed = platform::closeFile(recordFd_); closed != 0 && recorded) {
            error = std::string("cannot write ") + options_.record + ": " + std::strerror(closed);
        }
        recordFd_ = -1;
        if (!error.empty()) {
            std::fprintf(stderr, "arena: %s\n", error.c_str());
            status = 1;
        }
    }
    // Output that could not be written is a failure, though the settings are still saved. errno
    // still tells why: the failed write was the last call to set it.
    if ((std::fflush(stdout) != 0 || std::ferror(stdout)) && platform::StopSignals::received() == 0) {
        warnLine(concat("arena: cannot write the output: ", std::strerror(errno != 0 ? errno : EIO)));
        status = status == 0 ? 1 : status;
    }
    if (configPath_.empty()) {
        return status;
    }
    if (!kind_.levelForPlay.empty()) {
        host_.setVariable(std::string(drill_.levelVariable), keptLevel_);
    }
    // Once begun, the save and its messages run to their end: a stop signal meanwhile waits for
    // them, then ends the arena with its status as it would have.
    bool saved = true;
    const int late = platform::holdingStops([&] {
        std::vector<std::string> messages;
        saved = config_.save(host_.console(), messages);
        for (const std::string& message : messages) {
            warnLine(message);
        }
    });
    if (status == 0) {
        status = !saved ? kNotSaved : late != 0 ? platform::signalStatus(late) : 0;
    }
    return status;
}

void SessionRun::flushWarnings()
{
    for (const std::string& line : deferred_) {
        warnLine(line);
    }
    deferred_.clear();
}

void SessionRun::warn(std::string_view line)
{
    if (kind_.deferWarnings) {
        deferred_.push_back(std::string(line));
    } else {
        warnLine(line);
    }
}

} // namespace arena

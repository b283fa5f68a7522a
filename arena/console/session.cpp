#include "arena/console/session.h"

#include "arena/console/console_line.h"
#include "arena/console/dump.h"
#include "arena/record/recorder.h"
#include "runtime/cvar_value.h"

namespace arena {

Session::Session(runtime::Host& host, uint32_t plugin, SessionSettings settings)
    : host_(host), plugin_(plugin), settings_(std::move(settings)), autopilot_(settings_.seed, settings_.skill)
{
    if (settings_.fps < 1) {
        settings_.fps = 1;
    }
    logSeen_ = host_.console().log.size();
    reportsSeen_ = host_.faults().reports.size();
    observation_ = host_.attach(*this);
}

Session::~Session() = default;

void Session::onTrace(const runtime::TraceEntry& entry)
{
    emit(entry.json());
}

void Session::setRecorder(Recorder* recorder)
{
    recorder_ = recorder;
    tapTicks();
}

void Session::setControlsFeed(sim::ControlsTap* feed)
{
    feed_ = feed;
    tapTicks();
}

void Session::tapTicks()
{
    frames_.physics.tap = recorder_ || feed_ ? this : nullptr;
}

void Session::atTick(int64_t tick, sim::Controls& controls)
{
    if (feed_) {
        feed_->atTick(tick, controls);
    }
    // Noted as they stand: physics keeps a tap's controls within their ranges, and those a
    // recording feeds back were read within them.
    if (recorder_) {
        recorder_->noteControls(tick, controls);
    }
}

void Session::emit(std::string_view line)
{
    if (print) {
        print(line);
    }
}

void Session::flushNews()
{
    const auto& log = host_.console().log;
    for (; logSeen_ < log.size(); ++logSeen_) {
        emit(log[logSeen_]);
    }
    const auto& reports = host_.faults().reports;
    for (; reportsSeen_ < reports.size(); ++reportsSeen_) {
        if (warn) {
            std::string line = "host: ";
            line += reports[reportsSeen_];
            warn(line);
        }
    }
    // Each entry has been printed as it completed; keeping them would only grow.
    if (host_.trace().on()) {
        host_.clearTrace();
    }
}

bool Session::runLine(std::string_view line, std::string& error)
{
    const auto words = splitConsoleLine(line, error);
    if (!words) {
        return false;
    }
    return runWords(*words, error);
}

bool Session::runWords(const std::vector<std::string>& words, std::string& error)
{
    if (words.empty()) {
        return true;
    }
    if (recorder_) {
        recorder_->lineStarts(words);
    } else if (keepLines_) {
        keptLines_.push_back(words);
    }
    const std::string& name = words.front();
    bool ok = true;
    if (name.starts_with("arena_")) {
        ok = hostCommand(words, error);
    } else if (host_.runCommand(words)) {
        ok = true;
    } else if (const runtime::CVar* cvar = host_.console().find(name)) {
        if (words.size() == 1) {
            std::string line = cvar->name;
            line += " = \"";
            line += cvar->value;
            line += '"';
            emit(line);
        } else if (words.size() == 2) {
            error = host_.setVariable(name, words[1]);
            ok = error.empty();
            // The host takes any text; a misspelled level would silently stop the throws.
            if (ok && warn && settings_.levelHint && !settings_.levelVariable.empty() &&
                name == settings_.levelVariable) {
                if (const std::string hint = settings_.levelHint(cvar->value); !hint.empty()) {
                    warn(hint);
                }
            }
        } else {
            error = name;
            error += " takes one value; quote a value with blanks in it";
            ok = false;
        }
    } else {
        error = "unknown command " + runtime::quotedExcerpt(name);
        ok = false;
    }
    flushNews();
    if (recorder_) {
        recorder_->linesRan();
    }
    return ok;
}

int Session::frame()
{
    int hits = 0;
    if (!paused_) {
        if (autopilotOn_) {
            autopilot_.act(host_.world(), host_.world().clock, frames_.physics.controls[0]);
        }
        hits = frames_.step(host_, settings_.fps);
    }
    if (recorder_) {
        recorder_->beforeDraw();
    }
    host_.drawFrame();
    ++framesDrawn_;
    if (recorder_) {
        recorder_->drawn();
    }
    flushNews();
    return hits;
}

std::vector<std::string> Session::completions(const std::vector<std::string>& before) const
{
    std::vector<std::string> words;
    if (before.empty()) {
        for (const runtime::CVar& cvar : host_.console().cvars) {
            words.push_back(cvar.name);
        }
        for (const runtime::Notifier& notifier : host_.console().notifiers) {
            words.push_back(notifier.name);
        }
        for (const HostCommand& command : hostCommands()) {
            words.emplace_back(command.name);
        }
    } else if (before.size() == 1 && !settings_.levelVariable.empty() && before.front() == settings_.levelVariable) {
        words = settings_.levels;
    }
    return words;
}

std::string Session::dump() const
{
    return dumpJson(host_, paused_);
}

} // namespace arena

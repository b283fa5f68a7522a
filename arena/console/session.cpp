#include "session.h"

#include <cmath>
#include <limits>

#include "concat.h"
#include "console_line.h"
#include "dump.h"
#include "number_text.h"

namespace arena {

namespace {

// "0" or "1" only.
std::optional<bool> parseSwitch(std::string_view word)
{
    if (word == "0") {
        return false;
    }
    if (word == "1") {
        return true;
    }
    return std::nullopt;
}

std::optional<host::ActorKind> parseKind(std::string_view word)
{
    if (word == "car") {
        return host::ActorKind::Car;
    }
    if (word == "ball") {
        return host::ActorKind::Ball;
    }
    if (word == "camera") {
        return host::ActorKind::Camera;
    }
    return std::nullopt;
}

bool fail(std::string& error, std::string_view message)
{
    error = message;
    return false;
}

bool usage(std::string& error, std::string_view form)
{
    error = "usage: ";
    error += form;
    return false;
}

} // namespace

Session::Session(host::Host& host, uint32_t plugin, SessionSettings settings)
    : host_(host), plugin_(plugin), settings_(std::move(settings)), autopilot_(settings_.seed, settings_.skill)
{
    if (settings_.fps < 1) {
        settings_.fps = 1;
    }
    messagesSeen_ = host_.console.messages.size();
    logSeen_ = host_.console.log.size();
    reportsSeen_ = host_.faults.reports.size();
    host_.trace.sink = [this](const host::TraceEntry& entry) { emit(entry.json()); };
}

Session::~Session()
{
    host_.trace.sink = nullptr;
}

void Session::emit(std::string_view line)
{
    if (print) {
        print(line);
    }
}

void Session::flushNews()
{
    const auto& messages = host_.console.messages;
    for (; messagesSeen_ < messages.size(); ++messagesSeen_) {
        emit(messages[messagesSeen_]);
    }
    const auto& log = host_.console.log;
    for (; logSeen_ < log.size(); ++logSeen_) {
        emit(log[logSeen_]);
    }
    const auto& reports = host_.faults.reports;
    for (; reportsSeen_ < reports.size(); ++reportsSeen_) {
        if (warn) {
            std::string line = "host: ";
            line += reports[reportsSeen_];
            warn(line);
        }
    }
    // Each entry has been printed as it completed; keeping them would only grow.
    if (host_.trace.on) {
        host_.trace.clear();
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
    const std::string& name = words.front();
    bool ok = true;
    if (name.starts_with("arena_")) {
        ok = hostCommand(words, error);
    } else if (host_.runCommand(words)) {
        ok = true;
    } else if (host::CVar* cvar = host_.console.find(name)) {
        if (words.size() == 1) {
            std::string line = cvar->name;
            line += " = \"";
            line += cvar->value;
            line += '"';
            emit(line);
        } else if (words.size() == 2) {
            ok = host_.console.set(name, words[1]);
            if (!ok) {
                const auto& messages = host_.console.messages;
                error = messages.empty() ? "refused" : messages.back();
                messagesSeen_ = messages.size();
            }
        } else {
            error = name;
            error += " takes one value; quote a value with blanks in it";
            ok = false;
        }
    } else {
        error = "unknown command \"";
        error += name;
        error += '"';
        ok = false;
    }
    flushNews();
    return ok;
}

int Session::frame()
{
    int hits = 0;
    if (!paused_) {
        if (autopilotOn_) {
            autopilot_.act(host_.world, host_.world.clock, frames_.physics.input);
        }
        hits = frames_.step(host_, settings_.fps);
    }
    host_.drawFrame();
    flushNews();
    return hits;
}

std::string Session::dump() const
{
    return dumpJson(host_, paused_);
}

bool Session::hostCommand(const std::vector<std::string>& words, std::string& error)
{
    const std::string& name = words.front();
    const size_t argc = words.size() - 1;
    host::World& world = host_.world;

    if (name == "arena_freeplay" || name == "arena_pause" || name == "arena_autopilot" || name == "arena_trace") {
        const auto on = argc == 1 ? parseSwitch(words[1]) : std::nullopt;
        if (!on) {
            return usage(error, concat(name, " 0|1"));
        }
        if (name == "arena_freeplay") {
            world.setFreeplay(*on);
        } else if (name == "arena_pause") {
            paused_ = *on;
        } else if (name == "arena_autopilot") {
            autopilotOn_ = *on;
            frames_.physics.input = {};
        } else {
            host_.trace.on = *on;
            host_.trace.clear();
        }
        return true;
    }
    if (name == "arena_time") {
        const auto seconds = argc == 1 ? parseReal(words[1]) : std::nullopt;
        if (!seconds || std::fabs(*seconds) > 1e9) {
            return usage(error, "arena_time SECONDS (a finite number of game seconds, at most 1e9 either way)");
        }
        world.clock = *seconds;
        return true;
    }
    if (name == "arena_frames") {
        const auto count = argc == 1 ? parseInteger(words[1]) : std::nullopt;
        if (!count || *count < 0 || *count > kMaxFramesPerLine) {
            return usage(error, "arena_frames N (0 to 10000000)");
        }
        for (int64_t i = 0; i < *count; ++i) {
            frame();
        }
        return true;
    }
    if (name == "arena_hit") {
        if (argc != 0) {
            return usage(error, "arena_hit");
        }
        host_.fireEvent(host::kBallHitEvent);
        return true;
    }
    if (name == "arena_set") {
        return setCommand(words, error);
    }
    if (name == "arena_spawn" || name == "arena_remove") {
        const auto kind = argc == 1 ? parseKind(words[1]) : std::nullopt;
        if (!kind) {
            return usage(error, concat(name, " car|ball|camera"));
        }
        std::string what = words[1];
        if (name == "arena_remove") {
            if (!world.remove(*kind)) {
                return fail(error, concat("there is no ", what, " to remove"));
            }
            return true;
        }
        if (*kind == host::ActorKind::Camera && world.camera != 0) {
            return fail(error, "there is already a camera");
        }
        if (*kind != host::ActorKind::Camera && !world.freeplay) {
            return fail(error, concat("not in free play: there is no game event to put a ", what, " in"));
        }
        world.spawn(*kind);
        return true;
    }
    if (name == "arena_canvas") {
        const auto w = argc == 2 ? parseInteger(words[1]) : std::nullopt;
        const auto h = argc == 2 ? parseInteger(words[2]) : std::nullopt;
        if (!w || !h || *w < 0 || *h < 0 || *w > 100000 || *h > 100000) {
            return usage(error, "arena_canvas W H (pixels, 0 to 100000)");
        }
        host_.canvas.size = {static_cast<int32_t>(*w), static_cast<int32_t>(*h)};
        return true;
    }
    if (name == "arena_reload") {
        if (argc != 0) {
            return usage(error, "arena_reload");
        }
        if (plugin_ != 0) {
            host_.unload(plugin_);
            plugin_ = 0;
        }
        const host::LoadResult loaded = host_.load(settings_.pluginPath);
        if (!loaded) {
            return fail(error, loaded.error);
        }
        plugin_ = loaded.plugin;
        return true;
    }
    if (name == "arena_dump") {
        if (argc != 0) {
            return usage(error, "arena_dump");
        }
        emit(dump());
        return true;
    }
    error = "unknown command \"";
    error += name;
    error += '"';
    return false;
}

bool Session::setCommand(const std::vector<std::string>& words, std::string& error)
{
    static constexpr const char* kForm =
        "arena_set car|ball location|velocity|angularVelocity X Y Z, arena_set car|ball rotation P Y R, "
        "arena_set car contact ground|wall|air";
    if (words.size() < 3 || (words[1] != "car" && words[1] != "ball")) {
        return usage(error, kForm);
    }
    const bool isCar = words[1] == "car";
    const std::string& property = words[2];
    const size_t values = words.size() - 3;
    host::Actor* actor = isCar ? host_.world.car() : host_.world.ball();

    if (property == "contact") {
        if (!isCar || values != 1 || (words[3] != "ground" && words[3] != "wall" && words[3] != "air")) {
            return usage(error, "arena_set car contact ground|wall|air");
        }
        if (!actor) {
            return fail(error, "there is no car");
        }
        actor->contact = words[3] == "ground" ? host::Contact::Ground
                         : words[3] == "wall" ? host::Contact::Wall
                                              : host::Contact::Air;
        return true;
    }
    if (property == "rotation") {
        int32_t parts[3] = {};
        for (size_t i = 0; i < 3 && values == 3; ++i) {
            const auto value = parseInteger(words[3 + i]);
            if (!value || *value < std::numeric_limits<int32_t>::min() ||
                *value > std::numeric_limits<int32_t>::max()) {
                return fail(
                    error, concat("rotation components are whole numbers (65536 to the turn): \"", words[3 + i], "\""));
            }
            parts[i] = static_cast<int32_t>(*value);
        }
        if (values != 3) {
            return usage(error, "arena_set car|ball rotation P Y R");
        }
        if (!actor) {
            return fail(error, concat("there is no ", words[1]));
        }
        actor->rotation = {parts[0], parts[1], parts[2]};
        return true;
    }
    if (property == "location" || property == "velocity" || property == "angularVelocity") {
        float parts[3] = {};
        for (size_t i = 0; i < 3 && values == 3; ++i) {
            const auto value = parseReal(words[3 + i]);
            if (!value || !std::isfinite(static_cast<float>(*value))) {
                return fail(error, concat("\"", words[3 + i], "\" is not a finite number"));
            }
            parts[i] = static_cast<float>(*value);
        }
        if (values != 3) {
            return usage(error, concat("arena_set car|ball ", property, " X Y Z"));
        }
        if (!actor) {
            return fail(error, concat("there is no ", words[1]));
        }
        const Vector value{parts[0], parts[1], parts[2]};
        if (property == "location") {
            actor->location = value;
        } else if (property == "velocity") {
            actor->velocity = value;
        } else {
            actor->angularVelocity = value;
        }
        return true;
    }
    return usage(error, kForm);
}

} // namespace arena

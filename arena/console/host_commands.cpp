// The host's own `arena_*` commands: one table of name, usage and handler.

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <utility>

#include "arena/common/concat.h"
#include "arena/common/load_refusal.h"
#include "arena/common/number_text.h"
#include "arena/console/library_copy.h"
#include "arena/console/session.h"
#include "platform/stop_signals.h"
#include "runtime/cvar_value.h"

namespace arena {

namespace {

// One word, "0" or "1".
std::optional<bool> switchOf(std::span<const std::string> args)
{
    if (args.size() != 1 || (args[0] != "0" && args[0] != "1")) {
        return std::nullopt;
    }
    return args[0] == "1";
}

// One word naming an actor kind the commands may add or remove.
std::optional<runtime::ActorKind> kindOf(std::span<const std::string> args)
{
    if (args.size() != 1) {
        return std::nullopt;
    }
    if (args[0] == "car") {
        return runtime::ActorKind::Car;
    }
    if (args[0] == "ball") {
        return runtime::ActorKind::Ball;
    }
    if (args[0] == "camera") {
        return runtime::ActorKind::Camera;
    }
    return std::nullopt;
}

bool fail(std::string& error, std::string_view message)
{
    error = message;
    return false;
}

// One component of a vector: a number a float holds. A number beyond the float's range is told
// apart from one that is no number at all, whose fix is another; one too small for a double is 0.
std::optional<float> floatOf(const std::string& word, std::string& error)
{
    auto value = parseReal(word);
    if (!value) {
        char* end = nullptr;
        errno = 0;
        const double read = std::strtod(word.c_str(), &end);
        if (!word.empty() && end == word.c_str() + word.size() && errno == ERANGE) {
            value = read;
        }
    }
    if (value && std::isfinite(static_cast<float>(*value))) {
        return static_cast<float>(*value);
    }
    if (value) {
        error = concat(runtime::quotedExcerpt(word), " is out of range (the limit is \u00B13.4e38)");
    } else {
        error = concat(runtime::quotedExcerpt(word), " is not a finite number");
    }
    return std::nullopt;
}

} // namespace

std::span<const Session::HostCommand> Session::hostCommands()
{
    static constexpr HostCommand kCommands[] = {
        {"arena_freeplay", "arena_freeplay 0|1", &Session::freeplayCommand},
        {"arena_pause", "arena_pause 0|1", &Session::pauseCommand},
        {"arena_autopilot", "arena_autopilot 0|1", &Session::autopilotCommand},
        {"arena_trace", "arena_trace 0|1", &Session::traceCommand},
        {"arena_time", "arena_time SECONDS (a finite number of game seconds, at most 1e9 either way)",
         &Session::timeCommand},
        {"arena_frames", "arena_frames N (0 to 10000000)", &Session::framesCommand},
        {"arena_controls",
         "arena_controls TICKS (0 to 432000) [throttle|steer|pitch|yaw|roll X (-1 to 1)]... [jump] [boost] "
         "[handbrake]",
         &Session::controlsCommand},
        {"arena_hit", "arena_hit", &Session::hitCommand},
        {"arena_set",
         "arena_set car|ball location|velocity|angularVelocity X Y Z, arena_set car|ball rotation P Y R, "
         "arena_set car contact ground|wall|air",
         &Session::setCommand},
        {"arena_spawn", "arena_spawn car|ball|camera", &Session::spawnCommand},
        {"arena_remove", "arena_remove car|ball|camera", &Session::removeCommand},
        {"arena_canvas", "arena_canvas W H (pixels, 0 to 100000)", &Session::canvasCommand},
        {"arena_reload", "arena_reload", &Session::reloadCommand},
        {"arena_dump", "arena_dump", &Session::dumpCommand},
    };
    return kCommands;
}

bool Session::hostCommand(const std::vector<std::string>& words, std::string& error)
{
    for (const HostCommand& command : hostCommands()) {
        if (command.name != words.front()) {
            continue;
        }
        error.clear();
        if ((this->*command.run)(Args(words).subspan(1), error)) {
            return true;
        }
        if (error.empty()) {
            error = concat("usage: ", command.usage);
        }
        return false;
    }
    return fail(error, concat("unknown command ", runtime::quotedExcerpt(words.front())));
}

bool Session::freeplayCommand(Args args, std::string&)
{
    const auto on = switchOf(args);
    if (on) {
        host_.driveWorld().setFreeplay(*on);
    }
    return on.has_value();
}

bool Session::pauseCommand(Args args, std::string&)
{
    const auto on = switchOf(args);
    paused_ = on.value_or(paused_);
    return on.has_value();
}

bool Session::autopilotCommand(Args args, std::string&)
{
    const auto on = switchOf(args);
    if (on) {
        autopilotOn_ = *on;
        frames_.physics.controls[0] = {};
    }
    return on.has_value();
}

bool Session::traceCommand(Args args, std::string&)
{
    const auto on = switchOf(args);
    if (on) {
        host_.switchTrace(*on);
        host_.clearTrace();
    }
    return on.has_value();
}

bool Session::timeCommand(Args args, std::string&)
{
    const auto seconds = args.size() == 1 ? parseReal(args[0]) : std::nullopt;
    if (!seconds || std::fabs(*seconds) > 1e9) {
        return false;
    }
    host_.driveWorld().clock = *seconds;
    return true;
}

bool Session::framesCommand(Args args, std::string&)
{
    const auto count = args.size() == 1 ? parseInteger(args[0]) : std::nullopt;
    if (!count || *count < 0 || *count > kMaxFramesPerLine) {
        return false;
    }
    // A signal that ends the session ends a long run of frames too; Ctrl-C in the console ends
    // the run alone.
    int64_t drawn = 0;
    for (; drawn < *count && platform::StopSignals::received() == 0; ++drawn) {
        if (platform::CommandInterrupt::requested()) {
            emit(concat("arena_frames: stopped after ", std::to_string(drawn), " of ", std::to_string(*count),
                        " frames"));
            break;
        }
        frame();
    }
    return true;
}

bool Session::hitCommand(Args args, std::string&)
{
    if (!args.empty()) {
        return false;
    }
    host_.fireEvent(runtime::kBallHitEvent);
    return true;
}

bool Session::setCommand(Args args, std::string& error)
{
    if (args.size() < 2 || (args[0] != "car" && args[0] != "ball")) {
        return false;
    }
    const bool isCar = args[0] == "car";
    const std::string& property = args[1];
    const Args values = args.subspan(2);
    runtime::Actor* actor = isCar ? host_.driveWorld().car() : host_.driveWorld().ball();

    if (property == "contact") {
        if (!isCar || values.size() != 1 || (values[0] != "ground" && values[0] != "wall" && values[0] != "air")) {
            return fail(error, "usage: arena_set car contact ground|wall|air");
        }
        if (!actor) {
            return fail(error, "there is no car");
        }
        actor->contact = values[0] == "ground" ? runtime::Contact::Ground
                         : values[0] == "wall" ? runtime::Contact::Wall
                                               : runtime::Contact::Air;
        return true;
    }
    if (property == "rotation") {
        int32_t parts[3] = {};
        for (size_t i = 0; i < 3 && values.size() == 3; ++i) {
            const auto value = parseInteger(values[i]);
            const std::string_view digits =
                std::string_view(values[i]).substr(values[i].starts_with('-') || values[i].starts_with('+') ? 1 : 0);
            if (!value && (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)) {
                return fail(error, concat("rotation components are whole numbers (65536 to the turn): ",
                                          runtime::quotedExcerpt(values[i])));
            }
            if (!value || *value < std::numeric_limits<int32_t>::min() ||
                *value > std::numeric_limits<int32_t>::max()) {
                return fail(error, concat("rotation component ", runtime::quotedExcerpt(values[i]),
                                          " is out of range: whole numbers from -2147483648 to 2147483647"));
            }
            parts[i] = static_cast<int32_t>(*value);
        }
        if (values.size() != 3) {
            return fail(error, "usage: arena_set car|ball rotation P Y R");
        }
        if (!actor) {
            return fail(error, concat("there is no ", args[0]));
        }
        actor->rotation = {parts[0], parts[1], parts[2]};
        return true;
    }
    if (property == "location" || property == "velocity" || property == "angularVelocity") {
        float parts[3] = {};
        for (size_t i = 0; i < 3 && values.size() == 3; ++i) {
            const auto value = floatOf(values[i], error);
            if (!value) {
                return false;
            }
            parts[i] = *value;
        }
        if (values.size() != 3) {
            return fail(error, concat("usage: arena_set car|ball ", property, " X Y Z"));
        }
        if (!actor) {
            return fail(error, concat("there is no ", args[0]));
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
    return false;
}

bool Session::spawnCommand(Args args, std::string& error)
{
    const auto kind = kindOf(args);
    if (!kind) {
        return false;
    }
    if (*kind == runtime::ActorKind::Camera && host_.world().camera != 0) {
        return fail(error, "there is already a camera");
    }
    if (*kind != runtime::ActorKind::Camera && !host_.world().freeplay) {
        return fail(error, concat("not in free play: there is no game event to put a ", args[0], " in"));
    }
    if (host_.driveWorld().spawn(*kind) == 0) {
        const size_t most = *kind == runtime::ActorKind::Car ? runtime::kMaxCars : runtime::kMaxBalls;
        return fail(error,
                    concat("there are ", std::to_string(most), " ", args[0], "s already, the most the arena holds"));
    }
    return true;
}

bool Session::removeCommand(Args args, std::string& error)
{
    const auto kind = kindOf(args);
    if (!kind) {
        return false;
    }
    if (!host_.driveWorld().remove(*kind)) {
        return fail(error, concat("there is no ", args[0], " to remove"));
    }
    return true;
}

// The player's car's controls for the next TICKS physics ticks (up to an hour of game time), in
// place of the autopilot's; what is not named is at rest. TICKS 0 hands the car back.
bool Session::controlsCommand(Args args, std::string& error)
{
    constexpr int64_t kMostTicks = 432000;
    const auto ticks = args.empty() ? std::nullopt : parseInteger(args[0]);
    if (!ticks || *ticks < 0 || *ticks > kMostTicks) {
        return false;
    }
    sim::Controls controls;
    const std::pair<std::string_view, float sim::Controls::*> axes[] = {{"throttle", &sim::Controls::throttle},
                                                                        {"steer", &sim::Controls::steer},
                                                                        {"pitch", &sim::Controls::pitch},
                                                                        {"yaw", &sim::Controls::yaw},
                                                                        {"roll", &sim::Controls::roll}};
    const std::pair<std::string_view, bool sim::Controls::*> buttons[] = {
        {"jump", &sim::Controls::jump}, {"boost", &sim::Controls::boost}, {"handbrake", &sim::Controls::handbrake}};
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& word = args[i];
        const auto button = std::find_if(std::begin(buttons), std::end(buttons),
                                         [&](const auto& entry) { return entry.first == word; });
        if (button != std::end(buttons)) {
            controls.*button->second = true;
            continue;
        }
        const auto axis =
            std::find_if(std::begin(axes), std::end(axes), [&](const auto& entry) { return entry.first == word; });
        if (axis == std::end(axes)) {
            return fail(error, concat("arena_controls: ", runtime::quotedExcerpt(word),
                                      " is not a control (throttle, steer, pitch, yaw, roll, jump, boost, handbrake)"));
        }
        const auto value = i + 1 < args.size() ? parseReal(args[i + 1]) : std::nullopt;
        if (!value || *value < -1 || *value > 1) {
            return fail(error,
                        concat("arena_controls: ", word, " takes a number from -1 to 1",
                               i + 1 < args.size() ? concat(", not ", runtime::quotedExcerpt(args[i + 1])) : ""));
        }
        controls.*axis->second = static_cast<float>(*value);
        ++i;
    }
    frames_.physics.held = controls;
    frames_.physics.heldTicks = *ticks;
    return true;
}

bool Session::canvasCommand(Args args, std::string&)
{
    const auto w = args.size() == 2 ? parseInteger(args[0]) : std::nullopt;
    const auto h = args.size() == 2 ? parseInteger(args[1]) : std::nullopt;
    if (!w || !h || *w < 0 || *h < 0 || *w > 100000 || *h > 100000) {
        return false;
    }
    host_.setCanvasSize({static_cast<int32_t>(*w), static_cast<int32_t>(*h)});
    return true;
}

bool Session::reloadCommand(Args args, std::string& error)
{
    if (!args.empty()) {
        return false;
    }
    if (plugin_ != 0) {
        host_.unload(plugin_);
        plugin_ = 0;
    }
    const runtime::LoadResult loaded = loadPrivateCopy(host_, settings_.pluginPath, settings_.trial);
    if (!loaded) {
        return fail(error, loadRefusal(loaded));
    }
    plugin_ = loaded.plugin;
    return true;
}

bool Session::dumpCommand(Args args, std::string&)
{
    if (!args.empty()) {
        return false;
    }
    emit(dump());
    return true;
}

} // namespace arena

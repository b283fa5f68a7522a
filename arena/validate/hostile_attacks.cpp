#include "arena/validate/hostile_attacks.h"

#include <cstdint>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace arena::validate {

namespace {

// Values for a numeric variable: inside limits, outside them, ranges either way round, and texts
// no number parser should take.
constexpr const char* kNumbers[] = {
    "0",     "1",    "-1",   "0.5",   "100",    "1900", "-5000",         "5000",          "4000",          "-4000",
    "1e6",   "-1e6", "1e30", "-1e30", "3.4e38", "1e39", "(-5000, 5000)", "(5000, -5000)", "(-1e30, 1e30)", "(100, 100)",
    "(0,1)", "",     "abc",  "(1,",   "(1, 2",  "nan",  "inf",           "-inf",          "(1, nan)",      " 7 ",
    "0x10",  "1,5",  "\xff", "1e-45", "-0"};

// Texts a plug-in comparing against `word` may not expect.
std::string upper(std::string word)
{
    for (char& c : word) {
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return word;
}

std::string capital(std::string word)
{
    if (!word.empty() && word[0] >= 'a' && word[0] <= 'z') {
        word[0] = static_cast<char>(word[0] - 'a' + 'A');
    }
    return word;
}

constexpr Vector2 kCanvasSizes[] = {{0, 0},
                                    {1, 1},
                                    {1920, 1080},
                                    {3840, 2160},
                                    {-1, -1},
                                    {std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max()},
                                    {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::min()},
                                    {std::numeric_limits<int32_t>::max(), 0}};

constexpr double kFrameSteps[] = {1.0 / 120, 1.0 / 60, 1.0 / 30, 1.0 / 240, 0.0, 0.5};

constexpr float kExtremes[] = {0.0f, 1.0f, -1.0f, 500.0f, -5000.0f, 1e6f, -1e6f, 1e30f, -1e30f, 3.4e38f};

runtime::ActorKind pickKind(ChoiceSource& choices)
{
    constexpr runtime::ActorKind kKinds[] = {runtime::ActorKind::Car, runtime::ActorKind::Ball,
                                             runtime::ActorKind::Camera};
    return kKinds[choices.below(3)];
}

size_t countOf(const runtime::World& world, runtime::ActorKind kind)
{
    switch (kind) {
    case runtime::ActorKind::Car: return world.cars.size();
    case runtime::ActorKind::Ball: return world.balls.size();
    case runtime::ActorKind::Camera: return world.camera != 0 ? 1 : 0;
    case runtime::ActorKind::Server: return world.server != 0 ? 1 : 0;
    }
    return 0;
}

Vector extremeVector(ChoiceSource& choices)
{
    return {kExtremes[choices.below(std::size(kExtremes))], kExtremes[choices.below(std::size(kExtremes))],
            kExtremes[choices.below(std::size(kExtremes))]};
}

void frames(runtime::Host& host, WorldMotion& motion, ChoiceSource& choices, std::string& description)
{
    const uint32_t count = 1 + choices.below(20);
    const double step = kFrameSteps[choices.below(std::size(kFrameSteps))];
    description = std::to_string(count);
    description += count == 1 ? " frame of " : " frames of ";
    description += std::to_string(step);
    description += " s";
    for (uint32_t i = 0; i < count; ++i) {
        motion.advance(host, step);
        host.drawFrame();
    }
}

void command(runtime::Host& host, const std::vector<std::string>& arguments, ChoiceSource& choices,
             std::string& description)
{
    if (host.console().notifiers.empty()) {
        description = "no command to run";
        return;
    }
    std::vector<std::string> words{host.console().notifiers[choices.below(host.console().notifiers.size())].name};
    switch (choices.below(4)) {
    case 0: break;
    case 1: words.push_back(arguments[choices.below(arguments.size())]); break;
    case 2: words.emplace_back(5000, 'x'); break;
    default:
        for (int i = 0; i < 64; ++i) {
            words.push_back(arguments[choices.below(arguments.size())]);
        }
        break;
    }
    description = "command " + words.front();
    description += " with ";
    description += std::to_string(words.size() - 1);
    description += " arguments";
    host.runCommand(words);
}

void variable(runtime::Host& host, const AttackTexts& texts, ChoiceSource& choices, std::string& description)
{
    if (host.console().cvars.empty()) {
        description = "no variable to set";
        return;
    }
    setVariable(host, choices.below(host.console().cvars.size()), texts, choices, description);
}

void actors(runtime::Host& host, ChoiceSource& choices, std::string& description)
{
    const runtime::ActorKind kind = pickKind(choices);
    // Bounded, so that a long round does not fill the pitch.
    if (choices.chance(50) || countOf(host.world(), kind) >= 3) {
        host.driveWorld().remove(kind);
        description = "removed ";
    } else {
        host.driveWorld().spawn(kind);
        description = "spawned ";
    }
    description += runtime::actorKindName(kind);
}

void clock(runtime::Host& host, ChoiceSource& choices, std::string& description)
{
    switch (choices.below(4)) {
    case 0: host.driveWorld().clock -= choices.unit() * 100; break;
    case 1: host.driveWorld().clock = 1e7; break;
    case 2: host.driveWorld().clock = 0; break;
    default: host.driveWorld().clock = -host.world().clock; break;
    }
    description = "clock set to " + std::to_string(host.world().clock);
}

void actorState(runtime::Host& host, ChoiceSource& choices, std::string& description)
{
    runtime::Actor* actor = choices.chance(50) ? host.driveWorld().car() : host.driveWorld().ball();
    if (!actor) {
        description = "no actor to move";
        return;
    }
    switch (choices.below(4)) {
    case 0:
        actor->location = extremeVector(choices);
        description = "moved ";
        break;
    case 1:
        actor->velocity = extremeVector(choices);
        description = "sped ";
        break;
    case 2:
        actor->angularVelocity = extremeVector(choices);
        description = "spun ";
        break;
    default:
        actor->contact = static_cast<runtime::Contact>(choices.below(3));
        description = "contact set for ";
        break;
    }
    description += runtime::actorKindName(actor->kind);
}

} // namespace

AttackTexts::AttackTexts(const PluginWords& words)
{
    // The words, in and out of case and with blanks, beside texts no plug-in should take.
    const std::string first = words.levels.empty() ? "" : words.levels.front();
    const std::string last = words.levels.empty() ? "" : words.levels.back();
    values.assign(words.levels.begin(), words.levels.end());
    values.insert(values.end(),
                  {upper(last), capital(first), first + " ", "", "1", "nan", "\xff\xfe", last + "\n", "none"});
    arguments = {"", "1", "-1", "nan", "inf", "1e39", "0x1", "\xff\xfe", "\"quoted\"", "  ", "-0", words.name};
    reads = {"", last, upper(last), first + " ", "\xff\xfe", "nan"};
}

float AttackTexts::readFloat(const runtime::CVar&, std::mt19937_64& random)
{
    static constexpr float kValues[] = {std::numeric_limits<float>::quiet_NaN(),
                                        std::numeric_limits<float>::infinity(),
                                        -std::numeric_limits<float>::infinity(),
                                        1e30f,
                                        -1e30f,
                                        0.0f};
    return kValues[random() % std::size(kValues)];
}

bool AttackTexts::readBool(const runtime::CVar&, std::mt19937_64& random)
{
    return (random() & 1) != 0;
}

std::string AttackTexts::readString(const runtime::CVar&, std::mt19937_64& random)
{
    return reads[random() % reads.size()];
}

void setVariable(runtime::Host& host, size_t index, const AttackTexts& texts, ChoiceSource& choices,
                 std::string& description)
{
    const runtime::CVar& cvar = host.console().cvars.at(index);
    const std::string name = cvar.name;
    std::string value;
    if (choices.chance(5)) {
        value.assign(300, '9');
    } else if (!cvar.numeric) {
        value = texts.values[choices.below(texts.values.size())];
    } else if (choices.chance(15)) {
        value = std::to_string(choices.unit() * 20000 - 10000);
    } else {
        value = kNumbers[choices.below(std::size(kNumbers))];
    }
    description = "set ";
    description += name;
    description += " to \"";
    description += value;
    description += '"';
    host.setVariable(name, value);
}

void attack(runtime::Host& host, WorldMotion& motion, AttackTexts& texts, ChoiceSource& choices,
            std::string& description)
{
    const uint32_t kind = choices.below(100);
    if (kind < 30) {
        frames(host, motion, choices, description);
    } else if (kind < 40) {
        // As in a game: a car hits a ball only where there is a game event with both in it.
        if (host.world().server != 0 && host.world().ball() && host.world().car()) {
            description = "ball hit";
            host.fireEvent(runtime::kBallHitEvent);
        } else {
            description = "no ball hit: nothing to hit with";
        }
    } else if (kind < 52) {
        command(host, texts.arguments, choices, description);
    } else if (kind < 64) {
        variable(host, texts, choices, description);
    } else if (kind < 69) {
        host.driveWorld().setFreeplay(!host.world().freeplay);
        description = host.world().freeplay ? "free play on" : "free play off";
    } else if (kind < 78) {
        actors(host, choices, description);
    } else if (kind < 83) {
        host.setCanvasSize(kCanvasSizes[choices.below(std::size(kCanvasSizes))]);
        description = "canvas " + std::to_string(host.canvas().size.x);
        description += " x ";
        description += std::to_string(host.canvas().size.y);
    } else if (kind < 88) {
        clock(host, choices, description);
    } else if (kind < 93) {
        const bool on = host.console().reads == nullptr;
        host.readVariablesFrom(on ? &texts : nullptr);
        description = on ? "hostile reads on" : "hostile reads off";
    } else if (kind < 98) {
        actorState(host, choices, description);
    } else {
        host.switchTrace(!host.trace().on());
        host.clearTrace();
        description = host.trace().on() ? "trace on" : "trace off";
    }
}

} // namespace arena::validate

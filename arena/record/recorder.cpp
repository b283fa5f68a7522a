#include "arena/record/recorder.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "arena/record/recording_json.h"

namespace arena {

namespace {

constexpr size_t kWriteAt = size_t{64} * 1024; // buffered text is written out beyond this

bool sameLayout(const runtime::CanvasDraw& a, const runtime::CanvasDraw& b)
{
    return a.position.x == b.position.x && a.position.y == b.position.y && a.color.r == b.color.r &&
           a.color.g == b.color.g && a.color.b == b.color.b && a.color.a == b.color.a && a.xScale == b.xScale &&
           a.yScale == b.yScale;
}

bool sameLayouts(const std::vector<runtime::CanvasDraw>& a, const std::vector<runtime::CanvasDraw>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), sameLayout);
}

bool sameDraws(const std::vector<runtime::CanvasDraw>& a, const std::vector<runtime::CanvasDraw>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const auto& x, const auto& y) { return sameLayout(x, y) && x.text == y.text; });
}

// Bit for bit: -0 and 0 move a car alike but are written apart, and a re-simulation must get what
// the tick got.
bool identical(const sim::Controls& a, const sim::Controls& b)
{
    const auto bits = [](float value) { return std::bit_cast<uint32_t>(value); };
    return bits(a.throttle) == bits(b.throttle) && bits(a.steer) == bits(b.steer) && bits(a.pitch) == bits(b.pitch) &&
           bits(a.yaw) == bits(b.yaw) && bits(a.roll) == bits(b.roll) && a.jump == b.jump && a.boost == b.boost &&
           a.handbrake == b.handbrake;
}

bool sameSize(Vector2 a, Vector2 b)
{
    return a.x == b.x && a.y == b.y;
}

} // namespace

Recorder::Recorder(runtime::Host& host, RecordingSink& sink, const RecordingHeader& header)
    : host_(host), sink_(sink), frameEvery_(std::max(1, header.fps / 20)), levelVariable_(header.levelVariable)
{
    if (const runtime::CVar* level = levelVariable_.empty() ? nullptr : host_.console().find(levelVariable_)) {
        level_ = level->value;
    }
    line(headerRecord(header, level_, frameEvery_, host_.canvas().size));
    last_.canvas = host_.canvas().size;
    // At once, so that a file that cannot be written is known before the first frame (play stops).
    put(true);

    observation_ = host_.attach(*this);
}

Recorder::~Recorder() = default;

float Recorder::now() const
{
    // As the plug-in reads the clock.
    return static_cast<float>(host_.world().clock);
}

void Recorder::put(bool now)
{
    if (!now && out_.size() < kWriteAt) {
        return;
    }
    if (error_.empty()) {
        sink_.write(out_, error_);
    }
    out_.clear();
}

void Recorder::line(const runtime::Json& record)
{
    runtime::writeJson(out_, record);
    out_ += '\n';
}

// Events first write the frame held back, so that the world as it was just before is on record.
void Recorder::event(const runtime::Json& record)
{
    if (held_.number >= 0) {
        writeFrame(held_);
        held_.number = -1;
    }
    line(record);
    eventSince_ = true;
    put();
}

void Recorder::checkLevel()
{
    const runtime::CVar* level = levelVariable_.empty() ? nullptr : host_.console().find(levelVariable_);
    if (level && level->value != level_) {
        level_ = level->value;
        event(levelRecord(now(), level_));
    }
}

void Recorder::flushReset()
{
    if (!reset_.pending) {
        return;
    }
    reset_.pending = false;
    event(resetRecord(reset_.time, reset_.location, reset_.velocity));
}

void Recorder::onEventFiring(std::string_view name)
{
    flushReset();
    const runtime::Actor* ball = host_.world().ball();
    if (name == runtime::kBallHitEvent && ball) {
        event(hitRecord(now(), ball->location));
    }
}

void Recorder::onActorChanged(const char* call, const runtime::Actor& actor, const Vector& value)
{
    const runtime::Actor* car = host_.world().car();
    if (!car || car->id != actor.id) {
        return;
    }
    if (std::strcmp(call, "ActorWrapper::SetLocation") == 0) {
        flushReset();
        reset_ = {true, now(), value, {0, 0, 0}};
    } else if (std::strcmp(call, "ActorWrapper::AddVelocity") == 0 && reset_.pending) {
        reset_.velocity = {reset_.velocity.x + value.x, reset_.velocity.y + value.y, reset_.velocity.z + value.z};
    }
}

// Lines and controls hold their place by their frame and tick numbers: a frame held back may
// follow them in the file.
void Recorder::lineStarts(std::span<const std::string> words)
{
    flushReset();
    line(lineRecord(now(), drawn_, words));
    put();
}

void Recorder::noteControls(int64_t tick, const sim::Controls& controls)
{
    if (controlsNoted_ && identical(controls, controls_)) {
        return;
    }
    controlsNoted_ = true;
    controls_ = controls;
    line(controlsRecord(now(), tick, controls));
    put();
}

void Recorder::linesRan()
{
    flushReset();
    checkLevel();
}

void Recorder::beforeDraw()
{
    flushReset();
    checkLevel();
    const runtime::Actor* car = host_.world().car();
    if (!car) {
        contact_ = -1;
        airborne_ = false;
        return;
    }
    const bool inAir = car->contact == runtime::Contact::Air;
    if (inAir && !airborne_ && contact_ >= 0 && contact_ != static_cast<int>(runtime::Contact::Air)) {
        event(takeoffRecord(now(), car->location));
        airborne_ = true;
    } else if (!inAir && airborne_) {
        event(landingRecord(now(), car->location, car->contact));
        airborne_ = false;
    }
    contact_ = static_cast<int>(car->contact);
}

void Recorder::drawn()
{
    flushReset();
    const int64_t number = drawn_++;
    const runtime::Actor* car = host_.world().car();
    const runtime::Actor* ball = host_.world().ball();
    if (!car || !ball) {
        // Outside free play there is nothing to show; the frame still counts.
        held_.number = -1;
        return;
    }
    Frame& frame = held_;
    frame.number = number;
    frame.time = now();
    frame.car = {car->location, car->rotation};
    frame.ball = {ball->location, ball->rotation};
    frame.contact = car->contact;
    const auto draws = host_.canvas().draws();
    frame.draws.assign(draws.begin(), draws.end());
    frame.canvas = host_.canvas().size;

    const bool due = last_.number < 0 || number % frameEvery_ == 0 || eventSince_ || frame.contact != last_.contact ||
                     !sameLayouts(frame.draws, last_.draws) || !sameSize(frame.canvas, last_.canvas);
    if (due) {
        writeFrame(frame);
        held_.number = -1;
    }
}

void Recorder::writeFrame(const Frame& frame)
{
    const bool first = last_.number < 0;
    RecordedDraws draws = RecordedDraws::Unchanged;
    if (first || !sameDraws(frame.draws, last_.draws)) {
        draws = !first && sameLayouts(frame.draws, last_.draws) ? RecordedDraws::Texts : RecordedDraws::Full;
    }
    line(frameRecord(frame, draws, !sameSize(frame.canvas, last_.canvas)));
    last_.number = frame.number;
    last_.time = frame.time;
    last_.car = frame.car;
    last_.ball = frame.ball;
    last_.contact = frame.contact;
    last_.draws.assign(frame.draws.begin(), frame.draws.end());
    last_.canvas = frame.canvas;
    eventSince_ = false;
    put();
}

bool Recorder::finish(std::string& error)
{
    flushReset();
    checkLevel();
    if (held_.number >= 0) {
        writeFrame(held_);
        held_.number = -1;
    }
    line(endRecord(now(), drawn_));
    put(true);
    error = error_;
    return error_.empty();
}

} // namespace arena

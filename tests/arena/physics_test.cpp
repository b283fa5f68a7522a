// The simulated world tick by tick against the game's published figures, each measured in the sim
// the way a player would see it, and the frame step both the arena and the validator take.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "sim/angles.h"
#include "sim/autopilot.h"
#include "sim/car_body.h"
#include "sim/frame_step.h"
#include "sim/physics.h"

namespace {

using runtime::Contact;
constexpr double kDt = 1.0 / 120;

class Physics : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.driveWorld().setFreeplay(true);
        ball().location = {3000, 3000, 1500}; // out of the car's way unless a test says otherwise
        state.controls.resize(1);
    }
    runtime::Actor& car() { return *host.driveWorld().car(); }
    runtime::Actor& ball() { return *host.driveWorld().ball(); }
    // Runs `ticks` ticks with the car's controls `controls`; returns the touches.
    int run(int ticks, sim::Controls controls = {})
    {
        state.controls[0] = controls;
        sim::PhysicsEvents events;
        for (int i = 0; i < ticks; ++i) {
            sim::tickPhysics(host.driveWorld(), state, events);
        }
        return events.touches;
    }
    // The car in the air at rest, level, nose along +x, far from every surface.
    void carInTheAir()
    {
        car().location = {0, 0, 1000};
        car().velocity = {};
        car().angularVelocity = {};
        car().rotation = {};
        car().contact = Contact::Air;
    }
    static float length(const Vector& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }
    static float speedAlong(const Vector& v, const Vector& axis) { return v.x * axis.x + v.y * axis.y + v.z * axis.z; }

    runtime::Host host;
    sim::PhysicsState state;
};

// The continuous solution of dv/dt = a(v) from rest over `seconds`, in fine steps: what the
// published curve gives, to compare the 120 Hz ticks with.
template <class Acceleration> double integrated(Acceleration a, double seconds)
{
    double v = 0;
    for (double t = 0; t < seconds; t += 1e-5) {
        v += a(v) * 1e-5;
    }
    return v;
}

TEST_F(Physics, ThrottleAndBoostOnTheGroundFollowThePublishedCurves)
{
    // The curve itself at its corners.
    EXPECT_FLOAT_EQ(sim::throttleAcceleration(0), 1600);
    EXPECT_FLOAT_EQ(sim::throttleAcceleration(1400), 160);
    EXPECT_FLOAT_EQ(sim::throttleAcceleration(1405), 80);
    EXPECT_FLOAT_EQ(sim::throttleAcceleration(1410), 0);
    EXPECT_FLOAT_EQ(sim::throttleAcceleration(-700), 880);

    const Vector nose = sim::frameOf(car().rotation).forward; // free play's car faces +y
    ASSERT_EQ(car().contact, Contact::Ground);
    run(120, {.throttle = 1});
    const double throttle = integrated([](double v) { return sim::throttleAcceleration(static_cast<float>(v)); }, 1);
    EXPECT_NEAR(speedAlong(car().velocity, nose), throttle, throttle * 0.01);
    EXPECT_EQ(car().contact, Contact::Ground);
    EXPECT_FLOAT_EQ(car().location.z, sim::kCarRestHeight);
    for (int second = 0; second < 9; ++second) { // throttle alone levels off at 1410
        car().location = runtime::kCarSpawn;     // kept clear of the far wall
        run(120, {.throttle = 1});
    }
    EXPECT_GT(length(car().velocity), 1405);
    EXPECT_LE(length(car().velocity), sim::kThrottleMaxSpeed);

    run(60, {}); // coasting: 525 a second
    EXPECT_NEAR(length(car().velocity), sim::kThrottleMaxSpeed - 262.5, 3);
    const float coasted = length(car().velocity);
    run(12, {.throttle = -1}); // braking: 3500 a second
    EXPECT_NEAR(length(car().velocity), coasted - 350, 1);
    run(120, {.throttle = -1}); // stops, then reverses
    EXPECT_LT(speedAlong(car().velocity, nose), 0);

    // Boost from rest for a second: 991.667 on top of the throttle's curve.
    car().location = runtime::kCarSpawn;
    car().velocity = {};
    run(120, {.boost = true});
    const double boosted =
        integrated([](double v) { return sim::kGroundBoost + sim::throttleAcceleration(static_cast<float>(v)); }, 1);
    EXPECT_NEAR(speedAlong(car().velocity, nose), boosted, boosted * 0.01);
    for (int second = 0; second < 3; ++second) {
        car().location = runtime::kCarSpawn;
        run(120, {.boost = true});
    }
    EXPECT_FLOAT_EQ(length(car().velocity), sim::kCarMaxSpeed);
}

TEST_F(Physics, InTheAirBoostPushesHarderAndGravityPullsDown)
{
    carInTheAir();
    run(120, {.boost = true});
    EXPECT_NEAR(car().velocity.x, sim::kAirBoost, 0.5); // 991.667 and the air throttle's 66.667
    EXPECT_NEAR(car().velocity.z, sim::kGravity, 0.5);
    EXPECT_EQ(car().contact, Contact::Air);

    carInTheAir();
    run(120, {.throttle = 1});
    EXPECT_NEAR(car().velocity.x, sim::kAirThrottle, 0.05);
}

TEST_F(Physics, AJumpsHeightDependsOnHoldingItAndASecondJumpHasAWindow)
{
    const auto apex = [this](int heldTicks) {
        car().location = runtime::kCarSpawn;
        car().velocity = {};
        car().rotation = runtime::kCarSpawnRotation;
        car().contact = Contact::Ground;
        run(2, {}); // the button released first: a press is its change
        run(heldTicks, {.jump = true});
        float highest = 0;
        for (int tick = 0; tick < 240 && car().contact != Contact::Ground; ++tick) {
            run(1, {});
            highest = std::max(highest, car().location.z);
        }
        EXPECT_EQ(car().contact, Contact::Ground);
        return highest - sim::kCarRestHeight;
    };
    // Tapped: 291.667 up and one tick of the hold, then gravity alone.
    const double tap = 291.667 + 1458.333 / 120;
    EXPECT_NEAR(apex(1), tap * tap / 1300, 2);
    // Held for the whole 0.2 s: 74.5 of rise while held, then 453.3 of speed to lose.
    EXPECT_NEAR(apex(60), 291.667 * 0.2 + 0.5 * (1458.333 - 650) * 0.04 + std::pow(453.333, 2) / 1300, 3);

    // A second jump within 1.25 s of the first's end, along the car's up; not after.
    const auto second = [this](int waitTicks) {
        car().location = {0, 0, sim::kCarRestHeight};
        car().velocity = {};
        car().rotation = {};
        car().contact = Contact::Ground;
        run(1, {});
        run(1, {.jump = true});
        run(1, {});
        car().location.z = 1500; // kept in the air however long it waits
        run(waitTicks, {});
        car().velocity = {};
        run(1, {.jump = true});
        return car().velocity.z - sim::kGravity / 120;
    };
    EXPECT_NEAR(second(140), sim::kJumpImpulse, 0.01);
    EXPECT_NEAR(second(152), 0, 0.01);
}

TEST_F(Physics, AirControlTurnsEachAxisAsMeasuredWithinTheSpinLimit)
{
    const auto spinAfter = [this](sim::Controls controls, int ticks) {
        carInTheAir();
        run(ticks, controls);
        return sim::frameOf(car().rotation).toLocal(car().angularVelocity);
    };
    // A tenth of a second at full input from rest: roll against its damping, pitch and yaw with
    // theirs switched off by the full input.
    const double roll = 36.0796 / 4.4717 * (1 - std::exp(-4.4717 * 0.1));
    EXPECT_NEAR(spinAfter({.roll = 1}, 12).x, roll, roll * 0.02);
    EXPECT_NEAR(spinAfter({.pitch = 1}, 12).y, -12.1460 * 0.1, 0.01); // nose up: a negative turn about left
    EXPECT_NEAR(spinAfter({.yaw = 1}, 12).z, -8.9196 * 0.1, 0.01);    // nose right: negative about up
    EXPECT_NEAR(spinAfter({.roll = -1}, 12).x, -roll, roll * 0.02);
    // The car rolls about three times faster than it pitches, four times faster than it yaws.
    EXPECT_NEAR(spinAfter({.roll = 1}, 1).x / spinAfter({.pitch = 1}, 1).y, -36.0796 / 12.1460, 0.01);
    EXPECT_NEAR(spinAfter({.roll = 1}, 1).x / spinAfter({.yaw = 1}, 1).z, -36.0796 / 8.9196, 0.01);

    // Held long, the spin stops at 5.5; let go, damping takes pitch's spin away.
    EXPECT_NEAR(length(spinAfter({.pitch = 1, .roll = 1}, 60)), sim::kCarMaxSpin, 1e-3);
    run(120, {});
    EXPECT_NEAR(sim::frameOf(car().rotation).toLocal(car().angularVelocity).y, 0, 0.5);
    // The nose went where pitch sent it: up, by 12.146 t² / 2.
    carInTheAir();
    run(30, {.pitch = 1});
    EXPECT_NEAR(sim::frameOf(car().rotation).forward.z, std::sin(12.146 * 0.25 * 0.25 / 2), 0.02);
}

TEST_F(Physics, TheBoxIsTheCarsBodyForTouches)
{
    carInTheAir();
    const auto touchesAt = [this](Vector at) {
        state.touching.clear();
        ball().location = at;
        ball().velocity = car().velocity;
        return run(1);
    };
    const Vector origin = car().location;
    // 140 above the origin: the old sphere's reach of 151.25 said yes; the box's top is 38.83 up.
    EXPECT_EQ(touchesAt({origin.x + 13.88f, origin.y, origin.z + 140}), 0);
    // Grazing the box's front top left corner along its diagonal, just inside and just outside.
    const Vector corner{origin.x + 13.88f + sim::kHitboxLength / 2, origin.y + sim::kHitboxWidth / 2,
                        origin.z + 20.75f + sim::kHitboxHeight / 2};
    const float d = 1 / std::sqrt(3.0f);
    carInTheAir();
    const float drop = static_cast<float>(sim::kGravity * kDt * kDt); // both fall alike over the tick
    EXPECT_EQ(touchesAt({corner.x + 90.9f * d, corner.y + 90.9f * d, corner.z + 90.9f * d + drop}), 1);
    carInTheAir();
    EXPECT_EQ(touchesAt({corner.x + 91.6f * d, corner.y + 91.6f * d, corner.z + 91.6f * d + drop}), 0);
    // Beside the car, level with it: the box is 42.1 wide each side, so 133 off is a touch.
    carInTheAir();
    EXPECT_EQ(touchesAt({origin.x, origin.y + 133, origin.z + 20.75f}), 1);
    carInTheAir();
    EXPECT_EQ(touchesAt({origin.x, origin.y + 134, origin.z + 20.75f}), 0);
}

TEST_F(Physics, AHitAddsTheGamesImpulseOnTopOfTheContact)
{
    EXPECT_FLOAT_EQ(sim::hitScale(0), 0.65f);
    EXPECT_FLOAT_EQ(sim::hitScale(500), 0.65f);
    EXPECT_FLOAT_EQ(sim::hitScale(1400), 0.60f);
    EXPECT_FLOAT_EQ(sim::hitScale(2300), 0.55f);
    EXPECT_FLOAT_EQ(sim::hitScale(4600), 0.30f);

    // Head on at 1000 into a ball at rest just ahead of the nose: the contact leaves the ball
    // 180/210 of the closing speed, the hit s(1000) = 0.6222 of the relative speed along the line
    // of centres.
    carInTheAir();
    car().velocity = {1000, 0, 0};
    const Vector centre{car().location.x + 13.88f, car().location.y, car().location.z + 20.75f};
    ball().location = {centre.x + sim::kHitboxLength / 2 + sim::kBallRadius + 1, centre.y, centre.z};
    ball().velocity = {};
    ASSERT_EQ(run(1), 1);
    EXPECT_NEAR(ball().velocity.x, 1000 * 180.0 / 210 + (0.65 - 0.1 * 500 / 1800) * 1000, 1);
    EXPECT_NEAR(ball().velocity.y, 0, 1e-3);
    EXPECT_EQ(run(1), 0); // once per touch
}

TEST_F(Physics, TheBallBouncesDragsAndRestsAsPublished)
{
    ball().location = {0, 0, 300};
    ball().velocity = {0, 0, -1000};
    float falling = 0;
    for (int tick = 0; tick < 120 && ball().velocity.z < 0; ++tick) {
        falling = ball().velocity.z;
        run(1);
    }
    EXPECT_NEAR(ball().velocity.z, -falling * sim::kBallRestitution, 6); // one tick of gravity either way
    EXPECT_GE(ball().location.z, sim::kBallRestHeight);
    for (int i = 0; i < 120 * 20 && ball().velocity.z != 0; ++i) {
        run(1);
    }
    EXPECT_FLOAT_EQ(ball().location.z, sim::kBallRestHeight);

    // A second of flight along x: drag alone (gravity is along z).
    ball().location = {-3000, 0, 1500};
    ball().velocity = {1000, 0, 0};
    run(120);
    EXPECT_NEAR(ball().velocity.x, 1000 * std::pow(1 - 0.0305 / 120, 120), 0.01);

    // Nothing gets past its limits.
    ball().location = {0, 0, 1000};
    ball().velocity = {1e30f, -1e30f, 1e30f};
    ball().angularVelocity = {100, 0, 0};
    run(1);
    EXPECT_LE(length(ball().velocity), sim::kBallMaxSpeed * 1.0001f);
    EXPECT_LE(length(ball().angularVelocity), sim::kBallMaxSpin * 1.0001f);
    EXPECT_LE(std::fabs(ball().location.x), sim::kSideWallX - sim::kBallRadius);
}

// A spin about any one axis turns the ball about it, at its rate: a second at 1 radian per second
// is a radian's turn in the host's units, and the other angles stay.
TEST_F(Physics, ASpinningBallTurnsAboutEachAxis)
{
    constexpr double kUnitsPerRadian = 32768 / 3.14159265358979323846;
    struct Case {
        Vector spin;
        int32_t Rotator::*angle;
        double sign; // a positive turn about x rolls right; about y pitches down; about z turns left
    };
    for (const Case& c : {Case{{1, 0, 0}, &Rotator::roll, 1}, Case{{0, 1, 0}, &Rotator::pitch, -1},
                          Case{{0, 0, 1}, &Rotator::yaw, 1}}) {
        ball().location = {0, 0, 1000};
        ball().velocity = {0, 0, 0};
        ball().rotation = {};
        ball().angularVelocity = c.spin;
        for (int tick = 0; tick < 120; ++tick) {
            ball().location = {0, 0, 1000}; // held, as the drill holds it
            ball().velocity = {};
            run(1);
        }
        Rotator expected{};
        expected.*c.angle = static_cast<int32_t>(std::lround(c.sign * kUnitsPerRadian));
        EXPECT_NEAR(ball().rotation.pitch, expected.pitch, 2) << c.spin.x << c.spin.y << c.spin.z;
        EXPECT_NEAR(ball().rotation.yaw, expected.yaw, 2) << c.spin.x << c.spin.y << c.spin.z;
        EXPECT_NEAR(ball().rotation.roll, expected.roll, 2) << c.spin.x << c.spin.y << c.spin.z;
    }
}

TEST_F(Physics, TheBallMeetsTheCornersAndEntersTheGoals)
{
    // Into the corner plane where abs(x) + abs(y) = 8064: it comes back along the plane's normal.
    ball().location = {3500, 4300, 1000};
    ball().velocity = {1000, 1000, 0};
    run(60);
    EXPECT_LT(ball().velocity.x, 0);
    EXPECT_LT(ball().velocity.y, 0);
    EXPECT_LE(ball().location.x + ball().location.y, 8064 - sim::kBallRadius * std::sqrt(2.0f) + 0.1f);

    // Through a goal's mouth to the back of the goal, 880 behind the back wall.
    ball().location = {0, 4800, 300};
    ball().velocity = {0, 2000, 0};
    ball().angularVelocity = {};
    run(60);
    EXPECT_GT(ball().location.y, sim::kBackWallY);
    EXPECT_LE(ball().location.y, sim::kBackWallY + 880 - sim::kBallRadius);
    // Beside the goal the back wall stands.
    ball().location = {2000, 4800, 300};
    ball().velocity = {0, 2000, 0};
    run(60);
    EXPECT_LE(ball().location.y, sim::kBackWallY - sim::kBallRadius);
}

// The wheels make the contact; a roof or a side on the ground puts the car back on its wheels.
TEST_F(Physics, ContactComesFromTheWheelsFace)
{
    carInTheAir();
    car().location.z = 30;
    car().velocity = {0, 0, -500};
    run(5);
    EXPECT_EQ(car().contact, Contact::Ground);
    EXPECT_FLOAT_EQ(car().location.z, sim::kCarRestHeight);
    EXPECT_EQ(car().velocity.z, 0);

    carInTheAir(); // upside down onto the ground: on its wheels again at once, heading kept
    car().rotation = {0, 8000, 32767};
    car().location.z = 60;
    car().velocity = {0, 0, -500};
    run(10);
    EXPECT_EQ(car().contact, Contact::Ground);
    EXPECT_EQ(car().rotation.roll, 0);
    EXPECT_NEAR(car().rotation.yaw, 8000, 2);

    carInTheAir();                       // wheels to the side wall: on the wall
    car().rotation = {0, 16384, -16384}; // nose along +y, rolled left: the wheels face +x
    car().location = {sim::kSideWallX - 40, 0, 1000};
    car().velocity = {300, 0, 0};
    run(20);
    EXPECT_EQ(car().contact, Contact::Wall);
    EXPECT_NEAR(car().location.x, sim::kSideWallX - sim::kCarRestHeight, 0.5);

    carInTheAir(); // nose first into the back wall: stopped, still in the air
    car().rotation = {0, 16384, 0};
    car().location = {0, sim::kBackWallY - 200, 1000};
    car().velocity = {0, 2000, 0};
    run(20);
    EXPECT_EQ(car().contact, Contact::Air);
    EXPECT_LE(car().velocity.y, 0);
    EXPECT_LT(car().location.y, sim::kBackWallY - 13.88f - sim::kHitboxLength / 2 + 1);
}

TEST_F(Physics, EachCarTouchesEachBallOnceUntilTheyPart)
{
    for (int i = 0; i < 2; ++i) {
        host.driveWorld().spawn(runtime::ActorKind::Car);
        host.driveWorld().spawn(runtime::ActorKind::Ball);
    }
    const auto placeAll = [this](Vector at) {
        for (runtime::Actor& actor : host.driveWorld().actors) {
            actor.location = at;
            actor.velocity = {};
            actor.contact = Contact::Air;
        }
    };
    placeAll({0, 0, 1000}); // all in one spot
    EXPECT_EQ(run(1), 9);
    placeAll({0, 0, 1000});
    EXPECT_EQ(run(1), 0);
    host.driveWorld().find(host.driveWorld().balls.back())->location = {3000, 0, 1000};
    placeAll({0, 0, 1000});
    host.driveWorld().find(host.driveWorld().balls.back())->location = {3000, 0, 1000};
    EXPECT_EQ(run(1), 0);
    EXPECT_EQ(state.touching.size(), 6u);
    placeAll({0, 0, 1000});
    EXPECT_EQ(run(1), 3); // the ball that left, with each car
    host.driveWorld().remove(runtime::ActorKind::Car);
    placeAll({0, 0, 1000});
    EXPECT_EQ(run(1), 0);
    EXPECT_EQ(state.touching.size(), 6u);
}

TEST_F(Physics, HeldControlsTakeTheirTicksThenGiveBack)
{
    carInTheAir();
    state.held = {.boost = true};
    state.heldTicks = 60;
    run(120, {}); // the held boost for half a second, then nothing
    EXPECT_NEAR(car().velocity.x, sim::kAirBoost / 2, 0.5);
    EXPECT_EQ(state.heldTicks, 0);
    // Controls out of range or not numbers are read as the stick at its end or at rest.
    state.controls[0] = {.throttle = std::nanf(""),
                         .steer = -std::numeric_limits<float>::infinity(),
                         .pitch = 7,
                         .yaw = -1.5f,
                         .roll = std::numeric_limits<float>::infinity()};
    sim::Controls read = sim::controlsAt(state, 0);
    EXPECT_EQ(read.throttle, 0);
    EXPECT_EQ(read.steer, -1);
    EXPECT_EQ(read.pitch, 1);
    EXPECT_EQ(read.yaw, -1);
    EXPECT_EQ(read.roll, 1);
    state.controls[0] = {.throttle = -0.25f, .steer = 1, .pitch = -1, .yaw = std::nanf(""), .roll = 0.5f};
    read = sim::controlsAt(state, 0);
    EXPECT_EQ(read.throttle, -0.25f); // within range: as it is
    EXPECT_EQ(read.steer, 1);
    EXPECT_EQ(read.pitch, -1);
    EXPECT_EQ(read.yaw, 0);
    EXPECT_EQ(read.roll, 0.5f);
    EXPECT_EQ(sim::controlsAt(state, 5).throttle, 0); // a car without controls is at rest
}

TEST_F(Physics, StepTicksAt120HzCarryingTheRemainder)
{
    ball().location = {0, 0, 1500};
    ball().velocity = {};
    car().location = {3000, 0, 1500};
    sim::PhysicsEvents events;
    for (int i = 0; i < 30; ++i) { // thirty frames at 60 fps make sixty ticks
        sim::stepPhysics(host.driveWorld(), state, 1.0 / 60, events);
    }
    // After n ticks of v += g dt then z += v dt, the drop is g dt² n (n + 1) / 2; drag takes a
    // little of it.
    const double drop = sim::kGravity * kDt * kDt * 60 * 61 / 2;
    EXPECT_NEAR(ball().location.z, 1500 + drop, std::fabs(drop) * 0.01);
    const float before = ball().location.z;
    sim::stepPhysics(host.driveWorld(), state, kDt / 2, events); // half a tick moves nothing; the other half does
    EXPECT_EQ(ball().location.z, before);
    sim::stepPhysics(host.driveWorld(), state, kDt / 2, events);
    EXPECT_LT(ball().location.z, before);
    sim::stepPhysics(host.driveWorld(), state, std::nan(""), events); // nonsense is dropped
    sim::stepPhysics(host.driveWorld(), state, 1e9, events);
    EXPECT_TRUE(std::isfinite(ball().location.z));
}

// The clock lands on whole seconds exactly and is rebased when set elsewhere or when the rate
// changes; touches fire only while there is a game event.
TEST_F(Physics, FrameStepMovesTheClockThenFiresTheTouches)
{
    sim::FrameStep frames;
    car().location = {0, 0, 1000};
    car().contact = Contact::Air;
    ball().location = car().location;
    EXPECT_EQ(frames.step(host, 49), 1);
    for (int i = 1; i < 49; ++i) {
        EXPECT_EQ(frames.step(host, 49), 0);
    }
    EXPECT_EQ(host.driveWorld().clock, 1.0);
    host.driveWorld().clock = 7;
    frames.step(host, 2);
    EXPECT_EQ(host.driveWorld().clock, 7.5);
    frames.step(host, std::numeric_limits<double>::infinity());
    EXPECT_EQ(host.driveWorld().clock, 7.5);

    ball().location = {3000, 0, 1000};
    frames.step(host, 120);
    host.driveWorld().remove(runtime::ActorKind::Server);
    ball().location = car().location;
    EXPECT_EQ(frames.step(host, 120), 0);
}

// Frames turn and come back to rotations without drift.
TEST(CarBody, RotationsAndFramesAgree)
{
    for (const Rotator r : {Rotator{0, 0, 0}, Rotator{5000, -12000, 3000}, Rotator{-16000, 30000, -32000},
                            Rotator{16384, 0, 0}, Rotator{0, 16384, 0},
                            // Nose straight up or down, heading along: the heading is read from the left side.
                            Rotator{16384, 5000, 0}, Rotator{-16384, -9000, 0}}) {
        const sim::Frame f = sim::frameOf(r);
        EXPECT_NEAR(std::fabs(f.forward.x * f.left.x + f.forward.y * f.left.y + f.forward.z * f.left.z), 0, 1e-5);
        const Rotator back = sim::rotatorOf(f);
        const sim::Frame again = sim::frameOf(back);
        for (const auto& [a, b] : {std::pair{f.forward, again.forward}, {f.left, again.left}, {f.up, again.up}}) {
            EXPECT_NEAR(a.x, b.x, 1e-4);
            EXPECT_NEAR(a.y, b.y, 1e-4);
            EXPECT_NEAR(a.z, b.z, 1e-4);
        }
    }
    EXPECT_FLOAT_EQ(sim::frameOf({0, 16384, 0}).forward.y, 1); // a quarter turn of yaw: nose along +y
    EXPECT_NEAR(sim::frameOf({0, 0, 16384}).up.y, -1, 1e-6);   // rolled right: the roof faces right
    // A full turn at 2 rad/s in 120ths of a second ends where it began.
    sim::Frame f = sim::frameOf({1000, 2000, 3000});
    const sim::Frame start = f;
    for (int i = 0; i < 377; ++i) {
        f = sim::turned(f, {0, 0, 2}, static_cast<float>(2 * 3.14159265358979323846 / 2 / 377));
    }
    EXPECT_NEAR(f.forward.x, start.forward.x, 1e-4);
    EXPECT_NEAR(f.forward.y, start.forward.y, 1e-4);
}

} // namespace

namespace {

// The autopilot drives through the controller alone: a world stepped with the controls it chose,
// and no autopilot, goes exactly where the autopilot's own world went; the comparison catches a
// car moved by anything else.
TEST(Autopilot, MovesTheCarOnlyThroughItsControls)
{
    const auto freshWorld = [] {
        runtime::World world;
        world.setFreeplay(true);
        world.ball()->location = {800, 1500, 900};
        world.car()->location = {-500, -1000, 700};
        world.car()->velocity = {300, 900, 400};
        world.car()->contact = Contact::Air;
        return world;
    };
    const auto sameState = [](const runtime::Actor& a, const runtime::Actor& b) {
        return a.location.x == b.location.x && a.location.y == b.location.y && a.location.z == b.location.z &&
               a.velocity.x == b.velocity.x && a.velocity.y == b.velocity.y && a.velocity.z == b.velocity.z &&
               a.rotation.pitch == b.rotation.pitch && a.rotation.yaw == b.rotation.yaw &&
               a.rotation.roll == b.rotation.roll && a.contact == b.contact;
    };
    for (const bool tamper : {false, true}) {
        runtime::World flown = freshWorld();
        runtime::World replayed = freshWorld();
        sim::PhysicsState flownState, replayedState;
        flownState.controls.resize(1);
        replayedState.controls.resize(1);
        sim::Autopilot pilot(3, 1.0);
        bool steered = false;
        bool apart = false;
        for (int frame = 0; frame < 600 && !apart; ++frame) {
            const double now = frame * kDt;
            flown.clock = replayed.clock = now;
            pilot.act(flown, now, flownState.controls[0]);
            const sim::Controls& chosen = flownState.controls[0];
            steered = steered || chosen.pitch != 0 || chosen.yaw != 0 || chosen.roll != 0;
            replayedState.controls[0] = chosen;
            sim::PhysicsEvents events;
            sim::tickPhysics(flown, flownState, events);
            sim::tickPhysics(replayed, replayedState, events);
            if (tamper && frame == 300) {
                flown.car()->location.x += 0.5f; // something other than the controls moved it
            }
            apart = !sameState(*flown.car(), *replayed.car());
        }
        EXPECT_TRUE(steered);
        EXPECT_EQ(apart, tamper);
    }
}

// The autopilot's steady push, against the motion it stands for: over its seconds it brings the
// car to the aim, within the reach it is allowed, and no earlier step of the search would have.
TEST(Autopilot, SteadyPushReachesTheAimSoonestWithinItsReach)
{
    const double reach = sim::kPushShare * sim::kAirBoost;
    // The push a steady flight of `t` seconds asks, beyond gravity's.
    const auto asked = [](const sim::Way& r, const Vector& v, double t) {
        const double x = 2 * (r.x - v.x * t) / (t * t);
        const double y = 2 * (r.y - v.y * t) / (t * t);
        const double z = 2 * (r.z - v.z * t) / (t * t) - sim::kGravity;
        return std::sqrt(x * x + y * y + z * z);
    };
    int reached = 0;
    int unreached = 0;
    for (const double distance : {150.0, 900.0, 3000.0, 9000.0, 40000.0}) {
        for (int direction = 0; direction < 12; ++direction) {
            const double a = direction * 0.55;
            const sim::Way r{distance * std::cos(a), distance * std::sin(a) * 0.6, distance * std::sin(a * 1.7) * 0.3};
            for (const Vector& v : {Vector{0, 0, 0}, Vector{900, -300, 400}, Vector{-1500, 200, -600}}) {
                const sim::SteadyPush found = sim::steadyPush(r, v);
                const Vector& p = found.push;
                const double t = found.seconds;
                // The push given is the one its seconds ask: the car gets there.
                EXPECT_NEAR(r.x, v.x * t + p.x * t * t / 2, 1e-3 * distance);
                EXPECT_NEAR(r.y, v.y * t + p.y * t * t / 2, 1e-3 * distance);
                EXPECT_NEAR(r.z, v.z * t + (p.z + sim::kGravity) * t * t / 2, 1e-3 * distance);
                if (found.reached) {
                    ++reached;
                    EXPECT_LE(asked(r, v, t), reach * (1 + 1e-6)) << distance << " " << a;
                    if (t >= 0.15) { // the search's step before it asked too much
                        EXPECT_GT(asked(r, v, t - 0.05), reach) << distance << " " << a;
                    }
                } else {
                    ++unreached;
                    for (double step = 0.1; step <= 6.0; step += 0.25) {
                        EXPECT_GT(asked(r, v, step), reach);
                        EXPECT_LE(asked(r, v, t), asked(r, v, step) * (1 + 1e-6)) << step;
                    }
                }
            }
        }
    }
    EXPECT_GT(reached, 50);  // most aims are within reach,
    EXPECT_GT(unreached, 5); // the farthest are not
}

} // namespace

namespace {

// The tick's own sine, cosine and arc tangent against the library's, over whole turns, at the
// quadrants' edges and far from unit lengths; the arc tangent well within the host's unit.
TEST(Angles, AgreeWithTheLibraryWellBelowTheHostsUnit)
{
    for (double a = -10; a <= 10; a += 0.001) {
        double s = 0, c = 0;
        sim::sinCos(a, s, c);
        ASSERT_NEAR(s, std::sin(a), 1e-11) << a;
        ASSERT_NEAR(c, std::cos(a), 1e-11) << a;
        ASSERT_NEAR(sim::atan2Of(s, c), std::atan2(s, c), 4e-8) << a;
        ASSERT_NEAR(sim::atan2Of(s * 1e300, c * 1e300), std::atan2(s, c), 4e-8) << a;
        ASSERT_NEAR(sim::atan2Of(s * 1e-300, c * 1e-300), std::atan2(s, c), 4e-8) << a;
    }
    EXPECT_EQ(sim::atan2Of(0, 0), 0);
    EXPECT_NEAR(sim::atan2Of(1, 0), 3.14159265358979323846 / 2, 1e-15);
    EXPECT_NEAR(sim::atan2Of(0, -1), 3.14159265358979323846, 1e-15);
    EXPECT_NEAR(sim::atan2Of(-1, -1), -3 * 3.14159265358979323846 / 4, 4e-8);
}

} // namespace

#include "sim/frame_step.h"

namespace sim {

FrameStep::FrameStep()
{
    // Room for the touches of a usual world, so that steady frames allocate nothing.
    physics.touching.reserve(8);
    physics.nextTouching.reserve(8);
    physics.cars.reserve(8);
    physics.balls.reserve(8);
    physics.bodies.reserve(16);
    physics.nextBodies.reserve(16);
    physics.controls.resize(1); // the player's car's
}

int FrameStep::step(runtime::Host& host, double rate)
{
    PhysicsEvents events;
    stepPhysics(host.driveWorld(), physics, 1 / rate, events);

    double& clock = host.driveWorld().clock;
    if (rate != rate_ || clock != clockBase_ + static_cast<double>(framesSinceBase_) / rate) {
        rate_ = rate;
        clockBase_ = clock;
        framesSinceBase_ = 0;
    }
    ++framesSinceBase_;
    clock = clockBase_ + static_cast<double>(framesSinceBase_) / rate;

    int fired = 0;
    for (; fired < events.touches && host.world().server != 0; ++fired) {
        host.fireEvent(runtime::kBallHitEvent);
    }
    return fired;
}

} // namespace sim

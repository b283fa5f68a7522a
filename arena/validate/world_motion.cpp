#include "world_motion.h"

void WorldMotion::advance(host::Host& host, double seconds)
{
    host.world.clock += seconds;
    arena::PhysicsEvents events;
    arena::stepPhysics(host.world, state_, seconds, events);
    for (int touch = 0; touch < events.touches && host.world.server != 0; ++touch) {
        host.fireEvent(host::kBallHitEvent);
    }
}

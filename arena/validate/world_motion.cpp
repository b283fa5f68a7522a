#include "world_motion.h"

#include <limits>

void WorldMotion::advance(host::Host& host, double seconds)
{
    frames_.step(host, seconds > 0 ? 1 / seconds : std::numeric_limits<double>::infinity());
}

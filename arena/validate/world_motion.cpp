#include "arena/validate/world_motion.h"

#include <limits>

namespace arena::validate {

void WorldMotion::advance(runtime::Host& host, double seconds)
{
    frames_.step(host, seconds > 0 ? 1 / seconds : std::numeric_limits<double>::infinity());
}

} // namespace arena::validate

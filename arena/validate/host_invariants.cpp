#include "arena/validate/host_invariants.h"

#include <cmath>

#include "runtime/vector_math.h"

namespace arena::validate {

std::optional<std::string> brokenInvariant(const runtime::Host& host)
{
    const runtime::Faults& faults = host.faults();
    const uint64_t total = faults.callbackExceptions + faults.nonFiniteCalls + faults.nullCalls + faults.keptWrappers;
    if (total != 0) {
        // The host's own line for the earliest fault says what happened and where.
        return faults.reports.empty() ? std::string("the host counted a fault but kept no report")
                                      : faults.reports.front();
    }
    for (const runtime::Actor& actor : host.world().actors) {
        if (!runtime::isFinite(actor.location) || !runtime::isFinite(actor.velocity) ||
            !runtime::isFinite(actor.angularVelocity)) {
            std::string reason = "the ";
            reason += runtime::actorKindName(actor.kind);
            reason += "'s location, velocity or spin is not finite";
            return reason;
        }
    }
    if (!std::isfinite(host.world().clock)) {
        return "the clock is not finite";
    }
    return std::nullopt;
}

} // namespace arena::validate

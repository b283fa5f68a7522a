#include "host_invariants.h"

#include <cmath>

#include "vector_math.h"

std::optional<std::string> brokenInvariant(const host::Host& host)
{
    const host::Faults& faults = host.faults;
    const uint64_t total = faults.callbackExceptions + faults.nonFiniteCalls + faults.nullCalls + faults.keptWrappers;
    if (total != 0) {
        // The host's own line for the earliest fault says what happened and where.
        return faults.reports.empty() ? std::string("the host counted a fault but kept no report")
                                      : faults.reports.front();
    }
    for (const host::Actor& actor : host.world.actors) {
        if (!host::isFinite(actor.location) || !host::isFinite(actor.velocity) ||
            !host::isFinite(actor.angularVelocity)) {
            std::string reason = "the ";
            reason += host::actorKindName(actor.kind);
            reason += "'s location, velocity or spin is not finite";
            return reason;
        }
    }
    if (!std::isfinite(host.world.clock)) {
        return "the clock is not finite";
    }
    return std::nullopt;
}

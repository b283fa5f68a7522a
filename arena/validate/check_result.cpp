#include "arena/validate/checks.h"

namespace arena::validate {

CheckResult resultOf(const char* name, const ChildOutcome& outcome)
{
    CheckResult result{name, outcome.passed(), outcome.reason, outcome.signal};
    const bool abrupt = outcome.kind == ChildOutcome::Kind::Crashed || outcome.kind == ChildOutcome::Kind::TimedOut ||
                        outcome.kind == ChildOutcome::Kind::Vanished;
    if (abrupt && !outcome.lastNote.empty()) {
        result.reason += " while ";
        result.reason += outcome.lastNote;
    }
    return result;
}

} // namespace arena::validate

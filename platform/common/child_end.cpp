#include "platform/common/child_end.h"

#include <utility>

#include "platform/stop_signals.h"

namespace platform {

ChildEnd childEndOf(int interrupted, bool timedOut, std::string crash, int status)
{
    ChildEnd end;
    if (interrupted != 0) {
        end.kind = ChildEnd::Kind::Interrupted;
        end.signal = interrupted;
        end.crash = signalName(interrupted);
    } else if (timedOut) {
        end.kind = ChildEnd::Kind::TimedOut;
    } else if (!crash.empty()) {
        end.kind = ChildEnd::Kind::Crashed;
        end.crash = std::move(crash);
    } else {
        end.kind = ChildEnd::Kind::Exited;
        end.status = status;
    }
    return end;
}

} // namespace platform

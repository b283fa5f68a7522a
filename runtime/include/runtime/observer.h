#pragma once
// What a program watching a session is told of: the trace as it grows, the events the host fires
// and the actors wrapper calls move. Any number of observers attach, each for as long as the token
// it is given lives; with none attached the host pays one test of an empty list.

#include <string_view>

#include "bakkesmod/wrappers/values.h"
#include "runtime/trace.h"
#include "runtime/world.h"

namespace runtime {

class Host;

// Every callback does nothing unless overridden. None may call into plug-ins, change the world, or
// attach or detach an observer.
class HostObserver {
public:
    virtual ~HostObserver() = default;
    virtual void onTrace(const TraceEntry& entry);          // an entry as it completes
    virtual void onEventFiring(std::string_view eventName); // before the hooks on an event run
    // After a wrapper call changed an actor by a vector (`call` as the trace names it, e.g.
    // "ActorWrapper::SetLocation"; `value` the vector handed over).
    virtual void onActorChanged(const char* call, const Actor& actor, const Vector& value);
};

// Keeps an observer attached while it lives; detaches it when destroyed or reset.
class Observation {
public:
    Observation() = default;
    Observation(Observation&& other) noexcept;
    Observation& operator=(Observation&& other) noexcept;
    Observation(const Observation&) = delete;
    Observation& operator=(const Observation&) = delete;
    ~Observation() { reset(); }

    void reset(); // detaches now

private:
    friend class Host;
    Observation(Host* host, HostObserver* observer) : host_(host), observer_(observer) {}
    Host* host_ = nullptr;
    HostObserver* observer_ = nullptr;
};

} // namespace runtime

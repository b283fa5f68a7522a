#pragma once
// The common part of every wrapper: a counted, non-owning reference into the host's world.
//
// Lifetime: a wrapper is valid only inside the host callback in which it was obtained. The host
// counts wrappers alive and reports a callback that returns still holding one it obtained. A wrapper
// whose object is gone, or that never had one, holds nothing: IsNull() answers true and every other
// call is ignored (and counted by the host) and answers zero, false or an empty value.

#include <cstdint>

// The host that made a wrapper. Opaque: only the host knows what it is.
struct HostHandle;

class ObjectWrapper {
public:
    ObjectWrapper() = default;
    ObjectWrapper(HostHandle* host, uint32_t object);
    ObjectWrapper(const ObjectWrapper& other);
    ObjectWrapper(ObjectWrapper&& other) noexcept;
    ObjectWrapper& operator=(const ObjectWrapper& other);
    ObjectWrapper& operator=(ObjectWrapper&& other) noexcept;
    ~ObjectWrapper();

    HostHandle* host() const { return host_; }  // the host that made it; null when default-made
    uint32_t object() const { return object_; } // the host's id of the object; 0 when none

private:
    HostHandle* host_ = nullptr;
    uint32_t object_ = 0;
};

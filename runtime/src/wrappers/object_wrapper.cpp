// Wrapper accounting: every live wrapper is counted by the host that made it.

#include "bakkesmod/wrappers/objectwrapper.h"

#include "runtime/host.h"

// Every handle a wrapper holds is a Host; a default-made wrapper holds none.
namespace {

runtime::Host* counter(HostHandle* host)
{
    return static_cast<runtime::Host*>(host);
}

} // namespace

ObjectWrapper::ObjectWrapper(HostHandle* host, uint32_t object) : host_(host), object_(object)
{
    if (host_) {
        counter(host_)->wrapperMade();
    }
}

ObjectWrapper::ObjectWrapper(const ObjectWrapper& other) : host_(other.host_), object_(other.object_)
{
    if (host_) {
        counter(host_)->wrapperMade();
    }
}

ObjectWrapper::ObjectWrapper(ObjectWrapper&& other) noexcept : host_(other.host_), object_(other.object_)
{
    other.host_ = nullptr;
    other.object_ = 0;
}

ObjectWrapper& ObjectWrapper::operator=(const ObjectWrapper& other)
{
    if (this != &other) {
        if (other.host_) {
            counter(other.host_)->wrapperMade();
        }
        if (host_) {
            counter(host_)->wrapperDropped();
        }
        host_ = other.host_;
        object_ = other.object_;
    }
    return *this;
}

ObjectWrapper& ObjectWrapper::operator=(ObjectWrapper&& other) noexcept
{
    if (this != &other) {
        if (host_) {
            counter(host_)->wrapperDropped();
        }
        host_ = other.host_;
        object_ = other.object_;
        other.host_ = nullptr;
        other.object_ = 0;
    }
    return *this;
}

ObjectWrapper::~ObjectWrapper()
{
    if (host_) {
        counter(host_)->wrapperDropped();
    }
}

// Wrapper accounting: every live wrapper is counted by the host that made it.

#include "bakkesmod/wrappers/objectwrapper.h"

#include "runtime/host.h"

ObjectWrapper::ObjectWrapper(runtime::Host* host, uint32_t object) : host_(host), object_(object)
{
    if (host_) {
        host_->wrapperMade();
    }
}

ObjectWrapper::ObjectWrapper(const ObjectWrapper& other) : host_(other.host_), object_(other.object_)
{
    if (host_) {
        host_->wrapperMade();
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
            other.host_->wrapperMade();
        }
        if (host_) {
            host_->wrapperDropped();
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
            host_->wrapperDropped();
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
        host_->wrapperDropped();
    }
}

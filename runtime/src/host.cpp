#include "runtime/host.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace runtime {

Host::Host(uint64_t seed)
{
    console_.seed(seed);
}

Host::~Host()
{
    unloadAll();
}

LoadedPlugin* Host::findPlugin(uint32_t plugin)
{
    for (LoadedPlugin& loaded : plugins_) {
        if (loaded.id == plugin) {
            return &loaded;
        }
    }
    return nullptr;
}

void HostObserver::onTrace(const TraceEntry&) {}
void HostObserver::onEventFiring(std::string_view) {}
void HostObserver::onActorChanged(const char*, const Actor&, const Vector&) {}

Observation::Observation(Observation&& other) noexcept
    : host_(std::exchange(other.host_, nullptr)), observer_(std::exchange(other.observer_, nullptr))
{
}

Observation& Observation::operator=(Observation&& other) noexcept
{
    if (this != &other) {
        reset();
        host_ = std::exchange(other.host_, nullptr);
        observer_ = std::exchange(other.observer_, nullptr);
    }
    return *this;
}

void Observation::reset()
{
    if (host_) {
        host_->detach(observer_);
        host_ = nullptr;
        observer_ = nullptr;
    }
}

Observation Host::attach(HostObserver& observer)
{
    observers_.push_back(&observer);
    return {this, &observer};
}

void Host::detach(HostObserver* observer)
{
    // The latest attachment of it: an observer attached twice is told twice until both tokens go.
    const auto at = std::find(observers_.rbegin(), observers_.rend(), observer);
    if (at != observers_.rend()) {
        observers_.erase(std::next(at).base());
    }
}

void Host::traced(const TraceEntry& entry)
{
    for (HostObserver* observer : observers_) {
        observer->onTrace(entry);
    }
}

void Host::actorChanged(const char* call, const Actor& actor, const Vector& value)
{
    for (HostObserver* observer : observers_) {
        observer->onActorChanged(call, actor, value);
    }
}

void Host::nullCall(const char* call)
{
    ++faults_.nullCalls;
    faults_.reports.push_back(std::string(call) + " was called on a wrapper that holds nothing");
}

void Host::nonFiniteCall(const char* call)
{
    ++faults_.nonFiniteCalls;
    faults_.reports.push_back(std::string(call) + " was handed a number that is not finite; refused");
}

void Host::callbackThrew(uint32_t owner, const char* what, const char* message)
{
    ++faults_.callbackExceptions;
    faults_.reports.push_back("plug-in " + std::to_string(owner) + ": " + what + " threw: " + message);
}

void Host::callbackKept(uint32_t owner, const char* what, int64_t count)
{
    ++faults_.keptWrappers;
    faults_.reports.push_back("plug-in " + std::to_string(owner) + ": " + what + " returned still holding " +
                              std::to_string(count) + (count == 1 ? " wrapper" : " wrappers"));
}

void Host::fireEvent(std::string_view eventName)
{
    for (HostObserver* observer : observers_) {
        observer->onEventFiring(eventName);
    }
    // By index: a callback may register more hooks, which land after the ones running now.
    const size_t count = hooks_.size();
    for (size_t i = 0; i < count && i < hooks_.size(); ++i) {
        if (hooks_[i].eventName != eventName) {
            continue;
        }
        // A copy, so that the callback outlives any change to the list made while it runs.
        const auto callback = hooks_[i].callback;
        callPlugin(hooks_[i].owner, "event hook", [&] { callback(std::string(eventName)); });
    }
}

bool Host::runCommand(const std::vector<std::string>& words)
{
    if (words.empty()) {
        return false;
    }
    for (const Notifier& notifier : console_.notifiers) {
        if (notifier.name == words.front()) {
            const auto callback = notifier.callback;
            callPlugin(notifier.owner, "command", [&] { callback(words); });
            return true;
        }
    }
    return false;
}

void Host::drawFrame()
{
    inFrame([this] {
        const size_t count = drawables_.size();
        for (size_t i = 0; i < count && i < drawables_.size(); ++i) {
            // A copy, as for hooks; a callback that fits the function's own storage costs no allocation.
            const auto callback = drawables_[i].callback;
            const CanvasWrapper frameCanvas(this, canvas_.frame());
            callPlugin(drawables_[i].owner, "drawable", [&] { callback(frameCanvas); });
        }
    });
}

void Host::drawFrameWith(const std::function<void(CanvasWrapper)>& drawable)
{
    inFrame([&] {
        const CanvasWrapper frameCanvas(this, canvas_.frame());
        callPlugin(0, "drawable", [&] { drawable(frameCanvas); });
    });
}

void Host::removeRegistrations(uint32_t plugin)
{
    std::erase_if(hooks_, [plugin](const Hook& hook) { return hook.owner == plugin; });
    std::erase_if(drawables_, [plugin](const Drawable& drawable) { return drawable.owner == plugin; });
    std::erase_if(console_.notifiers, [plugin](const Notifier& notifier) { return notifier.owner == plugin; });
}

} // namespace runtime

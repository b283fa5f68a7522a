// The plug-in's life as hosts run it: created, handed to the host, dropped, created again, and
// loaded and unloaded many times in one process.

#include <algorithm>
#include <memory>

#include "arena/common/load_refusal.h"
#include "arena/validate/checks.h"
#include "arena/validate/host_invariants.h"
#include "bakkesmod/plugin/bakkesmodplugin.h"
#include "platform/library.h"
#include "platform/memory_use.h"
#include "runtime/host.h"

#if defined(__SANITIZE_ADDRESS__)
#define VOLANKO_VALIDATE_LSAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VOLANKO_VALIDATE_LSAN 1
#endif
#endif
#ifdef VOLANKO_VALIDATE_LSAN
#include <sanitizer/lsan_interface.h>
#endif

namespace arena::validate {

namespace {

using BakkesMod::Plugin::BakkesModPlugin;
using BakkesMod::Plugin::CreateFunction;
using BakkesMod::Plugin::DestroyFunction;

constexpr int kWarmUpCycles = 20;

#ifndef VOLANKO_VALIDATE_LSAN
// Growth allowed after the warm-up. Resident memory moves in pages and the allocator may keep a
// few it touched once; the heap in use is exact, and a plug-in that leaks even its object (about
// a hundred bytes) in every cycle passes its allowance within the cycles measured.
constexpr long long kResidentSlackBytes = 512LL * 1024;
constexpr long long kHeapSlackBytes = 8LL * 1024;
#endif

// What the process holds after the warm-up cycles, to compare with what it holds at the end.
class MemoryWatch {
public:
    void warmedUp()
    {
#ifndef VOLANKO_VALIDATE_LSAN
        start_ = platform::memoryUse();
#endif
    }

    std::optional<std::string> leftBehind(int measuredCycles) const
    {
        std::string reason;
#ifdef VOLANKO_VALIDATE_LSAN
        // The sanitizer's allocator holds freed memory back, so sizes say nothing here; the leak
        // checker looks at every allocation instead.
        (void)measuredCycles;
        if (__lsan_do_recoverable_leak_check() != 0) {
            return "the leak checker found memory left behind (its report is on stderr)";
        }
#else
        const platform::MemoryUse now = platform::memoryUse();
        if (start_.heapInUse >= 0 && now.heapInUse > start_.heapInUse + kHeapSlackBytes) {
            reason = "the heap in use grew by ";
            reason += std::to_string(now.heapInUse - start_.heapInUse);
            reason += " bytes";
        } else if (const long long grown = now.resident - start_.resident;
                   start_.resident > 0 && now.resident >= 0 && grown > kResidentSlackBytes) {
            reason = "resident memory grew by ";
            reason += std::to_string(grown / 1024);
            reason += " KiB";
        }
        if (!reason.empty()) {
            reason += " over ";
            reason += std::to_string(measuredCycles);
            reason += " load and unload cycles after warm-up";
            return reason;
        }
#endif
        return std::nullopt;
    }

private:
#ifndef VOLANKO_VALIDATE_LSAN
    platform::MemoryUse start_; // after the warm-up
#endif
};

// getPlugin and deleteMe called straight, as a host that does its own bookkeeping would.
std::optional<std::string> entryOrders(const std::string& path)
{
    std::string reason;
    platform::Library library = platform::openLibrary(path, reason);
    if (!library) {
        return "the library no longer opens";
    }
    const auto create = reinterpret_cast<CreateFunction>(platform::findSymbol(library, BAKKESMOD_CREATE_SYMBOL));
    const auto destroy = reinterpret_cast<DestroyFunction>(platform::findSymbol(library, BAKKESMOD_DESTROY_SYMBOL));
    const auto fail = [&](const char* reason) {
        platform::closeLibrary(library);
        return std::optional<std::string>(reason);
    };

    destroy();
    destroy();
    std::shared_ptr<BakkesModPlugin>* first = create();
    if (!first || !*first) {
        return fail("getPlugin after two deleteMe calls gave no plug-in object");
    }
    BakkesModPlugin* object = first->get();
    std::shared_ptr<BakkesModPlugin>* second = create();
    if (second != first) {
        return fail("a second getPlugin gave a different holder address");
    }
    if (!*second || second->get() != object) {
        return fail("a second getPlugin made a new object instead of returning the first");
    }
    if (first->use_count() != 1) {
        return fail("the holder is not the object's only owner after getPlugin");
    }
    if ((*first)->cvarManagerHandle || (*first)->gameWrapperHandle) {
        return fail("a new plug-in object starts with host handles filled");
    }
    // Marked as a host would fill it, so that a fresh object can be told from this one.
    (*first)->cvarManagerHandle = std::make_shared<CVarManagerWrapper>();
    (*first)->gameWrapperHandle = std::make_shared<GameWrapper>();
    // The control block's code lives in the library: the watch must end before the library closes.
    std::weak_ptr<BakkesModPlugin> watched = *first;
    destroy();
    const bool outlived = !watched.expired();
    watched.reset();
    if (outlived) {
        return fail("deleteMe left the plug-in object alive with no host copy held");
    }
    destroy();
    std::shared_ptr<BakkesModPlugin>* third = create();
    if (!third || !*third) {
        return fail("getPlugin after deleteMe gave no plug-in object");
    }
    if ((*third)->cvarManagerHandle || (*third)->gameWrapperHandle) {
        return fail("getPlugin after deleteMe gave the old object back instead of a fresh one");
    }
    destroy();
    platform::closeLibrary(library);
    return std::nullopt;
}

// Load and unload in a fresh host, traced. Returns the calls the plug-in made.
std::vector<std::string> tracedLoad(const std::string& path, std::string& error)
{
    runtime::Host host(7);
    host.driveWorld().setFreeplay(true);
    host.switchTrace(true);
    const runtime::LoadResult loaded = host.load(path);
    if (!loaded) {
        error = loadRefusal(loaded);
        return {};
    }
    host.unload(loaded.plugin);
    std::vector<std::string> calls;
    for (const runtime::TraceEntry& entry : host.trace().entries()) {
        std::string line = entry.call;
        line += entry.args;
        line += entry.result;
        calls.push_back(std::move(line));
    }
    return calls;
}

std::optional<std::string> reloadsLikeNew(const std::string& path)
{
    std::string error;
    const std::vector<std::string> first = tracedLoad(path, error);
    const std::vector<std::string> second = tracedLoad(path, error);
    if (!error.empty()) {
        return notLoaded(error);
    }
    if (first != second) {
        size_t at = 0;
        while (at < first.size() && at < second.size() && first[at] == second[at]) {
            ++at;
        }
        std::string reason = "onLoad after a reload made other calls than the first onLoad, from call ";
        reason += std::to_string(at + 1);
        reason += " on: the library kept state across unload";
        return reason;
    }
    return std::nullopt;
}

std::optional<std::string> oneCycle(runtime::Host& host, const std::string& path, int cycle, size_t& cvarCount)
{
    const auto at = [cycle](const std::string& what) {
        std::string reason = "cycle ";
        reason += std::to_string(cycle);
        reason += ": ";
        reason += what;
        return reason;
    };
    const runtime::LoadResult loaded = host.load(path);
    if (!loaded) {
        return at(notLoaded(loadRefusal(loaded)));
    }
    // The host's copy and the library's holder; any other owner outlives the library.
    const long owners = host.findPlugin(loaded.plugin)->plugin.use_count();
    if (owners != 2) {
        std::string reason = "the plug-in object has ";
        reason += std::to_string(owners - 1);
        reason += " owners besides the host at unload; it would outlive its library";
        return at(reason);
    }
    host.unload(loaded.plugin);
    if (auto broken = brokenInvariant(host)) {
        return at(*broken);
    }
    // Its two host handles included, the plug-in holds no wrapper once it is unloaded.
    if (host.wrappersAlive() != 0) {
        return at(std::to_string(host.wrappersAlive()) + " wrappers still alive after unload");
    }
    if (!host.hooks().empty() || !host.drawables().empty() || !host.console().notifiers.empty()) {
        return at("registrations left after unload");
    }
    if (cycle == 1) {
        cvarCount = host.console().cvars.size();
    } else if (host.console().cvars.size() != cvarCount) {
        return at("the plug-in registered variables it had not registered in the first load");
    }
    return std::nullopt;
}

std::optional<std::string> cycles(const std::string& path, int count)
{
    runtime::Host host(3);
    host.driveWorld().setFreeplay(true);
    size_t cvarCount = 0;
    MemoryWatch memory;
    const int warmUp = std::min(kWarmUpCycles, count);
    for (int cycle = 1; cycle <= count; ++cycle) {
        if (auto failure = oneCycle(host, path, cycle, cvarCount)) {
            return failure;
        }
        if (cycle == warmUp) {
            memory.warmedUp();
        }
    }
    return memory.leftBehind(count - warmUp);
}

// The library's path, then the number of cycles.
std::optional<std::string> lifecycleTask(ChildChannel& channel, const std::vector<std::string>& words)
{
    const std::string& path = words.at(0);
    const int cycleCount = std::stoi(words.at(1));
    channel.note("calling getPlugin and deleteMe");
    if (auto failure = entryOrders(path)) {
        return failure;
    }
    channel.note("reloading");
    if (auto failure = reloadsLikeNew(path)) {
        return failure;
    }
    channel.note("cycling load and unload");
    return cycles(path, cycleCount);
}

} // namespace

const ChildTask kLifecycleTask{"lifecycle", lifecycleTask};

CheckResult checkLifecycle(const std::string& path, int cycleCount, double timeLimitSeconds)
{
    return resultOf("lifecycle", runInChild(timeLimitSeconds, kLifecycleTask, {path, std::to_string(cycleCount)}));
}

} // namespace arena::validate

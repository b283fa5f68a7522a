#pragma once
// One call from plug-in code into the host, as the wrappers see it: traced when the trace is on,
// and free of allocation when it is off.

#include <string>

#include "bakkesmod/wrappers/objectwrapper.h"
#include "runtime/host.h"

namespace runtime {

// The host behind a wrapper's handle: every handle a wrapper holds is a Host.
inline Host* hostOf(const ObjectWrapper& wrapper)
{
    return static_cast<Host*>(wrapper.host());
}

// The wrappers' reach into the host's state on a plug-in's behalf: the console it registers in and
// reads, the canvas it draws on. Programs outside the runtime have only the host's const views.
struct HostParts {
    static Console& console(Host& host) { return host.console_; }
    static Canvas& canvas(Host& host) { return host.canvas_; }
};

class Call {
public:
    // Every wrapper call pays for these two, so the untraced path is a flag test inlined into the
    // wrapper; the traced work stays out of line.
    Call(Host* host, const char* name) : host_(host), name_(name)
    {
        if (host_ && host_->trace_.on_) {
            begin();
        }
    }
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;
    ~Call()
    {
        if (index_ != kNone) {
            end();
        }
    }

    bool tracing() const { return index_ != kNone; }

    void self(std::string_view who)
    {
        if (tracing()) {
            entry().self = who;
        }
    }
    void self(const Actor* actor)
    {
        if (tracing()) {
            traceSelf(actor);
        }
    }

    template <class T> void arg(const T& value)
    {
        if (tracing()) {
            std::string& args = entry().args;
            if (args.size() > 1) {
                args += ',';
            }
            appendJson(args, value);
        }
    }

    template <class T> T result(T value)
    {
        if (tracing()) {
            appendJson(entry().result, value);
        }
        return value;
    }

    // A wrapper result: its object as "kind#id", or null.
    void resultObject(const Actor* actor)
    {
        if (tracing()) {
            traceResultObject(actor);
        }
    }
    void resultText(std::string_view text)
    {
        if (tracing()) {
            appendJson(entry().result, text);
        }
    }

    // The wrapper holds nothing: counted, and the call does nothing.
    void nullReceiver()
    {
        if (host_) {
            host_->nullCall(name_);
        }
    }

    // The plug-in handed over a NaN or an infinity: counted, and the call does nothing.
    void nonFiniteArgument()
    {
        if (host_) {
            host_->nonFiniteCall(name_);
        }
    }

    // The call moved `actor` by `value`: observers are told.
    void actorChanged(const Actor& actor, const Vector& value)
    {
        if (host_->observed()) {
            host_->actorChanged(name_, actor, value);
        }
    }

private:
    [[gnu::noinline, gnu::cold]] void begin()
    {
        index_ = host_->trace_.entries_.size();
        host_->trace_.entries_.push_back({name_, {}, "[", {}});
    }
    [[gnu::noinline, gnu::cold]] void end()
    {
        TraceEntry& entry = host_->trace_.entries_[index_];
        entry.args += ']';
        if (host_->observed()) {
            host_->traced(entry);
        }
    }
    // Out of line too: left in, the compiler keeps the whole of an actor's naming as a call that
    // every untraced getter makes only to find the trace off.
    [[gnu::noinline, gnu::cold]] void traceSelf(const Actor* actor) { appendName(entry().self, actor); }
    [[gnu::noinline, gnu::cold]] void traceResultObject(const Actor* actor)
    {
        std::string& result = entry().result;
        if (!actor) {
            result = "null";
            return;
        }
        result = '"';
        appendName(result, actor);
        result += '"';
    }

    // "kind#id", or "null".
    static void appendName(std::string& out, const Actor* actor)
    {
        if (!actor) {
            out += "null";
            return;
        }
        out += actorKindName(actor->kind);
        out += '#';
        out += std::to_string(actor->id);
    }

    static constexpr size_t kNone = static_cast<size_t>(-1);
    TraceEntry& entry() { return host_->trace_.entries_[index_]; }

    Host* host_;
    const char* name_;
    size_t index_ = kNone;
};

} // namespace runtime

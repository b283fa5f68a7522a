#pragma once
// The record of every call plug-in code makes into the host, when switched on.

#include <string>
#include <string_view>
#include <vector>

#include "bakkesmod/wrappers/values.h"

namespace runtime {

struct TraceEntry {
    const char* call = "";    // "Class::Member" as the SDK names it
    std::string self;         // the receiver, e.g. "car#3"; empty for the game and the console
    std::string args;         // a JSON array
    std::string result;       // JSON; empty for a call that returns nothing
    std::string json() const; // {"call":...,"self":...,"args":...,"result":...}
};

// Kept by the host: the calls go in as they are made, and only while it is switched on.
class Trace {
public:
    bool on() const { return on_; }
    void switchOn(bool on) { on_ = on; } // what was kept stays
    const std::vector<TraceEntry>& entries() const { return entries_; }
    void clear() { entries_.clear(); }
    std::vector<std::string> calls() const; // just the call names, in order

private:
    friend class Call; // writes each entry as its call happens
    bool on_ = false;
    std::vector<TraceEntry> entries_;
};

// JSON texts for trace arguments and results, written as the call happens: each is the text
// runtime::writeJson (runtime/json.h) writes for the value. Floats read back as the same float;
// non-finite ones become the strings "NaN", "Infinity" and "-Infinity".
void appendJson(std::string& out, float value);
void appendJson(std::string& out, double value);
void appendJson(std::string& out, int32_t value);
void appendJson(std::string& out, bool value);
void appendJson(std::string& out, std::string_view text);
void appendJson(std::string& out, const Vector& value);
void appendJson(std::string& out, const Vector2& value);
void appendJson(std::string& out, const Rotator& value);
void appendJson(std::string& out, const LinearColor& value);

} // namespace runtime

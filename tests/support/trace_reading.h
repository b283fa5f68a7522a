#pragma once
// Reading the host's call trace in tests: entries as short texts, and the numbers in their JSON.

#include <charconv>
#include <string>
#include <string_view>
#include <vector>

#include "bakkesmod/wrappers/values.h"
#include "trace.h"

namespace trace_reading {

// "Class::Member receiver args", the receiver without its id ("car#3" becomes "car") and left out
// when there is none. Results are left out: they are checked where they matter.
inline std::string describe(const host::TraceEntry& entry)
{
    std::string text = entry.call;
    std::string_view self = entry.self;
    if (const size_t hash = self.find('#'); hash != std::string_view::npos) {
        self = self.substr(0, hash);
    }
    if (!self.empty()) {
        text += ' ';
        text += self;
    }
    text += ' ';
    text += entry.args;
    return text;
}

inline std::vector<std::string> describeAll(const host::Trace& trace)
{
    std::vector<std::string> texts;
    for (const host::TraceEntry& entry : trace.entries) {
        texts.push_back(describe(entry));
    }
    return texts;
}

// Every number in a JSON text, in order, each read back as the float the host wrote.
inline std::vector<float> floatsIn(std::string_view json)
{
    std::vector<float> numbers;
    size_t i = 0;
    while (i < json.size()) {
        const char c = json[i];
        if (c == '-' || (c >= '0' && c <= '9')) {
            float value = 0;
            const auto [end, error] = std::from_chars(json.data() + i, json.data() + json.size(), value);
            if (error == std::errc()) {
                numbers.push_back(value);
                i = static_cast<size_t>(end - json.data());
                continue;
            }
        }
        ++i;
    }
    return numbers;
}

// The entries of one call, in order.
inline std::vector<const host::TraceEntry*> entriesOf(const host::Trace& trace, std::string_view call)
{
    std::vector<const host::TraceEntry*> found;
    for (const host::TraceEntry& entry : trace.entries) {
        if (call == entry.call) {
            found.push_back(&entry);
        }
    }
    return found;
}

inline size_t countOf(const host::Trace& trace, std::string_view call)
{
    return entriesOf(trace, call).size();
}

// The first Vector argument of an entry.
inline Vector vectorArg(const host::TraceEntry& entry)
{
    const std::vector<float> numbers = floatsIn(entry.args);
    return numbers.size() >= 3 ? Vector{numbers[0], numbers[1], numbers[2]} : Vector{};
}

// The float results of every getFloatValue, in the order they were read.
inline std::vector<float> floatReads(const host::Trace& trace)
{
    std::vector<float> reads;
    for (const host::TraceEntry* entry : entriesOf(trace, "CVarWrapper::getFloatValue")) {
        const std::vector<float> numbers = floatsIn(entry->result);
        reads.push_back(numbers.empty() ? 0.0f : numbers.front());
    }
    return reads;
}

} // namespace trace_reading

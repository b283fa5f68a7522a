#include "runtime/trace.h"

#include "runtime/json.h"

namespace runtime {

std::string TraceEntry::json() const
{
    std::string out;
    out.reserve(std::char_traits<char>::length(call) + self.size() + args.size() + result.size() + 40);
    JsonObjectWriter entry(out);
    entry.text("call", call);
    if (!self.empty()) {
        entry.text("self", self);
    }
    if (args.empty()) {
        entry.value("args", Json::array());
    } else {
        entry.written("args", args);
    }
    if (!result.empty()) {
        entry.written("result", result);
    }
    entry.close();
    return out;
}

std::vector<std::string> Trace::calls() const
{
    std::vector<std::string> names;
    names.reserve(entries_.size());
    for (const TraceEntry& entry : entries_) {
        names.emplace_back(entry.call);
    }
    return names;
}

} // namespace runtime

#include "runtime/trace.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace runtime {

std::string TraceEntry::json() const
{
    std::string out = "{\"call\":";
    appendJson(out, std::string_view(call));
    if (!self.empty()) {
        out += ",\"self\":";
        appendJson(out, std::string_view(self));
    }
    out += ",\"args\":";
    out += args.empty() ? "[]" : args;
    if (!result.empty()) {
        out += ",\"result\":";
        out += result;
    }
    out += '}';
    return out;
}

std::vector<std::string> Trace::calls() const
{
    std::vector<std::string> names;
    names.reserve(entries.size());
    for (const TraceEntry& entry : entries) {
        names.emplace_back(entry.call);
    }
    return names;
}

namespace {

template <class Float> void appendFloat(std::string& out, Float value)
{
    if (std::isnan(value)) {
        out += "\"NaN\"";
        return;
    }
    if (std::isinf(value)) {
        out += value > 0 ? "\"Infinity\"" : "\"-Infinity\"";
        return;
    }
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

} // namespace

void appendJson(std::string& out, float value)
{
    appendFloat(out, value);
}

void appendJson(std::string& out, double value)
{
    appendFloat(out, value);
}

void appendJson(std::string& out, int32_t value)
{
    appendJson(out, static_cast<int64_t>(value));
}

void appendJson(std::string& out, int64_t value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void appendJson(std::string& out, bool value)
{
    out += value ? "true" : "false";
}

void appendJson(std::string& out, std::string_view text)
{
    out += '"';
    for (const char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

namespace {

template <class... T> void appendArray(std::string& out, const T&... values)
{
    out += '[';
    bool first = true;
    ((out += first ? "" : ",", first = false, appendJson(out, values)), ...);
    out += ']';
}

} // namespace

void appendJson(std::string& out, const Vector& value)
{
    appendArray(out, value.x, value.y, value.z);
}

void appendJson(std::string& out, const Vector2& value)
{
    appendArray(out, value.x, value.y);
}

void appendJson(std::string& out, const Rotator& value)
{
    appendArray(out, value.pitch, value.yaw, value.roll);
}

void appendJson(std::string& out, const LinearColor& value)
{
    appendArray(out, value.r, value.g, value.b, value.a);
}

} // namespace runtime

#include "runtime/json.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

#include "runtime/trace.h"

// The one place that writes JSON text: documents (writeJson), objects member by member
// (JsonObjectWriter) and the call trace's arguments and results (appendJson), by the same rules.

namespace runtime {

namespace {

// "NaN", "Infinity" or "-Infinity" for a value that is not finite; null otherwise.
const char* nonFiniteName(double value)
{
    if (std::isnan(value)) {
        return "\"NaN\"";
    }
    if (std::isinf(value)) {
        return value > 0 ? "\"Infinity\"" : "\"-Infinity\"";
    }
    return nullptr;
}

template <class Number> void writeNumber(std::string& out, Number value)
{
    if constexpr (std::is_floating_point_v<Number>) {
        if (const char* name = nonFiniteName(value)) {
            out += name;
            return;
        }
    }
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void writeString(std::string& out, std::string_view text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (const char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (const auto byte = static_cast<unsigned char>(c); byte < 0x20) {
                out += "\\u00";
                out += kHex[byte >> 4];
                out += kHex[byte & 0xf];
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

template <class... T> void writeArray(std::string& out, const T&... values)
{
    out += '[';
    bool first = true;
    ((out += first ? "" : ",", first = false, writeNumber(out, values)), ...);
    out += ']';
}

} // namespace

double shortestDouble(float value)
{
    if (!std::isfinite(value)) {
        return value;
    }
    char buffer[40];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    double shortest = value;
    std::from_chars(buffer, written.ptr, shortest);
    return shortest;
}

void writeJson(std::string& out, const Json& value)
{
    switch (value.type()) {
    case Json::value_t::object: {
        out += '{';
        bool first = true;
        for (const auto& [key, member] : value.get_ref<const Json::object_t&>()) {
            out += first ? "" : ",";
            first = false;
            writeString(out, key);
            out += ':';
            writeJson(out, member);
        }
        out += '}';
        return;
    }
    case Json::value_t::array: {
        out += '[';
        bool first = true;
        for (const Json& item : value.get_ref<const Json::array_t&>()) {
            out += first ? "" : ",";
            first = false;
            writeJson(out, item);
        }
        out += ']';
        return;
    }
    case Json::value_t::string: writeString(out, value.get_ref<const Json::string_t&>()); return;
    case Json::value_t::boolean: out += value.get<bool>() ? "true" : "false"; return;
    case Json::value_t::number_integer: writeNumber(out, value.get<Json::number_integer_t>()); return;
    case Json::value_t::number_unsigned: writeNumber(out, value.get<Json::number_unsigned_t>()); return;
    case Json::value_t::number_float: writeNumber(out, value.get<Json::number_float_t>()); return;
    case Json::value_t::null: out += "null"; return;
    case Json::value_t::binary:
    case Json::value_t::discarded: break;
    }
    throw std::invalid_argument("writeJson: a binary or discarded value has no JSON text");
}

std::string jsonText(const Json& value)
{
    std::string out;
    writeJson(out, value);
    return out;
}

JsonObjectWriter::JsonObjectWriter(std::string& out) : out_(out)
{
    out_ += '{';
}

void JsonObjectWriter::key(std::string_view key)
{
    out_ += first_ ? "" : ",";
    first_ = false;
    writeString(out_, key);
    out_ += ':';
}

void JsonObjectWriter::text(std::string_view key, std::string_view value)
{
    this->key(key);
    writeString(out_, value);
}

void JsonObjectWriter::written(std::string_view key, std::string_view json)
{
    this->key(key);
    out_ += json;
}

void JsonObjectWriter::value(std::string_view key, const Json& value)
{
    this->key(key);
    writeJson(out_, value);
}

void JsonObjectWriter::close()
{
    out_ += '}';
}

// The call trace's texts, written as the call happens, with no document in between: each is the
// text writeJson writes for the value as a Json (a float's shortest text is that of shortestDouble).

void appendJson(std::string& out, float value)
{
    writeNumber(out, value);
}

void appendJson(std::string& out, double value)
{
    writeNumber(out, value);
}

void appendJson(std::string& out, int32_t value)
{
    writeNumber(out, value);
}

void appendJson(std::string& out, int64_t value)
{
    writeNumber(out, value);
}

void appendJson(std::string& out, bool value)
{
    out += value ? "true" : "false";
}

void appendJson(std::string& out, std::string_view text)
{
    writeString(out, text);
}

void appendJson(std::string& out, const Vector& value)
{
    writeArray(out, value.x, value.y, value.z);
}

void appendJson(std::string& out, const Vector2& value)
{
    writeArray(out, value.x, value.y);
}

void appendJson(std::string& out, const Rotator& value)
{
    writeArray(out, value.pitch, value.yaw, value.roll);
}

void appendJson(std::string& out, const LinearColor& value)
{
    writeArray(out, value.r, value.g, value.b, value.a);
}

} // namespace runtime

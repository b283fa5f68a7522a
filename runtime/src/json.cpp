#include "runtime/json.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
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

bool escaped(char c)
{
    return c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20;
}

// The call trace writes several strings a call, most with nothing to escape: those go in with one
// append, the others a run of plain bytes at a time.
void writeString(std::string& out, std::string_view text)
{
    size_t run = 0;
    while (run < text.size() && !escaped(text[run])) {
        ++run;
    }
    const size_t at = out.size();
    out.resize(at + run + 2);
    char* const start = out.data() + at;
    start[0] = '"';
    if (run > 0) { // an empty view may hold no pointer at all
        std::memcpy(start + 1, text.data(), run);
    }
    if (run == text.size()) {
        start[run + 1] = '"';
        return;
    }
    out.pop_back();
    static constexpr char kHex[] = "0123456789abcdef";
    text.remove_prefix(run);
    while (!text.empty()) {
        const char c = text.front();
        text.remove_prefix(1);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: {
            const auto byte = static_cast<unsigned char>(c);
            const char unicode[] = {'\\', 'u', '0', '0', kHex[byte >> 4], kHex[byte & 0xf]};
            out.append(unicode, sizeof unicode);
        }
        }
        run = 0;
        while (run < text.size() && !escaped(text[run])) {
            ++run;
        }
        out.append(text.data(), run);
        text.remove_prefix(run);
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

Json jsonObject(std::initializer_list<JsonMember> members, size_t room)
{
    Json object = Json::object();
    auto& map = object.get_ref<Json::object_t&>();
    map.reserve(members.size() + room);
    for (const JsonMember& member : members) {
        map.emplace_back(std::string(member.key), std::move(member.value));
    }
    return object;
}

Json jsonArray(size_t room)
{
    Json array = Json::array();
    array.get_ref<Json::array_t&>().reserve(room);
    return array;
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

JsonObjectWriter::JsonObjectWriter(std::string& out) : out_(out) {}

// The object's "{" comes with its first key, and each key with its quotes, colon and comma in one
// append when it needs no escape.
void JsonObjectWriter::key(std::string_view key)
{
    char lead[kShortKey + 4];
    if (key.size() <= kShortKey && std::none_of(key.begin(), key.end(), escaped)) {
        lead[0] = first_ ? '{' : ',';
        lead[1] = '"';
        if (!key.empty()) {
            std::memcpy(lead + 2, key.data(), key.size());
        }
        lead[key.size() + 2] = '"';
        lead[key.size() + 3] = ':';
        out_.append(lead, key.size() + 4);
    } else {
        out_ += first_ ? '{' : ',';
        writeString(out_, key);
        out_ += ':';
    }
    first_ = false;
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
    out_ += first_ ? "{}" : "}";
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

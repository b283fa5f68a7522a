#include "arena/record/recording_json.h"

#include <cmath>

#include "runtime/trace.h"

namespace arena {

namespace {

// The length of the UTF-8 sequence at the start of `text`, or 0 when it is not one: overlong
// forms, surrogates and code points past U+10FFFF are refused as a strict reader would.
size_t sequenceLength(std::string_view text)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xbf;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        low = lead == 0xe0 ? 0xa0 : 0x80;
        high = lead == 0xed ? 0x9f : 0xbf;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        low = lead == 0xf0 ? 0x90 : 0x80;
        high = lead == 0xf4 ? 0x8f : 0xbf;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xbf) {
            return 0;
        }
    }
    return length;
}

} // namespace

void appendNumber(std::string& out, float value)
{
    runtime::appendJson(out, std::isfinite(value) ? value : 0.0f);
}

void appendNumbers(std::string& out, std::initializer_list<float> values)
{
    out += '[';
    for (const float value : values) {
        if (out.back() != '[') {
            out += ',';
        }
        appendNumber(out, value);
    }
    out += ']';
}

void appendRotation(std::string& out, const Rotator& rotation)
{
    out += '[';
    runtime::appendJson(out, rotation.pitch);
    out += ',';
    runtime::appendJson(out, rotation.yaw);
    out += ',';
    runtime::appendJson(out, rotation.roll);
    out += ']';
}

void appendPixels(std::string& out, Vector2 pixels)
{
    out += '[';
    runtime::appendJson(out, pixels.x);
    out += ',';
    runtime::appendJson(out, pixels.y);
    out += ']';
}

void appendText(std::string& out, std::string_view text)
{
    std::string valid;
    valid.reserve(text.size());
    while (!text.empty()) {
        const size_t length = sequenceLength(text);
        if (length == 0) {
            valid += "\xef\xbf\xbd";
            text.remove_prefix(1);
        } else {
            valid += text.substr(0, length);
            text.remove_prefix(length);
        }
    }
    runtime::appendJson(out, valid);
}

void appendDraws(std::string& out, std::span<const runtime::CanvasDraw> draws)
{
    out += '[';
    for (const runtime::CanvasDraw& draw : draws) {
        if (out.back() != '[') {
            out += ',';
        }
        out += R"({"text":)";
        appendText(out, draw.text);
        out += R"(,"position":)";
        appendPixels(out, draw.position);
        out += R"(,"color":)";
        appendNumbers(out, {draw.color.r, draw.color.g, draw.color.b, draw.color.a});
        out += R"(,"scale":)";
        appendNumbers(out, {draw.xScale, draw.yScale});
        out += '}';
    }
    out += ']';
}

} // namespace arena

#include "arena/record/recording_json.h"

#include <cmath>

#include "arena/record/recorder.h"

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

runtime::Json recordingNumber(float value)
{
    return std::isfinite(value) ? value : 0.0f;
}

runtime::Json recordingNumbers(std::initializer_list<float> values)
{
    runtime::Json numbers = runtime::jsonArray(values.size());
    for (const float value : values) {
        numbers.push_back(recordingNumber(value));
    }
    return numbers;
}

runtime::Json recordingText(std::string_view text)
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
    return valid;
}

namespace {

runtime::Json recordingVector(const Vector& value)
{
    return recordingNumbers({value.x, value.y, value.z});
}

runtime::Json bodyRecord(const RecordedBody& body)
{
    return runtime::jsonObject({{"location", recordingVector(body.location)}, {"rotation", body.rotation}});
}

runtime::Json eventRecord(std::string_view type, float time, const Vector& location)
{
    return runtime::jsonObject(
        {{"type", type}, {"time", recordingNumber(time)}, {"location", recordingVector(location)}}, 1);
}

} // namespace

runtime::Json drawRecord(const runtime::CanvasDraw& draw)
{
    return runtime::jsonObject({{"text", recordingText(draw.text)},
                                {"position", draw.position},
                                {"color", recordingNumbers({draw.color.r, draw.color.g, draw.color.b, draw.color.a})},
                                {"scale", recordingNumbers({draw.xScale, draw.yScale})}});
}

runtime::Json wordsRecord(std::span<const std::string> words)
{
    runtime::Json texts = runtime::jsonArray(words.size());
    for (const std::string& word : words) {
        texts.push_back(recordingText(word));
    }
    return texts;
}

runtime::Json setupRecord(const SessionSetup& setup)
{
    runtime::Json settings = runtime::jsonArray(setup.settings.size());
    for (const auto& [name, value] : setup.settings) {
        settings.push_back({recordingText(name), recordingText(value)});
    }
    runtime::Json lines = runtime::jsonArray(setup.lines.size());
    for (const std::vector<std::string>& words : setup.lines) {
        lines.push_back(wordsRecord(words));
    }
    return runtime::jsonObject({{"settings", std::move(settings)}, {"lines", std::move(lines)}});
}

runtime::Json headerRecord(const RecordingHeader& header, std::string_view level, int frameEvery, Vector2 canvas)
{
    return {{"format", "volanko-recording"},
            {"version", 1},
            {"seed", header.seed},
            {"level", recordingText(level)},
            {"session", recordingText(header.session)},
            {"plugin", {{"name", recordingText(header.pluginName)}, {"version", recordingText(header.pluginVersion)}}},
            {"fps", header.fps},
            {"frameEvery", frameEvery},
            {"canvas", canvas},
            {"setup", setupRecord(header.setup)}};
}

runtime::Json frameRecord(const RecordedFrame& frame, RecordedDraws draws, bool canvas)
{
    runtime::Json record =
        runtime::jsonObject({{"type", "frame"},
                             {"time", recordingNumber(frame.time)},
                             {"frame", frame.number},
                             {"car", runtime::jsonObject({{"location", recordingVector(frame.car.location)},
                                                          {"rotation", frame.car.rotation},
                                                          {"contact", runtime::contactName(frame.contact)}})},
                             {"ball", bodyRecord(frame.ball)}},
                            2);
    if (draws == RecordedDraws::Texts) {
        runtime::Json& texts = record["texts"] = runtime::jsonArray(frame.draws.size());
        for (const runtime::CanvasDraw& draw : frame.draws) {
            texts.push_back(recordingText(draw.text));
        }
    } else if (draws == RecordedDraws::Full) {
        runtime::Json& full = record["draws"] = runtime::jsonArray(frame.draws.size());
        for (const runtime::CanvasDraw& draw : frame.draws) {
            full.push_back(drawRecord(draw));
        }
    }
    if (canvas) {
        record["canvas"] = frame.canvas;
    }
    return record;
}

runtime::Json takeoffRecord(float time, const Vector& location)
{
    return eventRecord("takeoff", time, location);
}

runtime::Json hitRecord(float time, const Vector& location)
{
    return eventRecord("hit", time, location);
}

runtime::Json landingRecord(float time, const Vector& location, runtime::Contact contact)
{
    runtime::Json record = eventRecord("landing", time, location);
    record["contact"] = runtime::contactName(contact);
    return record;
}

runtime::Json resetRecord(float time, const Vector& location, const Vector& velocity)
{
    runtime::Json record = eventRecord("reset", time, location);
    record["velocity"] = recordingVector(velocity);
    return record;
}

runtime::Json levelRecord(float time, std::string_view level)
{
    return runtime::jsonObject({{"type", "level"}, {"time", recordingNumber(time)}, {"level", recordingText(level)}});
}

runtime::Json lineRecord(float time, int64_t frame, std::span<const std::string> words)
{
    return runtime::jsonObject(
        {{"type", "line"}, {"time", recordingNumber(time)}, {"frame", frame}, {"words", wordsRecord(words)}});
}

std::string buttonsText(const sim::Controls& controls)
{
    std::string buttons;
    buttons += controls.jump ? "j" : "";
    buttons += controls.boost ? "b" : "";
    buttons += controls.handbrake ? "h" : "";
    return buttons;
}

runtime::Json controlsRecord(float time, int64_t tick, const sim::Controls& controls)
{
    return runtime::jsonObject(
        {{"type", "controls"},
         {"time", recordingNumber(time)},
         {"tick", tick},
         {"axes", recordingNumbers({controls.throttle, controls.steer, controls.pitch, controls.yaw, controls.roll})},
         {"buttons", buttonsText(controls)}});
}

runtime::Json endRecord(float time, int64_t frames)
{
    return runtime::jsonObject({{"type", "end"}, {"time", recordingNumber(time)}, {"frames", frames}});
}

} // namespace arena

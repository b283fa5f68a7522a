#include "arena/record/recorded_inputs.h"

#include <limits>

#include "arena/common/concat.h"
#include "runtime/json.h"

namespace arena {

namespace {

struct Unreadable {
    std::string message;
};

[[noreturn]] void refuse(size_t line, std::string_view what)
{
    throw Unreadable{concat("line ", std::to_string(line), ": ", what)};
}

const runtime::Json& member(const runtime::Json& object, const char* key, size_t line)
{
    const auto found = object.find(key);
    if (found == object.end()) {
        refuse(line, concat("\"", key, "\" is missing"));
    }
    return *found;
}

int64_t wholeNumber(const runtime::Json& object, const char* key, size_t line, int64_t low)
{
    const runtime::Json& value = member(object, key, line);
    if (!value.is_number_integer() ||
        (value.is_number_unsigned() &&
         value.get<uint64_t>() > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) ||
        value.get<int64_t>() < low) {
        refuse(line, concat("\"", key, "\" should be a whole number from ", std::to_string(low)));
    }
    return value.get<int64_t>();
}

std::string text(const runtime::Json& value, std::string_view what, size_t line)
{
    if (!value.is_string()) {
        refuse(line, concat(what, " should be a text"));
    }
    return value.get<std::string>();
}

std::vector<std::string> words(const runtime::Json& value, std::string_view what, size_t line)
{
    if (!value.is_array() || value.empty()) {
        refuse(line, concat(what, " should be an array of texts, the line's words"));
    }
    std::vector<std::string> out;
    for (const runtime::Json& word : value) {
        out.push_back(text(word, what, line));
    }
    return out;
}

SessionSetup setupOf(const runtime::Json& header)
{
    const auto found = header.find("setup");
    if (found == header.end() || !found->is_object()) {
        throw Unreadable{"its header has no \"setup\": it was written before recordings kept what their session was "
                         "given, so it cannot be played again"};
    }
    SessionSetup setup;
    const runtime::Json& settings = member(*found, "settings", 1);
    const runtime::Json& lines = member(*found, "lines", 1);
    if (!settings.is_array() || !lines.is_array()) {
        refuse(1, "\"setup.settings\" and \"setup.lines\" should be arrays");
    }
    for (const runtime::Json& setting : settings) {
        if (!setting.is_array() || setting.size() != 2) {
            refuse(1, "each of \"setup.settings\" should be a name and a value");
        }
        setup.settings.emplace_back(text(setting[0], "a setting's name", 1), text(setting[1], "a setting's value", 1));
    }
    for (const runtime::Json& line : lines) {
        setup.lines.push_back(words(line, "each of \"setup.lines\"", 1));
    }
    return setup;
}

float axis(const runtime::Json& value, size_t line)
{
    // Written from floats in their shortest form: the nearest float is the one written.
    if (!value.is_number() || !(value.get<double>() >= -1 && value.get<double>() <= 1)) {
        refuse(line, "\"axes\" should be 5 numbers from -1 to 1");
    }
    return static_cast<float>(value.get<double>());
}

ControlsChange controlsOf(const runtime::Json& record, size_t line)
{
    ControlsChange change;
    change.tick = wholeNumber(record, "tick", line, 0);
    const runtime::Json& axes = member(record, "axes", line);
    if (!axes.is_array() || axes.size() != 5) {
        refuse(line, "\"axes\" should be 5 numbers from -1 to 1");
    }
    sim::Controls& c = change.controls;
    c.throttle = axis(axes[0], line);
    c.steer = axis(axes[1], line);
    c.pitch = axis(axes[2], line);
    c.yaw = axis(axes[3], line);
    c.roll = axis(axes[4], line);
    const std::string buttons = text(member(record, "buttons", line), "\"buttons\"", line);
    c.jump = buttons.find('j') != std::string::npos;
    c.boost = buttons.find('b') != std::string::npos;
    c.handbrake = buttons.find('h') != std::string::npos;
    if (buttonsText(c) != buttons) {
        refuse(line, "\"buttons\" should be the held buttons' letters in the order \"jbh\"");
    }
    return change;
}

} // namespace

std::optional<RecordedInputs> readRecordedInputs(std::string_view text, std::string& error)
{
    if (text.starts_with("\xef\xbb\xbf")) {
        text.remove_prefix(3);
    }
    RecordedInputs inputs;
    bool ended = false;
    try {
        size_t number = 0;
        for (size_t at = 0; at < text.size();) {
            const size_t end = std::min(text.find('\n', at), text.size());
            const std::string_view line = text.substr(at, end - at);
            at = end + 1;
            ++number;
            if (line.find_first_not_of(" \t\r") == std::string_view::npos) {
                continue;
            }
            const runtime::Json record = runtime::Json::parse(line, nullptr, false);
            if (!record.is_object()) {
                refuse(number, "not a JSON record");
            }
            if (number == 1) {
                const auto seed = record.find("seed");
                if (seed == record.end() || !seed->is_number_unsigned()) {
                    refuse(1, "\"seed\" should be a whole number");
                }
                inputs.seed = seed->get<uint64_t>();
                inputs.fps = static_cast<int>(wholeNumber(record, "fps", 1, 1));
                if (inputs.fps > 1000) {
                    refuse(1, "\"fps\" should be at most 1000");
                }
                const auto session = record.find("session");
                inputs.session = session != record.end() && session->is_string() ? session->get<std::string>() : "";
                inputs.setup = setupOf(record);
                continue;
            }
            const auto type = record.find("type");
            const std::string name = type != record.end() && type->is_string() ? type->get<std::string>() : "";
            if (name == "line") {
                RecordedLine recorded{wholeNumber(record, "frame", number, 0),
                                      words(member(record, "words", number), "\"words\"", number)};
                if (!inputs.lines.empty() && recorded.frame < inputs.lines.back().frame) {
                    refuse(number, "\"frame\" is before the previous line's");
                }
                inputs.lines.push_back(std::move(recorded));
            } else if (name == "controls") {
                ControlsChange change = controlsOf(record, number);
                if (!inputs.controls.empty() && change.tick <= inputs.controls.back().tick) {
                    refuse(number, "\"tick\" should be above the previous controls record's");
                }
                inputs.controls.push_back(change);
            } else if (name == "end") {
                inputs.frames = wholeNumber(record, "frames", number, 0);
                ended = true;
            }
        }
        if (!ended) {
            throw Unreadable{"it has no \"end\" record: only a session that finished writing can be played again"};
        }
    } catch (const Unreadable& unreadable) {
        error = unreadable.message;
        return std::nullopt;
    }
    return inputs;
}

} // namespace arena

#include "arena/record/recording_check.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <span>
#include <vector>

#include "arena/common/concat.h"

namespace arena {

namespace {

constexpr std::string_view kFormat = "volanko-recording";
constexpr double kVersion = 1;
constexpr size_t kNone = std::string_view::npos;

// JSON as JSON.parse reads it. A line is first checked whole (isJson); its values are then read
// where they stand, so that a record costs no memory beyond its line, whatever it holds.

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    return isDigit(c) ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

size_t skipSpace(std::string_view text, size_t at)
{
    while (at < text.size() && isSpace(text[at])) {
        ++at;
    }
    return at;
}

size_t digitsEnd(std::string_view text, size_t at)
{
    while (at < text.size() && isDigit(text[at])) {
        ++at;
    }
    return at;
}

// Past the string that starts at `at`; kNone when there is none.
size_t stringEnd(std::string_view text, size_t at)
{
    if (at >= text.size() || text[at] != '"') {
        return kNone;
    }
    while (++at < text.size()) {
        const auto c = static_cast<unsigned char>(text[at]);
        if (c == '"') {
            return at + 1;
        }
        if (c < 0x20 || (c == '\\' && ++at >= text.size())) {
            return kNone;
        }
        if (c != '\\') {
            continue;
        }
        if (text[at] == 'u') {
            for (int i = 0; i < 4; ++i) {
                if (++at >= text.size() || hexValue(text[at]) < 0) {
                    return kNone;
                }
            }
        } else if (std::string_view("\"\\/bfnrt").find(text[at]) == std::string_view::npos) {
            return kNone;
        }
    }
    return kNone;
}

// Past the number that starts at `at`; kNone when there is none.
size_t numberEnd(std::string_view text, size_t at)
{
    if (at < text.size() && text[at] == '-') {
        ++at;
    }
    if (at >= text.size() || !isDigit(text[at])) {
        return kNone;
    }
    at = text[at] == '0' ? at + 1 : digitsEnd(text, at);
    if (at < text.size() && text[at] == '.') {
        if (++at >= text.size() || !isDigit(text[at])) {
            return kNone;
        }
        at = digitsEnd(text, at);
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        if (++at < text.size() && (text[at] == '+' || text[at] == '-')) {
            ++at;
        }
        if (at >= text.size() || !isDigit(text[at])) {
            return kNone;
        }
        at = digitsEnd(text, at);
    }
    return at;
}

size_t scalarEnd(std::string_view text, size_t at)
{
    if (at < text.size() && text[at] == '"') {
        return stringEnd(text, at);
    }
    for (const std::string_view word : {"true", "false", "null"}) {
        if (text.substr(at < text.size() ? at : text.size(), word.size()) == word) {
            return at + word.size();
        }
    }
    return numberEnd(text, at);
}

// Past a member's name and its colon; kNone when they are not there.
size_t nameEnd(std::string_view text, size_t at)
{
    at = stringEnd(text, skipSpace(text, at));
    if (at == kNone) {
        return kNone;
    }
    at = skipSpace(text, at);
    return at < text.size() && text[at] == ':' ? at + 1 : kNone;
}

// True when `text` is one JSON value with nothing but blanks around it. The containers open are
// kept on a stack of its own, so a hostile nesting costs memory in proportion to the text only.
bool isJson(std::string_view text)
{
    std::vector<char> open; // the closers awaited, innermost last
    size_t at = 0;
    for (;;) {
        at = skipSpace(text, at);
        if (at < text.size() && (text[at] == '{' || text[at] == '[')) {
            const char closer = text[at] == '{' ? '}' : ']';
            at = skipSpace(text, at + 1);
            if (at >= text.size() || text[at] != closer) {
                open.push_back(closer);
                if (closer == '}' && (at = nameEnd(text, at)) == kNone) {
                    return false;
                }
                continue;
            }
            ++at;
        } else if ((at = scalarEnd(text, at)) == kNone) {
            return false;
        }
        // After a value: closers, then a comma before the next value, or the end.
        for (;;) {
            at = skipSpace(text, at);
            if (open.empty()) {
                return at == text.size();
            }
            if (at >= text.size() || (text[at] != ',' && text[at] != open.back())) {
                return false;
            }
            if (text[at++] == ',') {
                break;
            }
            open.pop_back();
        }
        if (open.back() == '}' && (at = nameEnd(text, at)) == kNone) {
            return false;
        }
    }
}

// Past the value that starts at `at`, in a text known to be JSON.
size_t valueEnd(std::string_view text, size_t at)
{
    if (text[at] == '"') {
        return stringEnd(text, at);
    }
    if (text[at] != '{' && text[at] != '[') {
        while (at < text.size() && !isSpace(text[at]) && text[at] != ',' && text[at] != ']' && text[at] != '}') {
            ++at;
        }
        return at;
    }
    size_t depth = 0;
    for (; at < text.size(); ++at) {
        if (text[at] == '"') {
            at = stringEnd(text, at) - 1;
        } else if (text[at] == '{' || text[at] == '[') {
            ++depth;
        } else if ((text[at] == '}' || text[at] == ']') && --depth == 0) {
            return at + 1;
        }
    }
    return at;
}

void appendCodePoint(std::string& out, uint32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xc0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3f));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xe0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (c & 0x3f));
    } else {
        out += static_cast<char>(0xf0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3f));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (c & 0x3f));
    }
}

// The character at `at` in UTF-8 as a browser decodes it: a sequence that goes wrong is one U+FFFD
// for as much of it as was right, and the byte that broke it starts the next character.
uint32_t nextCharacter(std::string_view text, size_t& at)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at++);
    size_t more = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xbf;
    uint32_t c = 0;
    if (lead < 0x80) {
        return lead;
    } else if (lead >= 0xc2 && lead <= 0xdf) {
        more = 1;
        c = lead & 0x1fu;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        more = 2;
        c = lead & 0x0fu;
        low = lead == 0xe0 ? 0xa0 : 0x80;
        high = lead == 0xed ? 0x9f : 0xbf;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        more = 3;
        c = lead & 0x07u;
        low = lead == 0xf0 ? 0x90 : 0x80;
        high = lead == 0xf4 ? 0x8f : 0xbf;
    } else {
        return 0xfffd;
    }
    for (; more > 0; --more, low = 0x80, high = 0xbf) {
        if (at >= text.size() || byte(at) < low || byte(at) > high) {
            return 0xfffd;
        }
        c = (c << 6) | (byte(at++) & 0x3fu);
    }
    return c;
}

uint32_t hexUnit(std::string_view text, size_t at)
{
    uint32_t unit = 0;
    for (size_t i = 0; i < 4; ++i) {
        unit = unit << 4 | static_cast<uint32_t>(hexValue(text[at + i]));
    }
    return unit;
}

// The characters of the string at `at` as JSON.parse makes them, in UTF-8; a surrogate escaped
// without its pair stays one, encoded as any other code point.
std::vector<uint32_t> characters(std::string_view text, size_t at)
{
    std::vector<uint32_t> out;
    for (++at; text[at] != '"';) {
        if (text[at] != '\\') {
            out.push_back(nextCharacter(text, at));
            continue;
        }
        const char escape = text[at + 1];
        at += 2;
        if (escape != 'u') {
            const std::string_view from = "bfnrt";
            const size_t which = from.find(escape);
            out.push_back(which == std::string_view::npos ? static_cast<unsigned char>(escape) : "\b\f\n\r\t"[which]);
            continue;
        }
        uint32_t unit = hexUnit(text, at);
        at += 4;
        if (unit >= 0xd800 && unit <= 0xdbff && text.substr(at, 2) == "\\u") {
            if (const uint32_t next = hexUnit(text, at + 2); next >= 0xdc00 && next <= 0xdfff) {
                unit = 0x10000 + ((unit - 0xd800) << 10) + (next - 0xdc00);
                at += 6;
            }
        }
        out.push_back(unit);
    }
    return out;
}

std::string utf8(const std::vector<uint32_t>& characters)
{
    std::string out;
    for (const uint32_t c : characters) {
        appendCodePoint(out, c);
    }
    return out;
}

// A text as JSON.stringify writes it.
std::string quoted(const std::vector<uint32_t>& characters)
{
    std::string out = "\"";
    for (const uint32_t c : characters) {
        const std::string_view named = c == '"'    ? "\\\""
                                       : c == '\\' ? "\\\\"
                                       : c == '\b' ? "\\b"
                                       : c == '\f' ? "\\f"
                                       : c == '\n' ? "\\n"
                                       : c == '\r' ? "\\r"
                                       : c == '\t' ? "\\t"
                                                   : "";
        if (!named.empty()) {
            out += named;
        } else if (c < 0x20 || (c >= 0xd800 && c <= 0xdfff)) {
            constexpr const char* kHex = "0123456789abcdef";
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4) {
                out += kHex[(c >> shift) & 0xf];
            }
        } else {
            appendCodePoint(out, c);
        }
    }
    return out + "\"";
}

// A number as JSON.parse reads it: one beyond the largest double is infinite, one below the
// smallest is zero.
double parseNumber(std::string_view token)
{
    double value = 0;
    if (std::from_chars(token.data(), token.data() + token.size(), value).ec == std::errc::result_out_of_range) {
        const std::string whole(token);
        value = std::strtod(whole.c_str(), nullptr);
    }
    return value;
}

// A number as JavaScript writes it (Number.prototype.toString): the fewest digits that read back
// as the same double, in plain notation from 1e-6 up to 1e21, else with an exponent.
std::string javaScriptNumber(double value)
{
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-Infinity" : "Infinity";
    }
    if (value == 0) {
        return "0";
    }
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific);
    const std::string_view shortest(buffer, static_cast<size_t>(written.ptr - buffer)); // "d.ddde+XX"
    const size_t e = shortest.find('e');
    std::string digits(1, shortest[0]);
    if (e > 1) {
        digits += shortest.substr(2, e - 2);
    }
    int exponent = 0;
    std::from_chars(shortest.data() + e + (shortest[e + 1] == '+' ? 2 : 1), shortest.data() + shortest.size(),
                    exponent);
    const int k = static_cast<int>(digits.size());
    const int n = exponent + 1; // the value is 0.digits times 10^n
    std::string out = value < 0 ? "-" : "";
    if (k <= n && n <= 21) {
        out += digits + std::string(static_cast<size_t>(n - k), '0');
    } else if (0 < n && n <= 21) {
        out += digits.substr(0, static_cast<size_t>(n)) + "." + digits.substr(static_cast<size_t>(n));
    } else if (-6 < n && n <= 0) {
        out += "0." + std::string(static_cast<size_t>(-n), '0') + digits;
    } else {
        out += digits.substr(0, 1);
        if (k > 1) {
            out += "." + digits.substr(1);
        }
        out += (n - 1 < 0 ? "e-" : "e+") + std::to_string(std::abs(n - 1));
    }
    return out;
}

enum class Kind { Missing, Null, Boolean, Number, Text, Array, Object };

// A value where it stands in a line known to be JSON; nothing is copied until asked for.
class Value {
public:
    Value() = default;
    Value(std::string_view line, size_t at) : line_(line), at_(at) {}

    Kind kind() const
    {
        if (at_ == kNone) {
            return Kind::Missing;
        }
        switch (line_[at_]) {
        case 'n': return Kind::Null;
        case 't':
        case 'f': return Kind::Boolean;
        case '"': return Kind::Text;
        case '[': return Kind::Array;
        case '{': return Kind::Object;
        default: return Kind::Number;
        }
    }
    bool is(Kind kind) const { return this->kind() == kind; }
    bool isTrue() const { return line_[at_] == 't'; }
    double number() const { return parseNumber(line_.substr(at_, numberEnd(line_, at_) - at_)); }
    bool finite() const { return is(Kind::Number) && std::isfinite(number()); }
    std::vector<uint32_t> characters() const { return arena::characters(line_, at_); }
    std::string text() const { return utf8(characters()); }

    // The last member of that name, as JSON.parse keeps it; missing when none or not an object.
    Value member(std::string_view name) const
    {
        Value found;
        if (!is(Kind::Object)) {
            return found;
        }
        for (size_t at = skipSpace(line_, at_ + 1); line_[at] != '}';) {
            const size_t end = stringEnd(line_, at);
            const std::string_view raw = line_.substr(at + 1, end - at - 2);
            const bool match = raw.find('\\') == std::string_view::npos ? raw == name : Value(line_, at).text() == name;
            at = skipSpace(line_, skipSpace(line_, end) + 1);
            if (match) {
                found = Value(line_, at);
            }
            at = skipSpace(line_, valueEnd(line_, at));
            if (line_[at] == ',') {
                at = skipSpace(line_, at + 1);
            }
        }
        return found;
    }

    // Each item of an array in order, until `each` returns false.
    template <class Each> void items(Each each) const
    {
        if (!is(Kind::Array)) {
            return;
        }
        for (size_t at = skipSpace(line_, at_ + 1); line_[at] != ']';) {
            if (!each(Value(line_, at))) {
                return;
            }
            at = skipSpace(line_, valueEnd(line_, at));
            if (line_[at] == ',') {
                at = skipSpace(line_, at + 1);
            }
        }
    }
    size_t size() const
    {
        size_t count = 0;
        items([&count](const Value&) { return ++count != 0; });
        return count;
    }

private:
    std::string_view line_;
    size_t at_ = kNone;
};

std::string describe(const Value& value)
{
    switch (value.kind()) {
    case Kind::Missing: return "missing";
    case Kind::Null: return "null";
    case Kind::Boolean: return value.isTrue() ? "true" : "false";
    case Kind::Number: return "the number " + javaScriptNumber(value.number());
    case Kind::Array: return "an array of " + std::to_string(value.size());
    case Kind::Object: return "an object";
    case Kind::Text: break;
    }
    std::vector<uint32_t> text = value.characters();
    if (text.size() > 40) {
        text.resize(40);
        text.push_back(0x2026); // …
    }
    return "the text " + quoted(text);
}

// A recording the page cannot replay: the message, its line number in front.
struct Refusal {
    std::string message;
};

[[noreturn]] void refuse(size_t line, const std::string& message)
{
    throw Refusal{line == 0 ? message : concat("line ", std::to_string(line), ": ", message)};
}

// One record's fields; `where` names a field in messages ("car.location").
class Fields {
public:
    Fields(size_t line, Value record) : line_(line), record_(record) {}

    Value operator[](std::string_view name) const { return record_.member(name); }

    [[noreturn]] void fail(std::string_view where, std::string_view wanted, const Value& value) const
    {
        refuse(line_, concat("\"", where, "\" should be ", wanted, ", found ", describe(value)));
    }
    double number(std::string_view where, const Value& value) const
    {
        if (!value.finite()) {
            fail(where, "a finite number", value);
        }
        return value.number();
    }
    double number(std::string_view where) const { return number(where, (*this)[where]); }
    void text(std::string_view where, const Value& value) const
    {
        if (!value.is(Kind::Text)) {
            fail(where, "a text", value);
        }
    }
    void text(std::string_view where) const { text(where, (*this)[where]); }
    void object(std::string_view where, const Value& value) const
    {
        if (!value.is(Kind::Object)) {
            fail(where, "an object", value);
        }
    }
    std::vector<double> numbers(std::string_view where, size_t count, const Value& value) const
    {
        const std::string wanted = concat("an array of ", std::to_string(count), " finite numbers");
        if (!value.is(Kind::Array) || value.size() != count) {
            fail(where, wanted, value);
        }
        std::vector<double> out;
        value.items([&](const Value& item) {
            if (!item.finite()) {
                refuse(line_, concat("\"", where, "\" should be ", wanted, "; its item ",
                                     std::to_string(out.size() + 1), " is ", describe(item)));
            }
            out.push_back(item.number());
            return true;
        });
        return out;
    }
    void size(std::string_view where, const Value& value) const
    {
        const std::vector<double> size = numbers(where, 2, value);
        if (!(size[0] > 0 && size[1] > 0)) {
            fail(where, "a width and a height above 0", value);
        }
    }

private:
    size_t line_;
    Value record_;
};

bool isBlank(std::string_view line)
{
    return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

void checkHeader(std::string_view line)
{
    if (!isJson(line)) {
        refuse(1, "this is not a Volanko recording: the first line is not a JSON header");
    }
    const Value header(line, skipSpace(line, 0));
    const Fields f(1, header);
    const Value format = f["format"];
    if (!format.is(Kind::Text) || format.text() != kFormat) {
        refuse(1, concat("this is not a Volanko recording: the header's \"format\" should be \"", kFormat, "\", found ",
                         describe(format)));
    }
    const Value version = f["version"];
    if (!version.is(Kind::Number)) {
        f.fail("version", concat("the number ", javaScriptNumber(kVersion)), version);
    }
    if (version.number() != kVersion) {
        refuse(1, concat("this recording is format version ", javaScriptNumber(version.number()),
                         "; this page reads version ", javaScriptNumber(kVersion),
                         " only. Open it with the replay page of the Volanko that wrote it"));
    }
    const Value plugin = f["plugin"];
    f.object("plugin", plugin);
    if (const double fps = f.number("fps"); !(fps >= 1)) {
        f.fail("fps", "at least 1", f["fps"]);
    }
    if (f["frameEvery"].kind() != Kind::Missing) {
        f.number("frameEvery");
    }
    f.number("seed");
    f.text("level");
    f.text("plugin.name", plugin.member("name"));
    f.text("plugin.version", plugin.member("version"));
    f.size("canvas", f["canvas"]);
}

const std::string_view kContacts[] = {"ground", "wall", "air"};
const std::string_view kEventTypes[] = {"takeoff", "hit", "landing", "reset", "level"};

bool oneOf(const Value& value, std::span<const std::string_view> texts)
{
    if (!value.is(Kind::Text)) {
        return false;
    }
    const std::string text = value.text();
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// What the reader keeps of the frames before.
struct Previous {
    bool any = false;
    double frame = 0;
    size_t draws = 0;
};

void checkBody(const Fields& f, std::string_view body)
{
    const Value value = f[body];
    f.numbers(concat(body, ".location"), 3, value.member("location"));
    f.numbers(concat(body, ".rotation"), 3, value.member("rotation"));
}

void checkFrame(const Fields& f, Previous& previous)
{
    f.object("car", f["car"]);
    f.object("ball", f["ball"]);
    checkBody(f, "car");
    if (const Value contact = f["car"].member("contact"); !oneOf(contact, kContacts)) {
        f.fail("car.contact", "\"ground\", \"wall\" or \"air\"", contact);
    }
    const double frame = f.number("frame");
    if (previous.any && !(frame > previous.frame)) {
        f.fail("frame", concat("above the previous frame's ", javaScriptNumber(previous.frame)), f["frame"]);
    }
    f.number("time");
    checkBody(f, "ball");
    size_t draws = previous.draws;
    if (const Value list = f["draws"]; !list.is(Kind::Missing)) {
        if (!list.is(Kind::Array)) {
            f.fail("draws", "an array", list);
        }
        draws = 0;
        list.items([&](const Value& draw) {
            const std::string where = concat("draws[", std::to_string(draws++), "]");
            f.object(where, draw);
            f.text(concat(where, ".text"), draw.member("text"));
            f.numbers(concat(where, ".position"), 2, draw.member("position"));
            f.numbers(concat(where, ".color"), 4, draw.member("color"));
            f.numbers(concat(where, ".scale"), 2, draw.member("scale"));
            return true;
        });
    } else if (const Value texts = f["texts"]; !texts.is(Kind::Missing)) {
        if (!texts.is(Kind::Array) || texts.size() != draws) {
            f.fail("texts",
                   concat("an array of ", std::to_string(draws), " texts, one for each draw of the previous frame"),
                   texts);
        }
        size_t i = 0;
        texts.items([&](const Value& text) {
            f.text(concat("texts[", std::to_string(i++), "]"), text);
            return true;
        });
    }
    if (!f["canvas"].is(Kind::Missing)) {
        f.size("canvas", f["canvas"]);
    }
    previous = {true, frame, draws};
}

void checkEvent(const Fields& f, const std::string& type)
{
    f.number("time");
    if (type == "hit" || type == "takeoff" || type == "landing" || type == "reset") {
        f.numbers("location", 3, f["location"]);
    }
    if (type == "landing") {
        if (const Value contact = f["contact"]; !oneOf(contact, std::span(kContacts, 2))) {
            f.fail("contact", "\"ground\" or \"wall\"", contact);
        }
    }
    if (type == "reset") {
        f.numbers("velocity", 3, f["velocity"]);
    }
    if (type == "level") {
        f.text("level");
    }
}

} // namespace

RecordingCheck checkRecording(std::string_view text)
{
    if (text.starts_with("\xef\xbb\xbf")) {
        text.remove_prefix(3);
    }
    std::vector<std::string_view> lines;
    for (size_t at = 0;;) {
        const size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
        if (end == std::string_view::npos) {
            break;
        }
        at = end + 1;
    }
    const bool endsWithNewline = lines.back().empty();
    if (endsWithNewline) {
        lines.pop_back();
    }
    RecordingCheck check;
    try {
        if (lines.empty() || (lines.size() == 1 && isBlank(lines[0]))) {
            refuse(0, "the recording is empty");
        }
        checkHeader(lines[0]);
        Previous previous;
        size_t frames = 0;
        size_t end = 0; // the line of the end record; 0 while there is none
        for (size_t i = 1; i < lines.size(); ++i) {
            const size_t number = i + 1;
            const std::string_view line = lines[i];
            if (isBlank(line)) {
                continue;
            }
            if (!isJson(line)) {
                if (i == lines.size() - 1 && !endsWithNewline) {
                    check.warning =
                        concat("line ", std::to_string(number),
                               " is cut short (the recording stops in the middle of a record); showing the ",
                               std::to_string(frames), " frames before it");
                    break;
                }
                refuse(number, "not a JSON record");
            }
            const Value record(line, skipSpace(line, 0));
            const Fields f(number, record);
            f.object("record", record);
            if (end != 0) {
                refuse(number, concat("a record after the \"end\" record of line ", std::to_string(end)));
            }
            const Value type = f["type"];
            f.text("type", type);
            const std::string name = type.text();
            if (name == "frame") {
                checkFrame(f, previous);
                ++frames;
            } else if (std::find(std::begin(kEventTypes), std::end(kEventTypes), name) != std::end(kEventTypes)) {
                checkEvent(f, name);
            } else if (name == "end") {
                f.number("time");
                f.number("frames");
                end = number;
            }
            // Any other type comes from a newer writer and is skipped.
        }
        if (frames == 0) {
            refuse(lines.size(), "the recording holds no frame to show");
        }
        if (end == 0 && check.warning.empty()) {
            check.warning = concat("the recording has no \"end\" record: the session stopped before it finished "
                                   "writing; showing the ",
                                   std::to_string(frames), " frames it holds");
        }
    } catch (const Refusal& refusal) {
        check.error = refusal.message;
        check.warning.clear();
    }
    return check;
}

} // namespace arena

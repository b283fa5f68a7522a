#pragma once
// JSON documents as the host and the arena write them: nlohmann-json values, written by writeJson.
// Include this header, never <nlohmann/json.hpp> itself: the conversion of a float below must be
// the same in every file that makes a document.
//
// A document is a runtime::Json, nlohmann's ordered_json: an object keeps its members in the order
// they were added. writeJson writes it as nlohmann's compact dump() would, except where the texts
// the project has always written differ from dump()'s (tests/arena/json_test.cpp pins each rule):
// - a number in its shortest form that reads back as the same number, as std::to_chars writes it:
//   1920, -0, 0.1, 5e-04, 1e+30 (dump() writes 1920.0, -0.0, 0.0005 and may write more digits);
// - a number that is not finite (a plug-in may hand one over) as the string "NaN", "Infinity" or
//   "-Infinity" (dump() writes null);
// - in a string, only `"`, `\`, \n, \r, \t and the other bytes below 0x20 escaped, those as
//   \u00XX (dump() writes \b and \f); every other byte as it is, UTF-8 or not (dump() throws on a
//   byte that is not UTF-8, or replaces or drops it). A writer that must write valid UTF-8 makes
//   its strings so first (the recording does).
// A float becomes the double its own shortest text names (0.1f becomes 0.1, not
// 0.100000001490116...), so that it is written as that text; a Vector, a Vector2, a Rotator and a
// LinearColor become arrays of their members in the SDK's order.

#include <initializer_list>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "bakkesmod/wrappers/values.h"

namespace runtime {

using Json = nlohmann::ordered_json;

// The double that the shortest text of `value` names; a value that is not finite stays as it is.
double shortestDouble(float value);

// An object of these members, in this order; their keys must differ. Quicker to build than the same
// object from nlohmann's braces, which make each member an array first and regrow the object as
// it goes: the recording builds one for every frame it writes.
struct JsonMember {
    std::string_view key;
    mutable Json value; // moved into the object
};
// `room`: members that may be added later, which then move none of the others (a move of a member
// copies its value, since its key is const).
Json jsonObject(std::initializer_list<JsonMember> members, size_t room = 0);
// An empty array with room for `room` values.
Json jsonArray(size_t room);

// `value` as JSON text, appended to `out`.
void writeJson(std::string& out, const Json& value);
std::string jsonText(const Json& value);

// One JSON object written member by member, for values that are JSON text already: the call trace
// writes each call's arguments and result as the call happens. close() ends the object.
class JsonObjectWriter {
public:
    explicit JsonObjectWriter(std::string& out);               // writes nothing until the first member or close()
    void text(std::string_view key, std::string_view value);   // a string, escaped as writeJson does
    void written(std::string_view key, std::string_view json); // JSON text, as it is
    void value(std::string_view key, const Json& value);       // a value, as writeJson writes it
    void close();

private:
    void key(std::string_view key);

    static constexpr size_t kShortKey = 28;

    std::string& out_;
    bool first_ = true;
};

} // namespace runtime

namespace nlohmann {

template <> struct adl_serializer<float> {
    template <class Document> static void to_json(Document& json, float value)
    {
        json = runtime::shortestDouble(value);
    }
};

template <> struct adl_serializer<Vector> {
    template <class Document> static void to_json(Document& json, const Vector& value)
    {
        json = Document::array({value.x, value.y, value.z});
    }
};

template <> struct adl_serializer<Vector2> {
    template <class Document> static void to_json(Document& json, const Vector2& value)
    {
        json = Document::array({value.x, value.y});
    }
};

template <> struct adl_serializer<Rotator> {
    template <class Document> static void to_json(Document& json, const Rotator& value)
    {
        json = Document::array({value.pitch, value.yaw, value.roll});
    }
};

template <> struct adl_serializer<LinearColor> {
    template <class Document> static void to_json(Document& json, const LinearColor& value)
    {
        json = Document::array({value.r, value.g, value.b, value.a});
    }
};

} // namespace nlohmann

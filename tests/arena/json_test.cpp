// The texts runtime::writeJson writes, each where nlohmann-json's own dump() writes another, and
// the call trace's texts, written without a document, the same.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "runtime/json.h"
#include "runtime/trace.h"

namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();

TEST(Json, WritesNumbersAndStringsAsBefore)
{
    const runtime::Json document = {
        {"numbers", {1920.0f, -0.0f, 0.1f, 0.0005f, 1e30f, 123456792.0f, 0.1, std::nan(""), -kInfinity}},
        {"text", "\b\f\x01\x7f\"\\\n\xff\xe2\x82"},
        {"order", {{"z", 1}, {"a", true}, {"u", std::numeric_limits<uint64_t>::max()}, {"none", nullptr}}},
        {"empty", {runtime::Json::object(), runtime::Json::array()}}};
    EXPECT_EQ(runtime::jsonText(document),
              R"({"numbers":[1920,-0,0.1,5e-04,1e+30,123456792,0.1,"NaN","-Infinity"],)"
              "\"text\":\"\\u0008\\u000c\\u0001\x7f\\\"\\\\\\n\xff\xe2\x82\","
              R"("order":{"z":1,"a":true,"u":18446744073709551615,"none":null},"empty":[{},[]]})");
}

TEST(Json, TheTraceWritesWhatADocumentWould)
{
    for (const float value :
         {1920.0f, -0.0f, 0.1f, 0.0005f, 1e30f, 123456792.0f, -43.81f, 3.4e38f, 1e-45f, kInfinity}) {
        std::string trace;
        runtime::appendJson(trace, value);
        EXPECT_EQ(trace, runtime::jsonText(value)) << value;
    }
    std::string trace;
    runtime::appendJson(trace, Vector{0.1f, -0.0f, 1e30f});
    EXPECT_EQ(trace, runtime::jsonText(Vector{0.1f, -0.0f, 1e30f}));

    runtime::TraceEntry entry;
    entry.call = "Game\x01Wrapper::\"Get\"";
    EXPECT_EQ(entry.json(), R"({"call":"Game\u0001Wrapper::\"Get\"","args":[]})");
    std::string empty;
    runtime::JsonObjectWriter(empty).close();
    EXPECT_EQ(empty, "{}");
}

} // namespace

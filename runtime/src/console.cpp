#include "runtime/console.h"

#include <algorithm>
#include <cmath>

namespace runtime {

const CVar* Console::find(std::string_view name) const
{
    const int index = indexOf(name);
    return index < 0 ? nullptr : &cvars[static_cast<size_t>(index)];
}

int Console::indexOf(std::string_view name) const
{
    for (size_t i = 0; i < cvars.size(); ++i) {
        if (cvars[i].name == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

namespace {

float clampTo(const CVar& cvar, float value)
{
    if (cvar.hasMin && value < cvar.min) {
        value = cvar.min;
    }
    if (cvar.hasMax && value > cvar.max) {
        value = cvar.max;
    }
    return value;
}

NumericValue clampTo(const CVar& cvar, NumericValue value)
{
    value.low = clampTo(cvar, value.low);
    value.high = clampTo(cvar, value.high);
    return value;
}

} // namespace

int Console::registerCvar(CVar cvar)
{
    if (const int existing = indexOf(cvar.name); existing >= 0) {
        ++repeatedRegistrations;
        return existing;
    }
    const auto parsed = parseNumericValue(cvar.defaultValue);
    cvar.numeric = cvar.hasMin || cvar.hasMax || parsed.has_value();
    if (cvar.numeric) {
        cvar.parsed = clampTo(cvar, parsed.value_or(NumericValue{}));
        cvar.value = formatNumericValue(cvar.parsed);
    } else {
        cvar.value = cvar.defaultValue;
    }
    cvars.push_back(std::move(cvar));
    return static_cast<int>(cvars.size() - 1);
}

std::string Console::set(std::string_view name, std::string_view text)
{
    const int index = indexOf(name);
    if (index < 0) {
        return "no console variable named " + std::string(name);
    }
    CVar* cvar = &cvars[static_cast<size_t>(index)];
    if (!cvar->numeric) {
        cvar->value = text;
        return {};
    }
    const auto parsed = parseNumericValue(text);
    if (!parsed) {
        return cvar->name + ": " + quotedExcerpt(text) +
               " is neither a finite number nor a range \"(low, high)\"; the value stays \"" + cvar->value + "\"";
    }
    cvar->parsed = clampTo(*cvar, *parsed);
    cvar->value = formatNumericValue(cvar->parsed);
    return {};
}

float Console::draw(float low, float high)
{
    // 53 random bits to a double in [0, 1), then into the range; the result never leaves it.
    const double unit = static_cast<double>(random_() >> 11) * 0x1.0p-53;
    const auto value = static_cast<float>(low + (static_cast<double>(high) - low) * unit);
    return std::clamp(value, low, high);
}

float Console::readFloat(const CVar& cvar)
{
    if (reads) {
        return reads->readFloat(cvar, random_);
    }
    if (!cvar.numeric) {
        const auto parsed = parseNumericValue(cvar.value);
        return parsed ? parsed->low : 0.0f;
    }
    return cvar.parsed.isRange ? draw(cvar.parsed.low, cvar.parsed.high) : cvar.parsed.low;
}

bool Console::readBool(const CVar& cvar)
{
    if (reads) {
        return reads->readBool(cvar, random_);
    }
    return readFloat(cvar) != 0;
}

std::string Console::readString(const CVar& cvar)
{
    if (reads) {
        return reads->readString(cvar, random_);
    }
    return cvar.value;
}

} // namespace runtime

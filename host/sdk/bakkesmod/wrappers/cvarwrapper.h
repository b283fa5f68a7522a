#pragma once
// One console variable. Values are read fresh on every call: a range value such as "(-5, 5)"
// gives a newly drawn number within it on every numeric read.

#include <string>

#include "bakkesmod/wrappers/objectwrapper.h"

class CVarWrapper : public ObjectWrapper {
public:
    using ObjectWrapper::ObjectWrapper;

    bool IsNull() const;                // no such variable
    float getFloatValue() const;        // a number, or a fresh draw from a range; 0 for other text
    bool getBoolValue() const;          // the numeric value is not 0
    std::string getStringValue() const; // the value's text, as stored
};

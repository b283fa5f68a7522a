#pragma once
// Console variables, commands (notifiers) and the log.

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/cvar_value.h"

namespace runtime {

struct CVar {
    std::string name;
    std::string defaultValue;
    std::string description;
    bool searchable = true;
    bool hasMin = false;
    float min = 0; // meaningful only with hasMin
    bool hasMax = false;
    float max = 0;        // meaningful only with hasMax
    bool save = false;    // kept in the host's configuration
    bool numeric = false; // has a limit or a numeric default: only numbers and ranges are taken
    std::string value;    // as stored; canonical for numeric variables
    NumericValue parsed;  // numeric variables only
    uint32_t owner = 0;   // plug-in that registered it first; 0 for the host
};

struct Notifier {
    std::string name;
    std::string description;
    unsigned char permissions = 0;
    std::function<void(std::vector<std::string>)> callback;
    uint32_t owner = 0; // the plug-in that registered it
};

// Where a plug-in's reads of a variable come from instead of its value, while one is handed in (the
// validator's hostile reads). Each read may draw from `random`, the console's own generator.
class ReadSource {
public:
    virtual ~ReadSource() = default;
    virtual float readFloat(const CVar& cvar, std::mt19937_64& random) = 0;
    virtual bool readBool(const CVar& cvar, std::mt19937_64& random) = 0;
    virtual std::string readString(const CVar& cvar, std::mt19937_64& random) = 0;
};

class Console {
public:
    std::vector<CVar> cvars;         // in registration order; never removed
    std::vector<Notifier> notifiers; // in registration order
    std::vector<std::string> log;    // every line plug-ins logged, oldest first
    ReadSource* reads = nullptr;     // when set, every read comes from it; it must outlive its use

    void seed(uint64_t seed) { random_.seed(seed); }

    const CVar* find(std::string_view name) const; // null when none
    int indexOf(std::string_view name) const;      // -1 when none

    // Registers or, when the name exists, returns the existing one unchanged (counted as a repeat).
    int registerCvar(CVar cvar);
    uint32_t repeatedRegistrations = 0;

    // Sets a value by its text: numbers and ranges are clamped to the limits; a numeric variable
    // refuses any other text, keeping its value. Returns why it refused (naming the variable), or
    // empty when the value was taken.
    std::string set(std::string_view name, std::string_view text);

    float readFloat(const CVar& cvar);
    bool readBool(const CVar& cvar);
    std::string readString(const CVar& cvar);

private:
    float draw(float low, float high);
    std::mt19937_64 random_{0};
};

} // namespace runtime

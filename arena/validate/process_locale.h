#pragma once
// The process's locale as C and C++ see it: a plug-in must leave both as it found them, or the
// host's own number formatting changes under it.

#include <optional>
#include <string>

namespace arena::validate {

struct ProcessLocale {
    std::string c;   // setlocale's name for LC_ALL
    std::string cpp; // the global C++ locale's name
    bool operator==(const ProcessLocale&) const = default;
};

ProcessLocale currentLocale();

// Switches the process to a named locale other than "C" when one exists, so that a plug-in that
// resets the locale to "C" shows.
void useNamedLocale();

// "the process locale changed from "A" to "B"", or nothing when it is still `before`.
std::optional<std::string> localeChange(const ProcessLocale& before);

} // namespace arena::validate

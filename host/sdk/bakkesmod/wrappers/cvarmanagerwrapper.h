#pragma once
// The console: variables, commands and the log. One belongs to each loaded plug-in; what it
// registers is removed by the host when that plug-in is unloaded (variables and their values stay).

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "bakkesmod/wrappers/cvarwrapper.h"

class CVarManagerWrapper : public ObjectWrapper {
public:
    using ObjectWrapper::ObjectWrapper;

    // Creates a variable, or returns the existing one of that name unchanged. A limit is applied
    // only when its flag is true; `save` asks the host to keep the value in its configuration.
    CVarWrapper registerCvar(std::string name, std::string defaultValue, std::string description = "",
                             bool searchable = true, bool hasMin = false, float min = 0, bool hasMax = false,
                             float max = 0, bool save = true);

    // Typing `name` runs `callback` with the typed words, the name first. `permissions` is kept as given.
    void registerNotifier(std::string name, std::function<void(std::vector<std::string>)> callback,
                          std::string description, unsigned char permissions);

    CVarWrapper getCvar(std::string_view name); // holds nothing when there is no such variable
    void log(std::string_view text);            // one console line
};

#pragma once
// The file that keeps the saved console variables between sessions: one `name "value"` a line.
// Variables of plug-ins not loaded now are kept as they were.

#include <string>
#include <vector>

#include "console.h"

namespace arena {

struct ConfigEntry {
    std::string name;  // a console variable's name
    std::string value; // its text, as it will be set
    int line = 0;      // 1-based line in the file it came from; 0 when made here
};

// $XDG_CONFIG_HOME/volanko/arena.cfg, else $HOME/.config/volanko/arena.cfg; empty when neither is set.
std::string defaultConfigPath();

// Reads the file. A missing file gives no entries and no problem. Each malformed line is skipped
// and reported in `problems` as "file:line: message".
std::vector<ConfigEntry> readConfig(const std::string& path, std::vector<std::string>& problems);

// Sets each entry that names a variable registered to be saved; a refusal is reported in
// `problems` as "file:line: message".
void applyConfig(host::Console& console, const std::string& path, const std::vector<ConfigEntry>& entries,
                 std::vector<std::string>& problems);

// The saved variables now, then the entries from the file whose variable is not registered.
std::vector<ConfigEntry> configToSave(const host::Console& console, const std::vector<ConfigEntry>& fromFile);

// Writes the entries to a temporary file in the same directory (made when missing), syncs it and
// renames it over `path`, so that the file is always either the old one or the new one. False
// with `error` set on failure; a value that cannot be written in a line (a quote or a line break
// in it) is left out and reported in `error` while the rest is written.
bool writeConfig(const std::string& path, const std::vector<ConfigEntry>& entries, std::string& error);

} // namespace arena

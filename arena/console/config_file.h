#pragma once
// The file that keeps the saved console variables between sessions. Only a regular file of a
// bounded size is read or written (a symbolic link is followed to one), and only when this user
// may change it; a session writes back only the variables it changed, merged into the file as it
// is on disk then, under an advisory lock, and keeps every other line, the file's mode, owner and
// other names.

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "arena/console/config_text.h"
#include "runtime/console.h"

namespace arena {

// $XDG_CONFIG_HOME/`folder`/arena.cfg, else $HOME/.config/`folder`/arena.cfg (on Windows
// %APPDATA%\`folder`\arena.cfg); empty when neither is set.
std::string defaultConfigPath(std::string_view folder);

// Sets each entry that names a variable registered to be saved; a refusal is reported in
// `problems` as "file:line: message".
// Sets a variable by its text: why it was refused, or empty when taken (runtime::Host::setVariable).
using VariableSetter = std::function<std::string(std::string_view name, std::string_view text)>;

void applyConfig(const runtime::Console& console, const VariableSetter& set, const std::string& path,
                 const std::vector<ConfigEntry>& entries, std::vector<std::string>& problems);

// One session's use of the file: read and applied at the start, its changes saved at the end.
class ConfigFile {
public:
    explicit ConfigFile(std::string path) : path_(std::move(path)) {}

    // Reads the file and applies its settings to `console`, whose plug-in has registered its
    // variables; the values then are what later changes are measured against. What the user must
    // know (malformed lines, refusals, why the file will not be saved) is appended to `messages`.
    void load(const runtime::Console& console, const VariableSetter& set, std::vector<std::string>& messages);

    // Merges the saved variables that differ from their values after load() into the file. Writes
    // nothing when the merged file is the same. False with `messages` saying why when not saved.
    bool save(const runtime::Console& console, std::vector<std::string>& messages) const;

private:
    std::string path_;                         // as the user gave it
    std::string refusal_;                      // why the file must not be written; empty when it may
    std::map<std::string, std::string> start_; // saved variables' values after load()
};

} // namespace arena

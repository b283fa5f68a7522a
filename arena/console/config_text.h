#pragma once
// The configuration file's text, apart from the disk: parsed into lines and rendered back with
// changed values, every other byte kept. Pure functions of their arguments.

#include <string>
#include <string_view>
#include <vector>

namespace arena {

struct ConfigEntry {
    std::string name;  // a console variable's name
    std::string value; // its text, as it will be set
    int line = 0;      // 1-based line in the file it came from; 0 when made here
};

struct ConfigLine {
    std::string text; // the line as in the file, without its line break (a carriage return kept)
    std::string name; // the variable the line sets; empty for a blank, comment or malformed line
    std::string value;
};

struct ConfigText {
    bool byteOrderMark = false; // the file began with a UTF-8 byte-order mark (not part of lines)
    bool finalBreak = true;     // the last line ended with a line break (or there was none)
    std::vector<ConfigLine> lines;
    std::vector<std::string> problems; // "LINE: message" for each malformed line
};

// Splits the bytes of a file into lines; a line is blank, a comment, or `name "value"`.
ConfigText parseConfig(std::string_view bytes);

// The settings in file order.
std::vector<ConfigEntry> configEntries(const ConfigText& text);

// The file with `changes` merged in: each line that sets a changed variable is rewritten with the
// new value, a variable the file lacks is added at the end, and every other line is kept as it
// was. A change that cannot be written in a line (an empty or odd name, a quote or a line break in
// the value) is left out and its name appended to `skipped`.
std::string renderConfig(const ConfigText& text, const std::vector<ConfigEntry>& changes,
                         std::vector<std::string>& skipped);

} // namespace arena

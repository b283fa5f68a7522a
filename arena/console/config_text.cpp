#include "arena/console/config_text.h"

#include "arena/console/console_line.h"

namespace arena {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool writable(const ConfigEntry& entry)
{
    return !entry.name.empty() && entry.name.find_first_of(" \t\r\n\"#/") == std::string::npos &&
           entry.value.find_first_of("\"\r\n") == std::string::npos;
}

std::string settingLine(const ConfigEntry& entry)
{
    std::string line = entry.name;
    line += " \"";
    line += entry.value;
    line += '"';
    return line;
}

// Whether `text` is `name "value"` as written: the name bare, the value in quotes (a file of other
// two-word lines, a shell's `export A=1`, is not one of settings).
bool quotedValue(std::string_view text, std::string_view name)
{
    const size_t start = text.find_first_not_of(" \t");
    const size_t value = text.find_first_not_of(" \t", start + name.size());
    return text.substr(start, name.size()) == name && value != std::string_view::npos && text[value] == '"' &&
           value > start + name.size();
}

} // namespace

ConfigText parseConfig(std::string_view bytes)
{
    ConfigText text;
    if (bytes.starts_with(kByteOrderMark)) {
        text.byteOrderMark = true;
        bytes.remove_prefix(kByteOrderMark.size());
    }
    text.finalBreak = bytes.empty() || bytes.back() == '\n';
    int number = 0;
    while (!bytes.empty()) {
        const size_t end = bytes.find('\n');
        ConfigLine line{std::string(bytes.substr(0, end)), {}, {}};
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        ++number;
        std::string error;
        const auto words = splitConsoleLine(line.text, error);
        if (!words) {
            text.problems.push_back(std::to_string(number) + ": " + error);
        } else if (words->size() == 2 && quotedValue(line.text, (*words)[0])) {
            line.name = (*words)[0];
            line.value = (*words)[1];
        } else if (!words->empty()) {
            text.problems.push_back(std::to_string(number) + ": expected a name and a quoted value: name \"value\"");
        }
        text.lines.push_back(std::move(line));
    }
    return text;
}

std::vector<ConfigEntry> configEntries(const ConfigText& text)
{
    std::vector<ConfigEntry> entries;
    for (size_t i = 0; i < text.lines.size(); ++i) {
        if (!text.lines[i].name.empty()) {
            entries.push_back({text.lines[i].name, text.lines[i].value, static_cast<int>(i + 1)});
        }
    }
    return entries;
}

std::string renderConfig(const ConfigText& text, const std::vector<ConfigEntry>& changes,
                         std::vector<std::string>& skipped)
{
    std::vector<bool> placed(changes.size(), false);
    std::string out = text.byteOrderMark ? std::string(kByteOrderMark) : std::string();
    for (size_t i = 0; i < text.lines.size(); ++i) {
        const ConfigLine& line = text.lines[i];
        std::string kept = line.text;
        for (size_t c = 0; c < changes.size(); ++c) {
            if (!line.name.empty() && line.name == changes[c].name && writable(changes[c])) {
                kept = settingLine(changes[c]);
                if (line.text.ends_with('\r')) {
                    kept += '\r';
                }
                placed[c] = true;
            }
        }
        out += kept;
        if (i + 1 < text.lines.size() || text.finalBreak) {
            out += '\n';
        }
    }
    bool lineOpen = !text.finalBreak;
    for (size_t c = 0; c < changes.size(); ++c) {
        if (!writable(changes[c])) {
            skipped.push_back(changes[c].name);
        } else if (!placed[c]) {
            if (lineOpen) {
                out += '\n';
                lineOpen = false;
            }
            out += settingLine(changes[c]);
            out += '\n';
            placed[c] = true;
        }
    }
    return out;
}

} // namespace arena

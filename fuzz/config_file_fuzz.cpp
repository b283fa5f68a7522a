// Any bytes as the arena's configuration file. Reading never fails on bad bytes: each bad line is
// reported once, by its line. A file read without a change renders back byte for byte, and a
// session that changes nothing leaves it untouched; a session that changes a value writes a file
// that reads back with no problem and with that value, or, refused, leaves the file as it was.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "arena/console/config_file.h"
#include "arena/console/config_text.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_outcome.h"
#include "runtime/console.h"

namespace {
// What the arena hands the file: the host's setter, here a bare console's.
arena::VariableSetter setterOf(runtime::Console& console)
{
    return [&console](std::string_view name, std::string_view text) { return console.set(name, text); };
}
} // namespace

namespace {

uint64_t lastOutcome = 0;

// A folder of this process's own, in memory when the system has one: saving syncs the file. Kept
// to the end of the process, past the static objects, so that it can be removed then.
const std::string& folder()
{
    static const std::string* made = [] {
        std::string pattern = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        pattern += "/volanko-fuzz-config-XXXXXX";
        check(::mkdtemp(pattern.data()) != nullptr, "cannot make a temporary folder");
        std::atexit([] {
            std::remove((*made + "/arena.cfg").c_str());
            std::remove(made->c_str());
        });
        return new std::string(pattern);
    }();
    return *made;
}

std::string contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The plug-in's saved variables as it registers them, so that applying the file sets some.
runtime::Console pluginConsole()
{
    runtime::Console console;
    for (const auto& [name, value, low, high] :
         {std::tuple{"volanko_balllocation_x", "(-5000, 5000)", -5000, 5000},
          std::tuple{"volanko_throwplayer", "1", 0, 1}, std::tuple{"volanko_throwlevel", "beginner", 0, 0}}) {
        runtime::CVar cvar;
        cvar.name = name;
        cvar.defaultValue = value;
        cvar.save = true;
        cvar.hasMin = cvar.hasMax = low < high;
        cvar.min = static_cast<float>(low);
        cvar.max = static_cast<float>(high);
        console.registerCvar(cvar);
    }
    return console;
}

} // namespace

extern "C" uint64_t VolankoFuzzOutcome()
{
    return lastOutcome;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const arena::ConfigText text = arena::parseConfig(bytes);
    const size_t lines = std::ranges::count(bytes, '\n') + (size > 0 && bytes.back() != '\n');
    for (const std::string& problem : text.problems) {
        const int line = std::atoi(problem.c_str());
        check(line >= 1 && static_cast<size_t>(line) <= lines, "a problem not at a line of the file: " + problem);
    }
    int lastLine = 0;
    for (const arena::ConfigEntry& entry : arena::configEntries(text)) {
        check(entry.line > lastLine && static_cast<size_t>(entry.line) <= lines,
              "an entry out of the file's line order: " + entry.name);
        lastLine = entry.line;
    }
    std::vector<std::string> skipped;
    check(!text.problems.empty() || (arena::renderConfig(text, {}, skipped) == bytes && skipped.empty()),
          "a file rendered without a change came back different");

    const std::string path = folder() + "/arena.cfg";
    check(!(std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes).flush().fail(), "cannot write " + path);
    runtime::Console console = pluginConsole();
    std::vector<std::string> messages;
    arena::ConfigFile file(path);
    file.load(console, setterOf(console), messages);
    file.save(console, messages);
    check(contents(path) == bytes, "a session that changed nothing rewrote the file");
    const std::string level = console.find("volanko_throwlevel")->value == "pro" ? "hard" : "pro";
    console.set("volanko_throwlevel", level);
    const bool saved = file.save(console, messages);
    const std::string after = contents(path);
    check(saved || after == bytes, "a refused save changed the file");
    if (saved) {
        const arena::ConfigText back = arena::parseConfig(after);
        check(back.problems.empty(), "the saved file reads with a problem:\n" + after);
        int found = 0;
        for (const arena::ConfigEntry& entry : arena::configEntries(back)) {
            if (entry.name == "volanko_throwlevel") {
                found += entry.value == level ? 1 : -1000;
            }
        }
        check(found >= 1, "the saved file does not set the changed value:\n" + after);
    }
    lastOutcome = 0xcbf29ce484222325ULL;
    for (const char c : after) {
        lastOutcome = (lastOutcome ^ static_cast<uint8_t>(c)) * 0x100000001b3ULL;
    }
    lastOutcome ^= text.problems.size() * 0x9e3779b97f4a7c15ULL + saved;
    return 0;
}

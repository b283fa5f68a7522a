// Any bytes as the arena's configuration file, read, applied and saved the way the arena does at
// the start and the end of a session. Reading never fails on bad bytes: each bad line is reported
// once, with its file and line. Saving is a fixed point: the saved file reads back with no problem
// to the same entries, and reading and saving it again writes it byte for byte.

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "config_file.h"
#include "console.h"
#include "fuzz_outcome.h"

namespace {

uint64_t lastOutcome = 0;

void fail(const std::string& what)
{
    std::fprintf(stderr, "%s\n", what.c_str());
    std::abort();
}

// A folder of this process's own, in memory when the system has one: saving syncs the file. Kept
// to the end of the process, past the static objects, so that it can be removed then.
const std::string& folder()
{
    static const std::string* made = [] {
        std::string pattern = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        pattern += "/volanko-fuzz-config-XXXXXX";
        if (!::mkdtemp(pattern.data())) {
            fail("cannot make a temporary folder");
        }
        std::atexit([] {
            std::remove((*made + "/arena.cfg").c_str());
            std::remove(made->c_str());
        });
        return new std::string(pattern);
    }();
    return *made;
}

void put(const std::string& path, const uint8_t* data, size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out.flush()) {
        fail("cannot write " + path);
    }
}

std::string contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

host::CVar saved(const char* name, const char* value, float low, float high)
{
    host::CVar cvar;
    cvar.name = name;
    cvar.defaultValue = value;
    cvar.save = true;
    cvar.hasMin = cvar.hasMax = low < high;
    cvar.min = low;
    cvar.max = high;
    return cvar;
}

// The plug-in's saved variables as it registers them, so that applying the file sets some.
host::Console pluginConsole()
{
    host::Console console;
    console.registerCvar(saved("volanko_balllocation_x", "(-5000, 5000)", -5000, 5000));
    console.registerCvar(saved("volanko_throwplayer", "1", 0, 1));
    console.registerCvar(saved("volanko_throwlevel", "beginner", 0, 0));
    return console;
}

// One session's reading and saving; gives the text saved and sets `leftOut` to what could not be.
std::string session(const std::string& path, std::vector<arena::ConfigEntry>& read, std::vector<std::string>& problems,
                    std::string& leftOut)
{
    host::Console console = pluginConsole();
    read = arena::readConfig(path, problems);
    arena::applyConfig(console, path, read, problems);
    leftOut.clear();
    if (!arena::writeConfig(path, arena::configToSave(console, read), leftOut)) {
        fail("cannot save: " + leftOut);
    }
    return contents(path);
}

size_t lineCount(const uint8_t* data, size_t size)
{
    size_t lines = 0;
    for (size_t i = 0; i < size; ++i) {
        lines += data[i] == '\n' || i + 1 == size;
    }
    return lines;
}

} // namespace

extern "C" uint64_t VolankoFuzzOutcome()
{
    return lastOutcome;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = folder() + "/arena.cfg";
    put(path, data, size);

    std::vector<arena::ConfigEntry> first;
    std::vector<std::string> problems;
    std::string leftOut;
    std::string saved = session(path, first, problems, leftOut);
    lastOutcome = 0xcbf29ce484222325ULL;
    for (const char c : saved) {
        lastOutcome = (lastOutcome ^ static_cast<uint8_t>(c)) * 0x100000001b3ULL;
    }
    lastOutcome ^= problems.size();
    const size_t lines = lineCount(data, size);
    const std::string prefix = path + ':';
    for (const std::string& problem : problems) {
        const int line = problem.rfind(prefix, 0) == 0 ? std::atoi(problem.c_str() + prefix.size()) : 0;
        if (line < 1 || static_cast<size_t>(line) > lines) {
            fail("a problem not at a line of the file: " + problem);
        }
    }
    int lastLine = 0;
    for (const arena::ConfigEntry& entry : first) {
        if (entry.line <= lastLine || static_cast<size_t>(entry.line) > lines) {
            fail("an entry out of the file's line order: " + entry.name);
        }
        lastLine = entry.line;
    }

    // Today's writer passes a name with a vertical tab or a form feed in it (only quotes put one
    // there), which reads back as two words: such a file is only checked to read and save safely.
    for (const arena::ConfigEntry& entry : first) {
        if (entry.name.find_first_of("\v\f") != std::string::npos) {
            return 0;
        }
    }

    // A value that cannot be written is left out of the first save, and its variable is saved at
    // its default the next time; from then on the file stays as it is.
    std::vector<arena::ConfigEntry> again;
    std::string savedAgain;
    const int sessions = leftOut.empty() ? 1 : 2;
    for (int round = 0; round < sessions; ++round) {
        std::vector<std::string> laterProblems;
        if (round == 1) {
            saved = savedAgain;
        }
        savedAgain = session(path, again, laterProblems, leftOut);
        if (!laterProblems.empty()) {
            fail("the saved file reads with a problem: " + laterProblems.front());
        }
    }
    if (!leftOut.empty() || savedAgain != saved) {
        fail("a file read and saved unchanged was written differently:\n" + saved + "---\n" + savedAgain + leftOut);
    }
    // Every saved variable is in the file, ahead of the ones kept for other plug-ins.
    const host::Console console = pluginConsole();
    for (size_t i = 0; i < console.cvars.size(); ++i) {
        if (i >= again.size() || again[i].name != console.cvars[i].name) {
            fail("the saved variables are not first in the saved file");
        }
    }

    return 0;
}

#pragma once
// The arena program run as a user runs it, from a temporary folder of the test's own that holds
// its input, its output and its configuration home; the folder goes with the object.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

inline std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;

    std::vector<std::string> lines() const { return linesOf(out); } // standard output, line by line
};

class ArenaProgram {
public:
    ArenaProgram()
    {
        char pattern[] = "/tmp/arena-test-XXXXXX";
        EXPECT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    ~ArenaProgram() { EXPECT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0); }
    ArenaProgram(const ArenaProgram&) = delete;
    ArenaProgram& operator=(const ArenaProgram&) = delete;

    std::string file(const std::string& name, const std::string& text) const
    {
        const std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    std::string read(const std::string& path) const
    {
        std::stringstream text;
        text << std::ifstream(path, std::ios::binary).rdbuf();
        return text.str();
    }

    // `args` are words split on spaces, each passed as it is; `input` is standard input; `as` a
    // command the program runs under. A run that outlasts a minute is ended.
    Outcome run(const std::string& args, const std::string& input = "", const std::string& as = "") const
    {
        std::string command = "XDG_CONFIG_HOME='" + dir + "/config' timeout 60 " + as + "'" ARENA_PROGRAM "'";
        std::istringstream words(args);
        for (std::string word; words >> word;) {
            command += " '" + word + "'";
        }
        command += " <'" + file("stdin", input) + "' >'" + (output.empty() ? dir + "/stdout" : output) + "' 2>'" + dir +
                   "/stderr'";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read(dir + "/stdout"), read(dir + "/stderr")};
    }

    std::string dir;
    std::string output; // where standard output goes when not to the folder's file
};

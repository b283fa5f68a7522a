#pragma once
// The arena program run as a user runs it, from a temporary folder of the test's own that holds
// its input, its output and its configuration home; the folder goes with the object.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <filesystem>
#include <random>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

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

// A header, one frame drawing a text that holds a "<", the end.
inline constexpr const char* kRecording =
    R"({"format":"volanko-recording","version":1,"seed":7,"level":"beginner","plugin":{"name":"Volanko",)"
    R"("version":"1.0"},"fps":120,"canvas":[1920,1080]})"
    "\n"
    R"({"type":"frame","time":0,"frame":0,"car":{"location":[0,-4608,17],"rotation":[0,0,0],"contact":"ground"},)"
    R"("ball":{"location":[0,0,91.25],"rotation":[0,0,0]},"draws":[{"text":"<b>","position":[0,0],)"
    R"("color":[255,255,255,255],"scale":[1,1]}]})"
    "\n"
    R"({"type":"end","time":0,"frames":1})"
    "\n";

class ArenaProgram {
public:
#ifdef _WIN32
    ArenaProgram()
    {
        std::random_device random;
        const std::filesystem::path temp = std::filesystem::temp_directory_path();
        for (int tries = 0; dir.empty() && tries < 100; ++tries) {
            const std::filesystem::path folder = temp / ("arena-test-" + std::to_string(random()));
            dir = std::filesystem::create_directory(folder) ? folder.string() : "";
        }
        EXPECT_FALSE(dir.empty());
    }
    ~ArenaProgram()
    {
        EXPECT_GT(std::filesystem::remove_all(dir), 0u);
    }
#else
    ArenaProgram()
    {
        char pattern[] = "/tmp/arena-test-XXXXXX";
        EXPECT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    ~ArenaProgram()
    {
        EXPECT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0);
    }
#endif
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

#ifdef _WIN32
    // `args` are words split on spaces, each passed as it is; `input` is standard input. The
    // configuration and state folders (%APPDATA%, %LOCALAPPDATA%) are the object's. A run that
    // outlasts `seconds` is ended. Windows line ends in the output read as plain ones.
    Outcome run(const std::string& args, const std::string& input = "", double seconds = 60) const
    {
        std::string line = quoted(ARENA_PROGRAM);
        std::istringstream words(args);
        for (std::string word; words >> word;) {
            line += " " + quoted(word);
        }
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        const auto open = [&inherited](const std::string& path, bool write) {
            return CreateFileA(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               &inherited, write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        };
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = open(file("stdin", input), false);
        startup.hStdOutput = open(output.empty() ? dir + "/stdout" : output, true);
        startup.hStdError = open(dir + "/stderr", true);
        // The program inherits this process's environment, set for the run and put back after it.
        const std::string config = dir + "\\config";
        std::vector<std::pair<const char*, std::string>> saved;
        for (const char* name : {"APPDATA", "LOCALAPPDATA"}) {
            char value[32768];
            const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
            saved.emplace_back(name, std::string(value, length < sizeof value ? length : 0));
            SetEnvironmentVariableA(name, config.c_str());
        }
        // In a job, so that a kill ends the processes the program started as well.
        PROCESS_INFORMATION process{};
        DWORD status = static_cast<DWORD>(-1);
        HANDLE job = CreateJobObjectA(nullptr, nullptr);
        const bool started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr,
                                            nullptr, &startup, &process);
        EXPECT_TRUE(started) << line << ": error " << GetLastError();
        if (started) {
            EXPECT_TRUE(AssignProcessToJobObject(job, process.hProcess));
            ResumeThread(process.hThread);
            if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(seconds * 1000)) == WAIT_TIMEOUT) {
                TerminateJobObject(job, status);
                WaitForSingleObject(process.hProcess, INFINITE);
            }
            GetExitCodeProcess(process.hProcess, &status);
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
        CloseHandle(job);
        for (const auto& [name, value] : saved) {
            SetEnvironmentVariableA(name, value.empty() ? nullptr : value.c_str());
        }
        for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
            CloseHandle(handle);
        }
        return {static_cast<int>(status), plainLineEnds(read(dir + "/stdout")), plainLineEnds(read(dir + "/stderr"))};
    }
    Outcome killedAfter(int seconds, const std::string& args) const
    {
        return run(args, "", seconds);
    }

    // `word` as one word of a command line that the program splits by the C runtime's rules.
    static std::string quoted(const std::string& word)
    {
        std::string text = "\"";
        size_t backslashes = 0;
        for (const char c : word) {
            backslashes = c == '\\' ? backslashes + 1 : 0;
            text += c == '"' ? std::string(backslashes + 1, '\\') + '"' : std::string(1, c);
        }
        return text + std::string(backslashes, '\\') + '"';
    }

    static std::string plainLineEnds(std::string text)
    {
        for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
            text.erase(at, 1);
        }
        return text;
    }
#else
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
    // The run killed from outside after `seconds`.
    Outcome killedAfter(int seconds, const std::string& args) const
    {
        return run(args, "", "timeout -s KILL " + std::to_string(seconds) + " ");
    }
#endif

    std::string dir;
    std::string output; // where standard output goes when not to the folder's file
};

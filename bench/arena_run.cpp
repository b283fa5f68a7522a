#include "bench/arena_run.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace bench {

std::string runQuietly(const std::string& program, const std::vector<std::string>& args)
{
    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        std::string message = program;
        message += ": ";
        message += std::strerror(spawned);
        return message;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            std::string message = "waitpid: ";
            message += std::strerror(errno);
            return message;
        }
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        return {};
    }
    std::string message = program;
    if (WIFEXITED(status)) {
        message += " exited with status ";
        message += std::to_string(WEXITSTATUS(status));
    } else {
        message += " ended by signal ";
        message += std::to_string(WTERMSIG(status));
    }
    return message;
}

} // namespace bench

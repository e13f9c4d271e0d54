// Starting a program without waiting for it, on POSIX.
#include "platform/detached_start.h"

#include "platform/command_line.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <vector>

extern char** environ;

namespace brevok {

bool StartDetached(const std::string& commandLine)
{
    const std::vector<std::string> words = SplitCommandWithProgram(commandLine);
    if (words.empty())
        return false;
    // A short-lived shell puts the program in the background and ends; the program then
    // belongs to init, which reaps it, so nothing is left for us to wait for later.
    std::vector<std::string> args = {"sh", "-c", "\"$@\" </dev/null >/dev/null 2>&1 &", "sh"};
    args.insert(args.end(), words.begin(), words.end());
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace brevok

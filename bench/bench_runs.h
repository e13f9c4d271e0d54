// What the benchmarks that start programs share: a quiet start of a program, and the median
// of the timings of several rounds.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace brevok::bench {

/// Runs `argv` (looked up on PATH) in `folder` (the current one when empty) with its output
/// discarded; its exit code, or -1 when it did not start or end normally.
inline int RunQuietly(std::vector<std::string> argv, const std::string& folder = {})
{
    std::vector<char*> args;
    for (std::string& a : argv)
        args.push_back(a.data());
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!folder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int status = 0;
    const bool ran = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) == 0 &&
        waitpid(pid, &status, 0) == pid && WIFEXITED(status);
    posix_spawn_file_actions_destroy(&actions);
    return ran ? WEXITSTATUS(status) : -1;
}

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

/// A field of /proc/self/status in bytes ("VmHWM", "VmRSS"); 0 where there is none.
inline std::size_t StatusBytes(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with(field + ":"))
            return std::stoull(line.substr(field.size() + 1)) * 1024;
    }
    return 0;
}

}  // namespace brevok::bench

// Running a program under a benchmark so that its peak memory is its own.
#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

namespace brevok::bench {

/// Waits for the child `pid` (a failed fork gives -1); true when it exited with 0. Its peak
/// resident size goes into `peakKb` when larger.
inline bool AwaitChild(pid_t pid, long& peakKb)
{
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return false;
    peakKb = std::max(peakKb, usage.ru_maxrss);
    return true;
}

// Runs a program with its output (standard output and error) discarded; its peak resident size goes into `peakKb`. The
// program starts from fork and exec, not posix_spawn: a child that shares our memory until
// exec (vfork) would inherit our own peak as its starting figure.
inline bool RunProgram(const std::vector<std::string>& argv, long& peakKb)
{
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execv(args[0], args.data());
        _exit(127);
    }
    return AwaitChild(pid, peakKb);
}

}  // namespace brevok::bench

// The runners' primitives on POSIX: posix_spawn into a process group of its own, a wait on
// the child's pidfd and output pipe, and an end for every child it starts.
#include "platform/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <thread>

extern char** environ;

namespace brevok {

namespace os {

namespace {

/// The longest sleep of one look at the child: a pidfd wakes the wait at the child's end,
/// this only bounds a wait that nothing else wakes.
constexpr std::chrono::milliseconds kLongestSlice{1000};
/// How often the child is looked at when the kernel offers no process descriptor.
constexpr std::chrono::milliseconds kFallbackPollInterval{2};

void CloseQuietly(int& fd)
{
    if (fd >= 0)
        close(fd);
    fd = -1;
}

/// Owns what posix_spawn needs and releases it on every path.
class SpawnSetup {
public:
    SpawnSetup()
    {
        posix_spawn_file_actions_init(&actions_);
        posix_spawnattr_init(&attributes_);
    }
    ~SpawnSetup()
    {
        posix_spawn_file_actions_destroy(&actions_);
        posix_spawnattr_destroy(&attributes_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    /// Standard input from /dev/null, standard output and error to the descriptors given
    /// (-1 keeps the caller's), nothing else inherited; a new process group when asked;
    /// default signal dispositions and an empty signal mask.
    int Prepare(int outputFd, int errorFd, ChildGroup group)
    {
        int rc = posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0);
        if (rc == 0 && outputFd >= 0)
            rc = posix_spawn_file_actions_adddup2(&actions_, outputFd, 1);
        if (rc == 0 && errorFd >= 0)
            rc = posix_spawn_file_actions_adddup2(&actions_, errorFd, 2);
        if (rc == 0)
            rc = posix_spawn_file_actions_addclosefrom_np(&actions_, 3);
        sigset_t none;
        sigset_t all;
        sigemptyset(&none);
        sigfillset(&all);
        if (rc == 0)
            rc = posix_spawnattr_setflags(&attributes_,
                                          (group == ChildGroup::Own ? POSIX_SPAWN_SETPGROUP : 0) |
                                              POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        if (rc == 0)
            rc = posix_spawnattr_setpgroup(&attributes_, 0);
        if (rc == 0)
            rc = posix_spawnattr_setsigmask(&attributes_, &none);
        if (rc == 0)
            rc = posix_spawnattr_setsigdefault(&attributes_, &all);
        return rc;
    }

    const posix_spawn_file_actions_t* Actions() const { return &actions_; }
    const posix_spawnattr_t* Attributes() const { return &attributes_; }

private:
    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attributes_;
};

/// The child's status without blocking: Ended once it was reaped, Failed when it cannot be
/// waited for, Running while it still runs.
ChildState TryReap(ChildProcess& child)
{
    pid_t got;
    do {
        got = waitpid(child.pid, &child.status, WNOHANG);
    } while (got < 0 && errno == EINTR);
    if (got == child.pid)
        return ChildState::Ended;
    return got == 0 ? ChildState::Running : ChildState::Failed;
}

/// Starts the child once its pipe, if any, is made; closes the child's end of the pipe.
int SpawnWith(const std::vector<std::string>& argv, const SpawnRequest& request, int (&pipeFds)[2], pid_t& pid)
{
    SpawnSetup setup;
    const bool capture = request.output == ChildOutput::Capture;
    const int outputFd = request.output == ChildOutput::Descriptor ? request.outputFd : -1;
    int rc =
        capture ? setup.Prepare(pipeFds[1], pipeFds[1], request.group) : setup.Prepare(outputFd, -1, request.group);
    if (rc == 0) {
        std::vector<char*> pointers;
        for (const std::string& argument : argv)
            pointers.push_back(const_cast<char*>(argument.c_str()));
        pointers.push_back(nullptr);
        rc = posix_spawn(&pid, argv.front().c_str(), setup.Actions(), setup.Attributes(), pointers.data(), environ);
    }
    CloseQuietly(pipeFds[1]);
    return rc;
}

}  // namespace

int SpawnChild(const std::vector<std::string>& argv, const SpawnRequest& request, ChildProcess& child)
{
    int pipeFds[2] = {-1, -1};
    if (request.output == ChildOutput::Capture && pipe2(pipeFds, O_CLOEXEC) != 0)
        return errno;
    pid_t pid = -1;
    if (const int rc = SpawnWith(argv, request, pipeFds, pid); rc != 0) {
        CloseQuietly(pipeFds[0]);
        return rc;
    }
    child.pid = pid;
    child.outputFd = pipeFds[0];
    if (child.outputFd >= 0)
        fcntl(child.outputFd, F_SETFL, fcntl(child.outputFd, F_GETFL) | O_NONBLOCK);
    child.pidfd = static_cast<int>(syscall(SYS_pidfd_open, child.pid, 0));
    return 0;
}

ChildState AwaitChild(ChildProcess& child, std::chrono::milliseconds slice)
{
    if (slice < std::chrono::milliseconds(0) || slice > kLongestSlice)
        slice = kLongestSlice;
    pollfd fds[2];
    nfds_t count = 0;
    if (child.pidfd >= 0)
        fds[count++] = {child.pidfd, POLLIN, 0};
    else
        slice = std::min(slice, kFallbackPollInterval);
    if (child.outputFd >= 0)
        fds[count++] = {child.outputFd, POLLIN, 0};
    poll(fds, count, static_cast<int>(slice.count()));
    return TryReap(child);
}

std::size_t ReadChildOutput(ChildProcess& child, char* buffer, std::size_t size)
{
    while (child.outputFd >= 0) {
        const ssize_t got = read(child.outputFd, buffer, size);
        if (got > 0)
            return static_cast<std::size_t>(got);
        if (got < 0 && errno == EINTR)
            continue;
        if (got == 0 || errno != EAGAIN)
            CloseQuietly(child.outputFd);
        break;
    }
    return 0;
}

int ExitCodeOf(const ChildProcess& child)
{
    if (WIFEXITED(child.status))
        return WEXITSTATUS(child.status);
    if (WIFSIGNALED(child.status))
        return 128 + WTERMSIG(child.status);
    return 1;
}

void EndChildTree(ChildProcess& child)
{
    kill(-child.pid, SIGKILL);
    while (waitpid(child.pid, &child.status, 0) < 0 && errno == EINTR) { }
}

void ReleaseChild(ChildProcess& child)
{
    CloseQuietly(child.pidfd);
    CloseQuietly(child.outputFd);
}

void ReleaseChildLater(ChildProcess child)
{
    auto watch = [child]() mutable {
        WaitForChild(child, -1, {});
        ReleaseChild(child);
    };
    try {
        std::thread(std::move(watch)).detach();
    } catch (const std::system_error&) {
        // No thread to spare: wait here rather than leave a zombie behind.
        watch();
    }
}

}  // namespace os

std::string StartErrorText(int code)
{
    return std::strerror(code);
}

static_assert(kProgramNotFoundError == ENOENT);

bool IsNotFoundError(int code)
{
    return code == ENOENT;
}

std::size_t SystemCommandLineLimit()
{
    const long argMax = sysconf(_SC_ARG_MAX);
    return argMax > 0 ? static_cast<std::size_t>(argMax) : 131072;
}

}  // namespace brevok

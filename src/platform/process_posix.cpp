// The runners on POSIX: posix_spawn into a process group of its own, a wait that can pump
// the window and pass on the child's output, and an end for every child it starts.
#include "platform/process.h"

#include "platform/command_line.h"
#include "platform/errors.h"
#include "platform/files.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <chrono>
#include <system_error>
#include <thread>

extern char** environ;

namespace brevok {

namespace {

using Clock = std::chrono::steady_clock;

/// How often the window's pump runs while a runner waits.
constexpr std::chrono::milliseconds kPumpInterval{20};
/// How often the child is looked at when the kernel offers no process descriptor.
constexpr std::chrono::milliseconds kFallbackPollInterval{2};

/// A started child: its id (also its process group), a descriptor that becomes readable
/// when it ends (Linux pidfd, -1 when not available) and the read end of its output pipe.
struct Child {
    pid_t pid = -1;
    int status = 0;
    int pidfd = -1;
    int outputFd = -1;
};

enum class WaitEnd { Exited, TimedOut, Failed };

void CloseQuietly(int& fd)
{
    if (fd >= 0)
        close(fd);
    fd = -1;
}

/// Whether a child leads a process group of its own or joins its parent's.
enum class Group { Own, Caller };

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
    int Prepare(int outputFd, int errorFd, Group group)
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
                                          (group == Group::Own ? POSIX_SPAWN_SETPGROUP : 0) | POSIX_SPAWN_SETSIGMASK |
                                              POSIX_SPAWN_SETSIGDEF);
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

enum class Output { Capture, Inherit };

/// Starts `argv` (argv[0] a path) with its standard output and error captured through a
/// pipe, or on `outputFd` and the caller's standard error when that is given, or where the
/// caller's go. Returns 0 or the error code of the failed start.
int Spawn(const std::vector<std::string>& argv, Output output, Group group, Child& child, int outputFd = -1)
{
    int pipeFds[2] = {-1, -1};
    if (output == Output::Capture && pipe2(pipeFds, O_CLOEXEC) != 0)
        return errno;
    SpawnSetup setup;
    int rc =
        output == Output::Capture ? setup.Prepare(pipeFds[1], pipeFds[1], group) : setup.Prepare(outputFd, -1, group);
    if (rc == 0) {
        std::vector<char*> pointers;
        for (const std::string& argument : argv)
            pointers.push_back(const_cast<char*>(argument.c_str()));
        pointers.push_back(nullptr);
        rc = posix_spawn(&child.pid, argv.front().c_str(), setup.Actions(), setup.Attributes(), pointers.data(),
                         environ);
    }
    CloseQuietly(pipeFds[1]);
    if (rc != 0) {
        CloseQuietly(pipeFds[0]);
        child.pid = -1;
        return rc;
    }
    child.outputFd = pipeFds[0];
    if (child.outputFd >= 0)
        fcntl(child.outputFd, F_SETFL, fcntl(child.outputFd, F_GETFL) | O_NONBLOCK);
    child.pidfd = static_cast<int>(syscall(SYS_pidfd_open, child.pid, 0));
    return 0;
}

/// Reads what the output pipe holds now and hands it to `sink` (when set). Closes the pipe
/// at its end.
void DrainOutput(Child& child, const std::function<void(std::string_view)>* sink)
{
    char buffer[4096];
    while (child.outputFd >= 0) {
        const ssize_t got = read(child.outputFd, buffer, sizeof buffer);
        if (got > 0) {
            if (sink != nullptr && *sink)
                (*sink)(std::string_view(buffer, static_cast<std::size_t>(got)));
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got == 0 || errno != EAGAIN)
            CloseQuietly(child.outputFd);
        return;
    }
}

/// The child's status without blocking: Exited once it was reaped, Failed when it cannot
/// be waited for, TimedOut while it still runs.
WaitEnd TryReap(Child& child)
{
    pid_t got;
    do {
        got = waitpid(child.pid, &child.status, WNOHANG);
    } while (got < 0 && errno == EINTR);
    if (got == child.pid)
        return WaitEnd::Exited;
    return got == 0 ? WaitEnd::TimedOut : WaitEnd::Failed;
}

/// Sleeps until the child ends, output arrives or `slice` passes.
void WaitSlice(Child& child, std::chrono::milliseconds slice)
{
    pollfd fds[2];
    nfds_t count = 0;
    if (child.pidfd >= 0)
        fds[count++] = {child.pidfd, POLLIN, 0};
    else
        slice = std::min(slice, kFallbackPollInterval);
    if (child.outputFd >= 0)
        fds[count++] = {child.outputFd, POLLIN, 0};
    poll(fds, count, static_cast<int>(slice.count()));
}

/// Waits for the child for at most `timeoutMs` (negative: no limit), calling the pump and
/// passing output on as it goes. The child is reaped when it ended.
WaitEnd WaitForChild(Child& child, std::int32_t timeoutMs, const LaunchHooks& hooks)
{
    const Clock::time_point start = Clock::now();
    const Clock::time_point deadline = start + std::chrono::milliseconds(timeoutMs);
    Clock::time_point lastPump = start;
    while (true) {
        const WaitEnd state = TryReap(child);
        if (state != WaitEnd::TimedOut) {
            DrainOutput(child, &hooks.output);
            return state;
        }
        Clock::time_point now = Clock::now();
        if (timeoutMs >= 0 && now >= deadline)
            return WaitEnd::TimedOut;
        auto slice = std::chrono::milliseconds(1000);
        if (timeoutMs >= 0)
            slice = std::min(slice, std::chrono::ceil<std::chrono::milliseconds>(deadline - now));
        if (hooks.pump)
            slice = std::min(slice, kPumpInterval);
        WaitSlice(child, slice);
        DrainOutput(child, &hooks.output);
        now = Clock::now();
        if (hooks.pump && now - lastPump >= kPumpInterval) {
            hooks.pump();
            lastPump = now;
        }
    }
}

void CloseChild(Child& child)
{
    CloseQuietly(child.pidfd);
    CloseQuietly(child.outputFd);
}

/// Ends the child and everything in its process group, and reaps the child.
void EndGroup(Child& child)
{
    kill(-child.pid, SIGKILL);
    int status = 0;
    while (waitpid(child.pid, &status, 0) < 0 && errno == EINTR) { }
    CloseChild(child);
}

/// Lets a child that outlived its wait run on: a thread keeps its output pipe drained (so
/// it never blocks writing) and reaps it when it ends, so it never stays a zombie.
void ReapLater(Child child)
{
    auto watch = [child]() mutable {
        const LaunchHooks none;
        WaitForChild(child, -1, none);
        CloseChild(child);
    };
    try {
        std::thread(std::move(watch)).detach();
    } catch (const std::system_error&) {
        // No thread to spare: wait here rather than leave a zombie behind.
        watch();
    }
}

int ExitCodeOf(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return 1;
}

ProgramExit RunToEnd(const std::vector<std::string>& argv, Output output, int outputFd)
{
    ProgramExit result;
    Child child;
    // A tool's helper stays in the tool's process group, so that ending the group a runner
    // started also ends the helpers (llvm-rc under brcc32 under the batch).
    result.startError = Spawn(argv, output, Group::Caller, child, outputFd);
    if (result.startError != 0)
        return result;
    LaunchHooks hooks;
    hooks.output = [&result](std::string_view bytes) { result.output.append(bytes); };
    const WaitEnd end = WaitForChild(child, -1, hooks);
    CloseChild(child);
    result.exitCode = end == WaitEnd::Exited ? ExitCodeOf(child.status) : 1;
    return result;
}

}  // namespace

std::string StartErrorText(int code)
{
    return std::strerror(code);
}

static_assert(kProgramNotFoundError == ENOENT);

bool IsNotFoundError(int code)
{
    return code == ENOENT;
}

ProgramExit RunAndCapture(const std::vector<std::string>& argv)
{
    return RunToEnd(argv, Output::Capture, -1);
}

ProgramExit RunWithOutput(const std::vector<std::string>& argv, int outputFd)
{
    return RunToEnd(argv, Output::Inherit, outputFd);
}

std::size_t SystemCommandLineLimit()
{
    const long argMax = sysconf(_SC_ARG_MAX);
    return argMax > 0 ? static_cast<std::size_t>(argMax) : 131072;
}

void SystemProcessLauncher::RunFileAndWait(const std::string& programText, const std::string& fileText,
                                           std::int32_t timeoutMs, std::uint16_t showWindow, std::string& resultText)
{
    const bool capture = CapturesOutput(showWindow);
    const LaunchPlan plan = PlanFileRun(programText, fileText, timeoutMs, showWindow, capture);
    if (plan.error == PlanError::FileMissing) {
        resultText = kProcessFileMissingText;
        return;
    }
    if (plan.error == PlanError::ProgramNotFound) {
        resultText = CreateProcessFailedText(programText, fileText, ENOENT);
        return;
    }
    Child child;
    if (const int error = Spawn(plan.record.argv, capture ? Output::Capture : Output::Inherit, Group::Own, child);
        error != 0) {
        resultText = CreateProcessFailedText(programText, fileText, error);
        return;
    }
    if (WaitForChild(child, timeoutMs, hooks_) == WaitEnd::TimedOut) {
        // TerminateProcess ends the batch's window; here the group holds the interpreter and
        // the compiler it started, and both must end.
        EndGroup(child);
        resultText = kRunTimeoutText;
        return;
    }
    CloseChild(child);
    resultText = kRunOkText;
}

std::uint32_t SystemProcessLauncher::RunCommandAndWait(const std::string& commandLine, std::uint16_t showWindow,
                                                       std::int32_t timeoutMs)
{
    const bool capture = CapturesOutput(showWindow);
    const LaunchPlan plan = PlanCommandRun(commandLine, showWindow, timeoutMs, capture);
    if (plan.error != PlanError::None)
        return ENOENT;
    Child child;
    if (const int error = Spawn(plan.record.argv, capture ? Output::Capture : Output::Inherit, Group::Own, child);
        error != 0)
        return static_cast<std::uint32_t>(error);
    switch (WaitForChild(child, timeoutMs, hooks_)) {
    case WaitEnd::Exited:
        CloseChild(child);
        return kWaitObject0;
    case WaitEnd::Failed:
        CloseChild(child);
        return kWaitFailed;
    case WaitEnd::TimedOut:
        break;
    }
    ReapLater(child);
    return kWaitTimeout;
}

}  // namespace brevok

// Starting an outside program and waiting for it: the two runners of the compiler driver.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace brevok {

/// Result texts of RunFileAndWait.
inline constexpr std::string_view kRunOkText = "OK";
inline constexpr std::string_view kProcessFileMissingText = "Process file does not exist";
// kept as written
inline constexpr std::string_view kCreateProcessFailedText = "Createproccess failed ";
// kept as written
inline constexpr std::string_view kRunTimeoutText = "Timeout has occured in waiting for result from compiler.";

/// Codes of RunCommandAndWait besides a failed start's error code.
inline constexpr std::uint32_t kWaitObject0 = 0;
inline constexpr std::uint32_t kWaitTimeout = 258;
inline constexpr std::uint32_t kWaitFailed = 0xFFFFFFFFu;

/// Show-window codes that reach the runners: the child's window shown normally, or started
/// minimised. On Linux a child has no console window; with kShowWindowNormal its standard
/// output and error (and, for a batch file, each command before it runs) are handed to the
/// launcher's output observer, which the program shows in a progress window. Any other code
/// leaves the child's output where the program's own goes.
inline constexpr std::uint16_t kShowWindowNormal = 5;
inline constexpr std::uint16_t kShowWindowMinimized = 6;

/// One start as a runner makes it: what it was asked and what it starts.
struct LaunchRecord {
    /// The command line the runner was asked to start.
    std::string commandLine;
    /// The program really started and its arguments, after splitting and program lookup.
    /// For a batch file this is the interpreter's command.
    std::vector<std::string> argv;
    /// The batch file's text when the program is a ".bat" file, else empty.
    std::string batchText;
    std::uint16_t showWindow = 0;
    std::int32_t timeoutMs = 0;
};

/// Why a runner cannot start what it was asked, before it tries.
enum class PlanError { None, FileMissing, ProgramNotFound };

/// What a runner does with a child that outlives its time-out.
enum class AfterTimeout {
    /// RunFileAndWait: the child and everything it started are ended.
    EndTree,
    /// RunCommandAndWait: the child runs on and is released once it ends.
    LeaveRunning,
};

/// What a runner will start, worked out before anything runs.
struct LaunchPlan {
    PlanError error = PlanError::None;
    LaunchRecord record;
    /// Whether the child's output goes to the output hook rather than where ours goes.
    bool captureOutput = false;
    AfterTimeout afterTimeout = AfterTimeout::EndTree;
};

/// RunFileAndWait's start: refused when neither text names an existing file; the command
/// line is the two texts, each quoted for the splitting rules when it needs it; the program
/// is looked up like every runner does; `captureOutput` makes a batch file echo its commands.
LaunchPlan PlanFileRun(const std::string& programText, const std::string& fileText, std::int32_t timeoutMs,
                       std::uint16_t showWindow, bool captureOutput);

/// RunCommandAndWait's start: the line split by the Windows rules and its program looked up.
LaunchPlan PlanCommandRun(const std::string& commandLine, std::int32_t timeoutMs, std::uint16_t showWindow,
                          bool captureOutput);

/// What the caller lets a runner do while it waits, for the length of one run.
struct LaunchHooks {
    /// Called about every 20 ms while a runner waits, so that the window can repaint. It must
    /// not act on user input: the command that waits is still running.
    std::function<void()> pump;
    /// Receives the child's output as it arrives when the show-window code is
    /// kShowWindowNormal. Without an observer the output goes where the program's own goes.
    std::function<void(std::string_view)> output;
};

/// How a run ended, and what each runner reports of it.
struct RunOutcome {
    enum class Kind {
        /// The child ended, whatever its exit code.
        Ended,
        /// Neither text of RunFileAndWait names an existing file; nothing started.
        FileMissing,
        /// The start failed with `error`; a program not found is kProgramNotFoundError.
        StartFailed,
        /// The time-out passed before the child ended.
        TimedOut,
        /// The wait itself failed (the child could not be waited for).
        WaitFailed,
    };

    Kind kind = Kind::Ended;
    /// The error code of a failed start: errno, on Windows the Win32 error code.
    int error = 0;
    /// What the runner was asked to start, as a failed start's text names it: RunFileAndWait's
    /// two texts with a space between, or RunCommandAndWait's command line.
    std::string asked;

    /// Whether RunFileAndWait reports "OK": the child ended, or could not be waited for.
    bool Ok() const { return kind == Kind::Ended || kind == Kind::WaitFailed; }
    /// RunFileAndWait's result text: "OK", "Process file does not exist", "Createproccess
    /// failed " + asked + " Error: " + error, or the time-out text.
    std::string Text() const;
    /// RunCommandAndWait's code: kWaitObject0 when the child ended, the error code of a
    /// failed start (a missing file counts as a program not found), kWaitTimeout or kWaitFailed.
    std::uint32_t Code() const;
};

/// The two runners. Neither raises; every outcome is in the RunOutcome. Both plan the start
/// (PlanFileRun, PlanCommandRun), answer a plan that cannot start themselves, and hand the
/// rest to Execute.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;

    /// Starts `programText` + " " + `fileText` and waits at most `timeoutMs` ms (a negative
    /// time-out waits without limit). Either text is quoted for the splitting rules when it
    /// holds a blank or a quote; a plain path goes in as it is. Refuses to start when neither
    /// text names an existing file (a folder is no file). On time-out the child and all it
    /// started are ended: on POSIX its process group (SIGKILL: POSIX has no exit code to
    /// impose), on Windows its job object; the child is reaped. Read the outcome's Text().
    RunOutcome RunFileAndWait(const std::string& programText, const std::string& fileText, std::int32_t timeoutMs,
                              std::uint16_t showWindow, const LaunchHooks& hooks = {});

    /// Starts `commandLine` as it is and waits at most `timeoutMs` ms. On time-out the
    /// process goes on running; a thread of ours keeps its output drained, discarding it, and
    /// releases it when it ends; the caller tells the user. Read the outcome's Code().
    RunOutcome RunCommandAndWait(const std::string& commandLine, std::int32_t timeoutMs, std::uint16_t showWindow,
                                 const LaunchHooks& hooks = {});

protected:
    /// Starts what `plan` (which has no error) says and waits as it says.
    virtual RunOutcome Execute(const LaunchPlan& plan, const LaunchHooks& hooks) = 0;

private:
    RunOutcome Follow(const LaunchPlan& plan, const LaunchHooks& hooks, std::string asked);
};

/// The runners of the platform the program is built for. POSIX: the command line is split
/// by the Windows rules (SplitCommandLine), the program looked up in the program's own
/// folder, the current folder, then PATH (FindProgram), a ".bat" file run by /bin/sh
/// (LaunchArguments); the child starts with posix_spawn, leading its own process group, with
/// standard input from /dev/null and no other descriptor of ours. Windows: CreateProcessA
/// with the show-window code, the child in a job object of its own.
class SystemProcessLauncher : public ProcessLauncher {
protected:
    RunOutcome Execute(const LaunchPlan& plan, const LaunchHooks& hooks) override;
};

/// The longest command line the system passes to a new program.
std::size_t SystemCommandLineLimit();

/// How a helper program run by a tool ended.
struct ProgramExit {
    /// The error code of a failed start (errno), 0 when the program ran.
    int startError = 0;
    /// The exit code, or 128 + the signal number when a signal ended the program.
    int exitCode = 0;
    /// Standard output and error together, for RunAndCapture.
    std::string output;
};

/// The system's own words for the error code of a failed start (strerror; on Windows the
/// message FormatMessage gives for the Win32 error code), without a final line break.
std::string StartErrorText(int code);

/// The error code a start fails with when its program does not exist (ENOENT; on Windows
/// ERROR_FILE_NOT_FOUND, which has the same number), and whether `code` says so (on Windows
/// a missing folder, ERROR_PATH_NOT_FOUND, too).
inline constexpr int kProgramNotFoundError = 2;
bool IsNotFoundError(int code);

/// Runs `argv` (argv[0] a path) with standard input from /dev/null, captures its standard
/// output and error together, and waits for it to end. Unlike the runners' children, the
/// program stays in the caller's process group, so whatever ends the group ends it too.
ProgramExit RunAndCapture(const std::vector<std::string>& argv);

/// Runs `argv` (argv[0] a path) with its standard output on `outputFd` and its standard
/// error where the caller's goes, and waits for it to end; it stays in the caller's group.
ProgramExit RunWithOutput(const std::vector<std::string>& argv, int outputFd);

}  // namespace brevok

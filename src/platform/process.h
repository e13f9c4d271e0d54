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
inline constexpr std::string_view kCreateProcessFailedText = "Createproccess failed ";
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

/// What a runner will start, worked out before anything runs.
struct LaunchPlan {
    PlanError error = PlanError::None;
    LaunchRecord record;
};

/// RunFileAndWait's start: refused when neither text names an existing file; the command
/// line is the two texts, each quoted for the splitting rules when it needs it; the program
/// is looked up like every runner does; `captureOutput` makes a batch file echo its commands.
LaunchPlan PlanFileRun(const std::string& programText, const std::string& fileText, std::int32_t timeoutMs,
                       std::uint16_t showWindow, bool captureOutput);

/// RunCommandAndWait's start: the line split by the Windows rules and its program looked up.
LaunchPlan PlanCommandRun(const std::string& commandLine, std::uint16_t showWindow, std::int32_t timeoutMs,
                          bool captureOutput);

/// RunFileAndWait's text for a start that failed with `code`.
std::string CreateProcessFailedText(const std::string& programText, const std::string& fileText, int code);

/// What the caller lets the runners do while they wait.
struct LaunchHooks {
    /// Called about every 20 ms while a runner waits, so that the window can repaint. It must
    /// not act on user input: the command that waits is still running.
    std::function<void()> pump;
    /// Receives the child's output as it arrives when the show-window code is
    /// kShowWindowNormal. Without an observer the output goes where the program's own goes.
    std::function<void(std::string_view)> output;
};

/// The two runners. Neither raises; every outcome is in the result text or code.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;

    /// What the runners do while they wait, until hooks are set again.
    void SetHooks(LaunchHooks hooks) { hooks_ = std::move(hooks); }
    const LaunchHooks& Hooks() const { return hooks_; }
    /// Whether a start with `showWindow` hands the child's output to the output hook.
    bool CapturesOutput(std::uint16_t showWindow) const
    {
        return showWindow == kShowWindowNormal && static_cast<bool>(hooks_.output);
    }

    /// Starts `programText` + " " + `fileText` and waits at most `timeoutMs` ms (a negative
    /// time-out waits without limit). Either text is quoted for the splitting rules when it
    /// holds a blank or a quote; a plain path goes in as it is. Refuses to start when neither
    /// text names an existing file (a folder is no file). On time-out the process group of
    /// the child, which holds everything it started, is killed (SIGKILL: POSIX has no exit
    /// code to impose) and the child reaped. resultText: "OK" (also when the wait itself
    /// failed), "Process file does not exist", "Createproccess failed " + programText + " " +
    /// fileText + " Error: " + code (errno; 2 when the program is not found), or the
    /// time-out text.
    virtual void RunFileAndWait(const std::string& programText, const std::string& fileText, std::int32_t timeoutMs,
                                std::uint16_t showWindow, std::string& resultText) = 0;

    /// Starts `commandLine` as it is and waits at most `timeoutMs` ms. Returns the error code
    /// of a failed start (errno on Linux), else 0 when the process ended, kWaitTimeout when
    /// the wait timed out (the process goes on running; a thread of ours reaps it when it
    /// ends and discards what it still prints; the caller tells the user), or kWaitFailed
    /// when the wait itself failed.
    virtual std::uint32_t RunCommandAndWait(const std::string& commandLine, std::uint16_t showWindow,
                                            std::int32_t timeoutMs) = 0;

protected:
    LaunchHooks hooks_;
};

/// The runners of the platform the program is built for. POSIX: the command line is split
/// by the Windows rules (SplitCommandLine), the program looked up in the program's own
/// folder, the current folder, then PATH (FindProgram), a ".bat" file run by /bin/sh
/// (LaunchArguments); the child starts with posix_spawn, leading its own process group, with
/// standard input from /dev/null and no other descriptor of ours.
class SystemProcessLauncher final : public ProcessLauncher {
public:
    void RunFileAndWait(const std::string& programText, const std::string& fileText, std::int32_t timeoutMs,
                        std::uint16_t showWindow, std::string& resultText) override;
    std::uint32_t RunCommandAndWait(const std::string& commandLine, std::uint16_t showWindow,
                                    std::int32_t timeoutMs) override;
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

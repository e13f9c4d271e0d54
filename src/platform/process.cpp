// The runners on every system: the plan of a start, the wait with its time-out and pump,
// where the output goes, and what each runner reports. child_process.h is what a system
// gives them.
#include "platform/process.h"

#include "platform/child_process.h"
#include "platform/command_line.h"
#include "rules/errors.h"
#include "platform/files.h"

#include <algorithm>
#include <chrono>

namespace brevok {

using namespace os;

namespace {

std::string QuoteUnlessEmpty(const std::string& text)
{
    return text.empty() ? text : QuoteArgument(text);
}

std::string BatchTextOf(const std::vector<std::string>& arguments)
{
    if (arguments.empty() || !IsBatchFile(arguments.front()))
        return {};
    // The text is a record of what was asked, read for the progress window and the tests; the
    // interpreter reads the file itself and reports one it cannot read, so an unreadable file
    // leaves the record empty instead of failing a start that may still work.
    try {
        return ReadFileBytes(arguments.front());
    } catch (const Error&) {
        return {};
    }
}

/// The plan's arguments, once their first has been looked up: `arguments` empty or starting
/// with an empty program means the program was not found.
LaunchPlan FinishPlan(LaunchPlan plan, const std::vector<std::string>& arguments, bool captureOutput)
{
    if (arguments.empty() || arguments.front().empty()) {
        plan.error = PlanError::ProgramNotFound;
        return plan;
    }
    plan.record.argv = LaunchArguments(arguments, captureOutput ? BatchEcho::On : BatchEcho::Off);
    plan.record.batchText = BatchTextOf(arguments);
    return plan;
}

}  // namespace

LaunchPlan PlanFileRun(const std::string& programText, const std::string& fileText, std::int32_t timeoutMs,
                       std::uint16_t showWindow, bool captureOutput)
{
    LaunchPlan plan;
    plan.captureOutput = captureOutput;
    plan.afterTimeout = AfterTimeout::EndTree;
    if (!FileExists(programText) && !FileExists(fileText)) {
        plan.error = PlanError::FileMissing;
        return plan;
    }
    // Each part is quoted when the splitting rules would break it apart; a plain path
    // stays as it is, so the line is then the program, a space and the file.
    plan.record.commandLine = QuoteUnlessEmpty(programText) + " " + QuoteUnlessEmpty(fileText);
    plan.record.showWindow = showWindow;
    plan.record.timeoutMs = timeoutMs;
    // The line above is what the runner reports; the arguments are taken from the texts
    // themselves, as a program name cannot carry every character through the splitting rules
    // (a double quote in a POSIX path).
    std::vector<std::string> arguments;
    for (const std::string* text : {&programText, &fileText}) {
        if (!text->empty())
            arguments.push_back(*text);
    }
    arguments.front() = FindProgram(arguments.front(), SystemSearchPlaces());
    return FinishPlan(std::move(plan), arguments, captureOutput);
}

LaunchPlan PlanCommandRun(const std::string& commandLine, std::int32_t timeoutMs, std::uint16_t showWindow,
                          bool captureOutput)
{
    LaunchPlan plan;
    plan.captureOutput = captureOutput;
    plan.afterTimeout = AfterTimeout::LeaveRunning;
    plan.record.commandLine = commandLine;
    plan.record.showWindow = showWindow;
    plan.record.timeoutMs = timeoutMs;
    return FinishPlan(std::move(plan), SplitCommandWithProgram(commandLine), captureOutput);
}

std::string RunOutcome::Text() const
{
    switch (kind) {
    case Kind::Ended:
    case Kind::WaitFailed:
        return std::string(kRunOkText);
    case Kind::FileMissing:
        return std::string(kProcessFileMissingText);
    case Kind::StartFailed:
        return std::string(kCreateProcessFailedText) + asked + " Error: " + std::to_string(error);
    case Kind::TimedOut:
        break;
    }
    return std::string(kRunTimeoutText);
}

std::uint32_t RunOutcome::Code() const
{
    switch (kind) {
    case Kind::Ended:
        return kWaitObject0;
    case Kind::FileMissing:
        return kProgramNotFoundError;
    case Kind::StartFailed:
        return static_cast<std::uint32_t>(error);
    case Kind::TimedOut:
        return kWaitTimeout;
    case Kind::WaitFailed:
        break;
    }
    return kWaitFailed;
}

namespace {

/// How often the window's pump runs while a runner waits.
constexpr std::chrono::milliseconds kPumpInterval{20};

/// The output goes to the observer only when the child's window would have been shown and
/// there is someone to show it; otherwise it goes where ours goes.
bool CapturesOutput(std::uint16_t showWindow, const LaunchHooks& hooks)
{
    return showWindow == kShowWindowNormal && static_cast<bool>(hooks.output);
}

/// Hands what the output pipe holds now to `sink`, or drops it when there is no sink.
void ForwardOutput(ChildProcess& child, const std::function<void(std::string_view)>& sink)
{
    char buffer[4096];
    while (const std::size_t got = ReadChildOutput(child, buffer, sizeof buffer)) {
        if (sink)
            sink(std::string_view(buffer, got));
    }
}

/// How long one look at the child may sleep: until the deadline, and never past the next pump.
std::chrono::milliseconds SliceUntil(std::int32_t timeoutMs, std::chrono::steady_clock::time_point deadline, bool pumps)
{
    auto slice = std::chrono::milliseconds(-1);
    if (timeoutMs >= 0) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        slice = std::max(left, std::chrono::milliseconds(0));
    }
    if (pumps)
        slice = slice < std::chrono::milliseconds(0) ? kPumpInterval : std::min(slice, kPumpInterval);
    return slice;
}

ProgramExit RunToEnd(const std::vector<std::string>& argv, ChildOutput output, int outputFd)
{
    ProgramExit result;
    ChildProcess child;
    // A tool's helper stays in the tool's group, so that ending the group a runner started
    // also ends the helpers (llvm-rc under brcc32 under the batch).
    result.startError = SpawnChild(argv, {0, output, outputFd, ChildGroup::Caller}, child);
    if (result.startError != 0)
        return result;
    LaunchHooks hooks;
    hooks.output = [&result](std::string_view bytes) { result.output.append(bytes); };
    const ChildState end = WaitForChild(child, -1, hooks);
    result.exitCode = end == ChildState::Ended ? ExitCodeOf(child) : 1;
    ReleaseChild(child);
    return result;
}

}  // namespace

ChildState os::WaitForChild(ChildProcess& child, std::int32_t timeoutMs, const LaunchHooks& hooks)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    const Clock::time_point deadline = start + std::chrono::milliseconds(timeoutMs);
    Clock::time_point lastPump = start;
    while (true) {
        const ChildState state = AwaitChild(child, SliceUntil(timeoutMs, deadline, static_cast<bool>(hooks.pump)));
        // Once the child is gone this reads what it wrote last.
        ForwardOutput(child, hooks.output);
        if (state != ChildState::Running)
            return state;
        const Clock::time_point now = Clock::now();
        if (timeoutMs >= 0 && now >= deadline)
            return ChildState::Running;
        if (hooks.pump && now - lastPump >= kPumpInterval) {
            hooks.pump();
            lastPump = now;
        }
    }
}

RunOutcome ProcessLauncher::RunFileAndWait(const std::string& programText, const std::string& fileText,
                                           std::int32_t timeoutMs, std::uint16_t showWindow, const LaunchHooks& hooks)
{
    const bool capture = CapturesOutput(showWindow, hooks);
    return Follow(PlanFileRun(programText, fileText, timeoutMs, showWindow, capture), hooks,
                  programText + " " + fileText);
}

RunOutcome ProcessLauncher::RunCommandAndWait(const std::string& commandLine, std::int32_t timeoutMs,
                                              std::uint16_t showWindow, const LaunchHooks& hooks)
{
    const bool capture = CapturesOutput(showWindow, hooks);
    return Follow(PlanCommandRun(commandLine, timeoutMs, showWindow, capture), hooks, commandLine);
}

RunOutcome ProcessLauncher::Follow(const LaunchPlan& plan, const LaunchHooks& hooks, std::string asked)
{
    RunOutcome outcome;
    switch (plan.error) {
    case PlanError::FileMissing:
        outcome.kind = RunOutcome::Kind::FileMissing;
        break;
    case PlanError::ProgramNotFound:
        outcome.kind = RunOutcome::Kind::StartFailed;
        outcome.error = kProgramNotFoundError;
        break;
    case PlanError::None:
        outcome = Execute(plan, hooks);
        break;
    }
    outcome.asked = std::move(asked);
    return outcome;
}

RunOutcome SystemProcessLauncher::Execute(const LaunchPlan& plan, const LaunchHooks& hooks)
{
    ChildProcess child;
    const ChildOutput output = plan.captureOutput ? ChildOutput::Capture : ChildOutput::Inherit;
    if (const int error = SpawnChild(plan.record.argv, {plan.record.showWindow, output, -1, ChildGroup::Own}, child);
        error != 0)
        return {RunOutcome::Kind::StartFailed, error, {}};
    const ChildState state = WaitForChild(child, plan.record.timeoutMs, hooks);
    if (state != ChildState::Running) {
        ReleaseChild(child);
        return {state == ChildState::Ended ? RunOutcome::Kind::Ended : RunOutcome::Kind::WaitFailed, 0, {}};
    }
    if (plan.afterTimeout == AfterTimeout::LeaveRunning) {
        ReleaseChildLater(child);
    } else {
        // The group holds the batch's interpreter and the compiler it started; both must end.
        EndChildTree(child);
        ReleaseChild(child);
    }
    return {RunOutcome::Kind::TimedOut, 0, {}};
}

ProgramExit RunAndCapture(const std::vector<std::string>& argv)
{
    return RunToEnd(argv, ChildOutput::Capture, -1);
}

ProgramExit RunWithOutput(const std::vector<std::string>& argv, int outputFd)
{
    return RunToEnd(argv, ChildOutput::Descriptor, outputFd);
}

}  // namespace brevok

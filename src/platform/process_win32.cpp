// The runners on Windows: CreateProcessA with the show-window code, each start in a job object
// of its own so that a time-out ends everything it started, a wait that can pump the window
// and pass on the child's output read from a pipe.
#include "platform/process.h"

#include "platform/command_line.h"

#include <windows.h>

#include <io.h>

#include <algorithm>
#include <chrono>
#include <system_error>
#include <thread>

namespace brevok {

namespace {

using Clock = std::chrono::steady_clock;

/// How often the window's pump runs while a runner waits.
constexpr DWORD kPumpIntervalMs = 20;
/// How long a wait that passes output on sleeps between looks at the pipe.
constexpr DWORD kOutputPollMs = 5;

/// Closes a handle that may be null or invalid and forgets it.
void CloseQuietly(HANDLE& handle)
{
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    handle = nullptr;
}

/// A started child: its process, the job that holds it and all it starts (null when it has
/// none of its own), and the read end of its output pipe.
struct Child {
    HANDLE process = nullptr;
    HANDLE job = nullptr;
    HANDLE output = nullptr;
};

void CloseChild(Child& child)
{
    CloseQuietly(child.output);
    CloseQuietly(child.job);
    CloseQuietly(child.process);
}

enum class WaitEnd { Exited, TimedOut, Failed };

/// Where the child's standard output and error go.
enum class Output { Capture, Inherit, Handle };

/// Whether the child gets a job object of its own or stays in the caller's.
enum class Group { Own, Caller };

/// The handles a child inherits, closed here once the child has its own copies.
class ChildHandles {
public:
    ChildHandles() = default;
    ~ChildHandles()
    {
        CloseQuietly(input);
        CloseQuietly(output);
        CloseQuietly(error);
    }
    ChildHandles(const ChildHandles&) = delete;
    ChildHandles& operator=(const ChildHandles&) = delete;

    HANDLE input = nullptr;
    HANDLE output = nullptr;
    HANDLE error = nullptr;
};

/// An inheritable copy of `handle`; null when `handle` is not usable.
HANDLE InheritableCopy(HANDLE handle)
{
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return nullptr;
    HANDLE copy = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS))
        return nullptr;
    return copy;
}

/// Standard input from the null device, output and error as `output` says; for Capture the
/// read end of the pipe goes to `child.output`. Returns 0 or the error code.
DWORD PrepareHandles(Output output, HANDLE target, ChildHandles& handles, Child& child)
{
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    handles.input = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handles.input == INVALID_HANDLE_VALUE) {
        handles.input = nullptr;
        return GetLastError();
    }
    switch (output) {
    case Output::Capture: {
        HANDLE readEnd = nullptr;
        HANDLE writeEnd = nullptr;
        if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
            return GetLastError();
        // Only the child's end is inherited: the read end stays ours alone.
        SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
        child.output = readEnd;
        handles.output = writeEnd;
        handles.error = InheritableCopy(writeEnd);
        break;
    }
    case Output::Handle:
        handles.output = InheritableCopy(target);
        if (handles.output == nullptr)
            return GetLastError();
        handles.error = InheritableCopy(GetStdHandle(STD_ERROR_HANDLE));
        break;
    case Output::Inherit:
        handles.output = InheritableCopy(GetStdHandle(STD_OUTPUT_HANDLE));
        handles.error = InheritableCopy(GetStdHandle(STD_ERROR_HANDLE));
        break;
    }
    return 0;
}

/// Starts `argv` (argv[0] a path) with the show-window code `showWindow` (0: the system's
/// default), its output as `output` says, in a job of its own when `group` is Own. Returns 0
/// or the error code of the failed start.
DWORD Start(const std::vector<std::string>& argv, std::uint16_t showWindow, Output output, HANDLE target, Group group,
            Child& child)
{
    ChildHandles handles;
    if (const DWORD error = PrepareHandles(output, target, handles, child); error != 0) {
        CloseChild(child);
        return error;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    // A program of ours without standard output (the window has no console) gives the child
    // none either: a console program then writes into a console window of its own, as the
    // batch's window did.
    if (handles.output != nullptr) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = handles.input;
        startup.hStdOutput = handles.output;
        startup.hStdError = handles.error;
    }
    if (showWindow != 0) {
        startup.dwFlags |= STARTF_USESHOWWINDOW;
        startup.wShowWindow = showWindow;
    }
    std::string line = WindowsCommandLine(argv);
    // Started suspended, so that it is in its job before it can start anything itself.
    const DWORD flags = group == Group::Own ? CREATE_SUSPENDED : 0;
    PROCESS_INFORMATION process{};
    // A program named with its folder is started as it is, never searched again.
    const bool hasFolder = argv.front().find_first_of("\\/:") != std::string::npos;
    if (!CreateProcessA(hasFolder ? argv.front().c_str() : nullptr, line.data(), nullptr, nullptr, TRUE, flags, nullptr,
                        nullptr, &startup, &process)) {
        const DWORD error = GetLastError();
        CloseChild(child);
        return error;
    }
    child.process = process.hProcess;
    if (group == Group::Own) {
        // Without a job (a system that refuses one here) a time-out can end the child only.
        child.job = CreateJobObjectA(nullptr, nullptr);
        if (child.job != nullptr && !AssignProcessToJobObject(child.job, process.hProcess))
            CloseQuietly(child.job);
        ResumeThread(process.hThread);
    }
    CloseHandle(process.hThread);
    return 0;
}

/// Reads what the output pipe holds now and hands it to `sink` (when set). Closes the pipe
/// at its end.
void DrainOutput(Child& child, const std::function<void(std::string_view)>* sink)
{
    char buffer[4096];
    while (child.output != nullptr) {
        DWORD available = 0;
        if (!PeekNamedPipe(child.output, nullptr, 0, nullptr, &available, nullptr)) {
            CloseQuietly(child.output);  // broken: every writer is gone and all was read
            return;
        }
        if (available == 0)
            return;
        DWORD got = 0;
        if (!ReadFile(child.output, buffer, std::min<DWORD>(available, sizeof buffer), &got, nullptr) || got == 0) {
            CloseQuietly(child.output);
            return;
        }
        if (sink != nullptr && *sink)
            (*sink)(std::string_view(buffer, got));
    }
}

/// Reads the pipe until every writer has closed it (the child and whatever it started).
void DrainToEnd(Child& child, const std::function<void(std::string_view)>* sink)
{
    char buffer[4096];
    while (child.output != nullptr) {
        DWORD got = 0;
        if (!ReadFile(child.output, buffer, sizeof buffer, &got, nullptr) || got == 0) {
            CloseQuietly(child.output);
            return;
        }
        if (sink != nullptr && *sink)
            (*sink)(std::string_view(buffer, got));
    }
}

/// Waits for the child for at most `timeoutMs` (negative: no limit), calling the pump and
/// passing output on as it goes.
WaitEnd WaitForChild(Child& child, std::int32_t timeoutMs, const LaunchHooks& hooks)
{
    const Clock::time_point start = Clock::now();
    const Clock::time_point deadline = start + std::chrono::milliseconds(timeoutMs);
    Clock::time_point lastPump = start;
    while (true) {
        DWORD slice = INFINITE;
        if (timeoutMs >= 0) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            slice = left > 0 ? static_cast<DWORD>(left) : 0;
        }
        if (hooks.pump)
            slice = std::min(slice, kPumpIntervalMs);
        if (child.output != nullptr)
            slice = std::min(slice, kOutputPollMs);
        const DWORD state = WaitForSingleObject(child.process, slice);
        DrainOutput(child, &hooks.output);
        if (state == WAIT_OBJECT_0)
            return WaitEnd::Exited;  // what it wrote last was read just above
        if (state == WAIT_FAILED)
            return WaitEnd::Failed;
        const Clock::time_point now = Clock::now();
        if (timeoutMs >= 0 && now >= deadline)
            return WaitEnd::TimedOut;
        if (hooks.pump && now - lastPump >= std::chrono::milliseconds(kPumpIntervalMs)) {
            hooks.pump();
            lastPump = now;
        }
    }
}

/// Ends the child and everything in its job, and waits until the child is gone.
void EndTree(Child& child)
{
    if (child.job == nullptr || !TerminateJobObject(child.job, 1))
        TerminateProcess(child.process, 1);
    WaitForSingleObject(child.process, INFINITE);
    CloseChild(child);
}

/// Lets a child that outlived its wait run on: a thread keeps its output pipe drained (so it
/// never blocks writing) and closes the handles when it ends.
void ReleaseLater(Child child)
{
    if (child.output == nullptr) {
        CloseChild(child);
        return;
    }
    auto watch = [child]() mutable {
        DrainToEnd(child, nullptr);
        CloseChild(child);
    };
    try {
        std::thread(std::move(watch)).detach();
    } catch (const std::system_error&) {
        // No thread to spare: the pipe is closed, and a child that still writes gets an error.
        CloseChild(child);
    }
}

ProgramExit RunToEnd(const std::vector<std::string>& argv, Output output, HANDLE target)
{
    ProgramExit result;
    Child child;
    // A tool's helper stays in the tool's job, so that ending the job a runner started also
    // ends the helpers (llvm-rc under brcc32 under the batch).
    result.startError = static_cast<int>(Start(argv, 0, output, target, Group::Caller, child));
    if (result.startError != 0)
        return result;
    LaunchHooks hooks;
    hooks.output = [&result](std::string_view bytes) { result.output.append(bytes); };
    const WaitEnd end = WaitForChild(child, -1, hooks);
    DWORD code = 1;
    if (end != WaitEnd::Exited || !GetExitCodeProcess(child.process, &code))
        code = 1;
    CloseChild(child);
    result.exitCode = static_cast<int>(code);
    return result;
}

}  // namespace

std::string StartErrorText(int code)
{
    char* text = nullptr;
    const DWORD size =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = size > 0 && text != nullptr ? std::string(text, size) : "error " + std::to_string(code);
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message;
}

static_assert(kProgramNotFoundError == ERROR_FILE_NOT_FOUND);

bool IsNotFoundError(int code)
{
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

ProgramExit RunAndCapture(const std::vector<std::string>& argv)
{
    return RunToEnd(argv, Output::Capture, nullptr);
}

ProgramExit RunWithOutput(const std::vector<std::string>& argv, int outputFd)
{
    return RunToEnd(argv, Output::Handle, reinterpret_cast<HANDLE>(_get_osfhandle(outputFd)));
}

std::size_t SystemCommandLineLimit()
{
    // CreateProcess takes at most 32767 characters, the terminating NUL included.
    return 32767;
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
        resultText = CreateProcessFailedText(programText, fileText, ERROR_FILE_NOT_FOUND);
        return;
    }
    Child child;
    const DWORD error =
        Start(plan.record.argv, showWindow, capture ? Output::Capture : Output::Inherit, nullptr, Group::Own, child);
    if (error != 0) {
        resultText = CreateProcessFailedText(programText, fileText, static_cast<int>(error));
        return;
    }
    if (WaitForChild(child, timeoutMs, hooks_) == WaitEnd::TimedOut) {
        // The batch's interpreter and the compiler it started are both in the job.
        EndTree(child);
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
        return ERROR_FILE_NOT_FOUND;
    Child child;
    const DWORD error =
        Start(plan.record.argv, showWindow, capture ? Output::Capture : Output::Inherit, nullptr, Group::Own, child);
    if (error != 0)
        return error;
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
    ReleaseLater(child);
    return kWaitTimeout;
}

}  // namespace brevok

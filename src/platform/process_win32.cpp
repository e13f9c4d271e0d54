// The runners' primitives on Windows: CreateProcessW with the show-window code, each start in
// a job object of its own so that ending its tree ends everything it started, a wait on the
// process handle, and the child's output read from a pipe.
#include "platform/child_process.h"

#include "platform/command_line.h"
#include "platform/wide_text.h"

#include <windows.h>

#include <io.h>

#include <algorithm>
#include <system_error>
#include <thread>
#include <type_traits>

namespace brevok {

namespace os {

// ChildProcess keeps its handles as the pointers they are.
static_assert(std::is_same_v<HANDLE, void*>);

namespace {

/// How long a wait that passes output on sleeps between looks at the pipe.
constexpr DWORD kOutputPollMs = 5;

/// Closes a handle that may be null or invalid and forgets it.
void CloseQuietly(HANDLE& handle)
{
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    handle = nullptr;
}

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

/// Standard input from the null device, output and error as the request says; for Capture
/// the read end of the pipe goes to `child.output`. Returns 0 or the error code.
DWORD PrepareHandles(const SpawnRequest& request, ChildHandles& handles, ChildProcess& child)
{
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    handles.input = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handles.input == INVALID_HANDLE_VALUE) {
        handles.input = nullptr;
        return GetLastError();
    }
    switch (request.output) {
    case ChildOutput::Capture: {
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
    case ChildOutput::Descriptor:
        handles.output = InheritableCopy(reinterpret_cast<HANDLE>(_get_osfhandle(request.outputFd)));
        if (handles.output == nullptr)
            return GetLastError();
        handles.error = InheritableCopy(GetStdHandle(STD_ERROR_HANDLE));
        break;
    case ChildOutput::Inherit:
        handles.output = InheritableCopy(GetStdHandle(STD_OUTPUT_HANDLE));
        handles.error = InheritableCopy(GetStdHandle(STD_ERROR_HANDLE));
        break;
    }
    return 0;
}

/// Reads the pipe until every writer has closed it (the child and whatever it started),
/// dropping what it reads.
void DrainToEnd(ChildProcess& child)
{
    char buffer[4096];
    DWORD got = 0;
    while (child.output != nullptr) {
        if (!ReadFile(child.output, buffer, sizeof buffer, &got, nullptr) || got == 0)
            CloseQuietly(child.output);
    }
}

}  // namespace

int SpawnChild(const std::vector<std::string>& argv, const SpawnRequest& request, ChildProcess& child)
{
    ChildHandles handles;
    if (const DWORD error = PrepareHandles(request, handles, child); error != 0) {
        ReleaseChild(child);
        return static_cast<int>(error);
    }
    STARTUPINFOW startup{};
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
    if (request.showWindow != 0) {
        startup.dwFlags |= STARTF_USESHOWWINDOW;
        startup.wShowWindow = request.showWindow;
    }
    std::wstring line = WideText(WindowsCommandLine(argv));
    const std::wstring program = WideText(argv.front());
    // Started suspended, so that it is in its job before it can start anything itself.
    const DWORD flags = request.group == ChildGroup::Own ? CREATE_SUSPENDED : 0;
    PROCESS_INFORMATION process{};
    // A program named with its folder is started as it is, never searched again.
    const bool hasFolder = argv.front().find_first_of("\\/:") != std::string::npos;
    if (!CreateProcessW(hasFolder ? program.c_str() : nullptr, line.data(), nullptr, nullptr, TRUE, flags, nullptr,
                        nullptr, &startup, &process)) {
        const DWORD error = GetLastError();
        ReleaseChild(child);
        return static_cast<int>(error);
    }
    child.process = process.hProcess;
    if (request.group == ChildGroup::Own) {
        // Without a job (a system that refuses one here) a time-out can end the child only.
        child.job = CreateJobObjectW(nullptr, nullptr);
        if (child.job != nullptr && !AssignProcessToJobObject(child.job, process.hProcess))
            CloseQuietly(child.job);
        ResumeThread(process.hThread);
    }
    CloseHandle(process.hThread);
    return 0;
}

ChildState AwaitChild(ChildProcess& child, std::chrono::milliseconds slice)
{
    DWORD wait = slice < std::chrono::milliseconds(0) ? INFINITE : static_cast<DWORD>(slice.count());
    // A pipe cannot wake the wait, so it is looked at every few milliseconds.
    if (child.output != nullptr)
        wait = std::min(wait, kOutputPollMs);
    switch (WaitForSingleObject(child.process, wait)) {
    case WAIT_OBJECT_0:
        return ChildState::Ended;
    case WAIT_FAILED:
        return ChildState::Failed;
    default:
        return ChildState::Running;
    }
}

std::size_t ReadChildOutput(ChildProcess& child, char* buffer, std::size_t size)
{
    if (child.output == nullptr)
        return 0;
    DWORD available = 0;
    if (!PeekNamedPipe(child.output, nullptr, 0, nullptr, &available, nullptr)) {
        CloseQuietly(child.output);  // broken: every writer is gone and all was read
        return 0;
    }
    if (available == 0)
        return 0;
    DWORD got = 0;
    if (!ReadFile(child.output, buffer, std::min<DWORD>(available, static_cast<DWORD>(size)), &got, nullptr) ||
        got == 0) {
        CloseQuietly(child.output);
        return 0;
    }
    return got;
}

int ExitCodeOf(const ChildProcess& child)
{
    DWORD code = 1;
    if (!GetExitCodeProcess(child.process, &code))
        code = 1;
    return static_cast<int>(code);
}

void EndChildTree(ChildProcess& child)
{
    // Without a job (a system that refused one) only the child itself can be ended.
    if (child.job == nullptr || !TerminateJobObject(child.job, 1))
        TerminateProcess(child.process, 1);
    WaitForSingleObject(child.process, INFINITE);
}

void ReleaseChild(ChildProcess& child)
{
    CloseQuietly(child.output);
    CloseQuietly(child.job);
    CloseQuietly(child.process);
}

void ReleaseChildLater(ChildProcess child)
{
    // The handles need no waiting for: only a pipe the child still writes into must be kept
    // drained.
    if (child.output == nullptr) {
        ReleaseChild(child);
        return;
    }
    auto watch = [child]() mutable {
        DrainToEnd(child);
        ReleaseChild(child);
    };
    try {
        std::thread(std::move(watch)).detach();
    } catch (const std::system_error&) {
        // No thread to spare: the pipe is closed, and a child that still writes gets an error.
        ReleaseChild(child);
    }
}

}  // namespace os

std::string StartErrorText(int code)
{
    wchar_t* text = nullptr;
    const DWORD size =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = size > 0 && text != nullptr ? ProgramText(std::wstring_view(text, size))
                                                      : "error " + std::to_string(code);
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

std::size_t SystemCommandLineLimit()
{
    // CreateProcess takes at most 32767 characters, the terminating NUL included.
    return 32767;
}

}  // namespace brevok

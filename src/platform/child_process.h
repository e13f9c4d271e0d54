// What each system gives the runners of process.cpp: start a child, wait for it a while,
// read what it wrote, end all it started, and let it go. Everything else (planning, the
// time-out loop, the pump, where output goes, what a run reports) is process.cpp's alone.
#pragma once

#include "platform/process.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace brevok::os {

/// A started child as its system knows it.
struct ChildProcess {
#ifdef _WIN32
    /// The process, the job that holds it and all it starts (null when it has none of its
    /// own) and the read end of its output pipe: HANDLEs, which are pointers.
    void* process = nullptr;
    void* job = nullptr;
    void* output = nullptr;
#else
    /// The child's id, which is also its process group when it leads one.
    int pid = -1;
    /// The wait status once it was reaped.
    int status = 0;
    /// Readable once the child ends (Linux pidfd), -1 where the kernel offers none.
    int pidfd = -1;
    /// The read end of its output pipe.
    int outputFd = -1;
#endif
};

/// Where the child's standard output and error go.
enum class ChildOutput {
    /// Both into a pipe that ReadChildOutput reads.
    Capture,
    /// Where ours go.
    Inherit,
    /// Standard output on a descriptor of ours, standard error where ours goes.
    Descriptor,
};

/// Whether the child gets a group of its own (process group, job object), which ending its
/// tree ends whole, or stays in ours.
enum class ChildGroup { Own, Caller };

struct SpawnRequest {
    /// The show-window code (0: the system's default). POSIX has no window to show.
    std::uint16_t showWindow = 0;
    ChildOutput output = ChildOutput::Inherit;
    /// The descriptor for ChildOutput::Descriptor.
    int outputFd = -1;
    ChildGroup group = ChildGroup::Caller;
};

enum class ChildState { Running, Ended, Failed };

/// Starts `argv` (argv[0] a path) with standard input from the null device. Returns 0 or the
/// error code of the failed start, which leaves nothing open.
int SpawnChild(const std::vector<std::string>& argv, const SpawnRequest& request, ChildProcess& child);

/// Sleeps at most `slice` (negative: as long as it takes) until the child ends or output
/// arrives, and says whether it still runs. Ended once it is gone (reaped, on POSIX); Failed
/// when it cannot be waited for.
ChildState AwaitChild(ChildProcess& child, std::chrono::milliseconds slice);

/// Reads at most `size` bytes of what the output pipe holds now, without blocking; 0 when it
/// holds nothing now or has no pipe. The pipe is closed at its end.
std::size_t ReadChildOutput(ChildProcess& child, char* buffer, std::size_t size);

/// The exit code of a child that ended: on POSIX 128 + the signal number when a signal
/// ended it; 1 when there is none to read.
int ExitCodeOf(const ChildProcess& child);

/// Ends the child and everything in its group, and waits until the child is gone.
void EndChildTree(ChildProcess& child);

/// Closes what is left of a child that is gone or was never started.
void ReleaseChild(ChildProcess& child);

/// Lets a child that outlived its wait run on: its output pipe stays drained, so that it
/// never blocks writing, and it is released when it ends (on POSIX reaped, so it never stays
/// a zombie).
void ReleaseChildLater(ChildProcess child);

/// Waits for the child for at most `timeoutMs` (negative: no limit), calling the pump about
/// every 20 ms and passing output to the output hook (or dropping it) as it goes. Running
/// when the time ran out.
ChildState WaitForChild(ChildProcess& child, std::int32_t timeoutMs, const LaunchHooks& hooks);

}  // namespace brevok::os

// Starting a program without waiting for it: WinExec's part.
#pragma once

#include <string>

namespace brevok {

/// Starts `commandLine` (split by the Windows rules, the program looked up like the runners
/// do) and returns at once; the program runs on by itself with its input and output on the
/// null device and is never waited for. False when it could not be started.
bool StartDetached(const std::string& commandLine);

}  // namespace brevok

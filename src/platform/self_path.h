// Where the running program's own file lies.
#pragma once

#include <string>

namespace brevok {

/// The full path of the running program's executable file (GetModuleFileName(0) on Windows,
/// /proc/self/exe resolved on Linux). Empty when the system cannot tell.
std::string RunningProgramPath();

}  // namespace brevok

// Finding llvm-rc: the one named, else beside the running program or on the search path,
// under its own name or as the highest versioned one (as Debian installs LLVM's tools).
#pragma once

#include <string>

namespace brevok {

/// llvm-rc: BREVOK_LLVM_RC when set, else llvm-rc beside the program, on PATH, or llvm-rc-NN
/// on PATH; empty when there is none.
std::string FindLlvmRc();

}  // namespace brevok

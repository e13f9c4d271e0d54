// What the environment tells brcc32 and brc32 about a compile, read once in their main.
#pragma once

#include "rcdriver/compile_options.h"

namespace brevok {

/// Fills the options the environment gives: the folders of INCLUDE, BREVOK_FORCE_LLVM_RC=1
/// (every script to llvm-rc), and where llvm-rc is: BREVOK_LLVM_RC when set and not empty,
/// else looked for beside the program and on PATH when a compile first needs it.
void ReadCompileEnvironment(CompileOptions& options);

}  // namespace brevok

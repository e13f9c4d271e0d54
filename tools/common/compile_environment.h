// What the environment tells brcc32 and brc32 about a compile, read once in their main.
#pragma once

#include "rcdriver/compile_options.h"

namespace brevok {

/// Fills the options the environment gives: the folders of INCLUDE.
void ReadCompileEnvironment(CompileOptions& options);

}  // namespace brevok

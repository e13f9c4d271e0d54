// A run of brcc32 in windres mode: a script or a .res file into a .res file or a COFF object.
#pragma once

#include "rcdriver/windres_options.h"

namespace brevok {

/// The format of the file `path` by its first bytes: Res when it starts with a .res file's
/// empty opening record, else Rc. Throws Error when it cannot be read.
ResourceFormat GuessInputFormat(const std::string& path);

/// Turns `args.input` into `args.output` in `args.outputFormat`: a script is compiled as
/// CompileResourceScript compiles it, a .res file is checked (it must parse) and copied, or
/// both become an object through WriteObjectFromRes. The output and the dependency file are
/// each written whole or not at all, the dependency file only when the output is in place.
ToolOutcome RunWindres(const WindresArguments& args);

}  // namespace brevok

// The macros of a command line as one line of text, for tests of both command lines.
#pragma once

#include "rcdriver/compile_options.h"

#include <string>

namespace brevok::testing {

/// "+NAME=VALUE " for each define and "-NAME " for each undefine, in order.
inline std::string Macros(const CompileOptions& options)
{
    std::string out;
    for (const MacroOption& macro : options.macros)
        out += macro.kind == MacroOption::Kind::Define ? "+" + macro.name + "=" + macro.value + " "
                                                       : "-" + macro.name + " ";
    return out;
}

}  // namespace brevok::testing

// Turning a .res file into a COFF object a linker takes, as windres -O coff writes it.
#pragma once

#include <string>

#include "image/res_object.h"
#include "rules/parsed.h"

namespace brevok {

/// The machine's name as windres's -F takes it ("pe-x86-64").
const char* TargetName(CoffMachine machine);

/// Writes the resources of the .res file `res` into the COFF object `object` for `machine`:
/// `ok` only when `object` is complete and in place; an older `object` stays on failure.
ToolOutcome WriteObjectFromRes(const std::string& res, const std::string& object, CoffMachine machine);

}  // namespace brevok

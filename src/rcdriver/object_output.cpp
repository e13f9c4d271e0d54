// The COFF object of a .res file.
#include "rcdriver/object_output.h"

#include "rules/diagnostic.h"

namespace brevok {

const char* TargetName(ObjectMachine machine)
{
    switch (machine) {
    case ObjectMachine::I386:
        return "pe-i386";
    case ObjectMachine::X86_64:
        return "pe-x86-64";
    case ObjectMachine::Arm64:
        return "pe-aarch64-little";
    case ObjectMachine::Arm:
        return "pe-arm-little";
    }
    return "pe-x86-64";
}

ToolOutcome WriteObjectFromRes(const std::string& res, const std::string& object, ObjectMachine machine)
{
    // COFF WRITER: the one place that turns a .res into an object. Once the object writer
    // (WriteResObject in image/res_object.h) is in, this calls it with `machine` and reports
    // its failure as a RunError line.
    (void)res;
    (void)machine;
    return {false, {RunError("cannot write " + object + ": COFF output is not built yet; use -O res").Format()}};
}

}  // namespace brevok

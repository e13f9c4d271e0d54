// The COFF object of a .res file.
#include "rcdriver/object_output.h"

#include "rules/diagnostic.h"

namespace brevok {

const char* TargetName(CoffMachine machine)
{
    switch (machine) {
    case CoffMachine::I386:
        return "pe-i386";
    case CoffMachine::X64:
        return "pe-x86-64";
    case CoffMachine::Arm64:
        return "pe-aarch64-little";
    case CoffMachine::ArmNt:
        return "pe-arm-little";
    }
    return "pe-x86-64";
}

ToolOutcome WriteObjectFromRes(const std::string& res, const std::string& object, CoffMachine machine)
{
    const Status written = WriteResObject(res, object, machine);
    if (!written)
        return {false, {RunError(written.error).Format()}};
    return {true, {}};
}

}  // namespace brevok

// Turning a .res file into a COFF object file that a linker (GNU ld of mingw-w64, ld.lld,
// lld-link, link.exe) takes as the program's resources, as llvm-cvtres and llvm-windres
// write one.
#pragma once

#include <cstdint>
#include <string>

#include "rules/parsed.h"

namespace brevok {

/// The machines an object can be written for.
enum class CoffMachine {
    I386,   // IMAGE_FILE_MACHINE_I386 (0x14C), relocations IMAGE_REL_I386_DIR32NB
    X64,    // IMAGE_FILE_MACHINE_AMD64 (0x8664), IMAGE_REL_AMD64_ADDR32NB
    Arm64,  // IMAGE_FILE_MACHINE_ARM64 (0xAA64), IMAGE_REL_ARM64_ADDR32NB
    ArmNt,  // IMAGE_FILE_MACHINE_ARMNT (0x1C4, Thumb-2), IMAGE_REL_ARM_ADDR32NB
};

/// The machine field of the file header for `machine`.
std::uint16_t CoffMachineCode(CoffMachine machine);

/// Writes the records of the .res file `resPath` as a COFF object `objectPath` for `machine`.
/// The object holds what llvm-cvtres writes, byte for byte but for the time stamp (0 here):
/// - section 1 ".rsrc$01": the resource directory (resource_section.h: tables type, name,
///   language, named entries first; the data entries; the upper-cased name strings in the
///   order the records first name them), one relocation per data entry pointing its RVA
///   field (left 0) at the resource's symbol;
/// - section 2 ".rsrc$02": the records' data in the order of the .res, each aligned to 8;
/// - symbols "@feat.00" (absolute, 0x11), the two section symbols with their auxiliary
///   records, then "$R000000", "$R000001", ... (static, in .rsrc$02, at each record's data),
///   and an empty string table.
/// The .res is read in place: only record headers and the directory are held in memory, the
/// data are copied through in pieces of 1 MB. The object is written to a temporary file
/// beside `objectPath` and renamed into place, so on any failure an existing `objectPath` is
/// left as it was. Fails, with the file named first ("<path>: what is wrong"), on a .res that
/// cannot be read or parsed, is 4 GB or larger, holds the same type, name and language twice,
/// holds more than 65535 records, or names a type or resource with more than 65535
/// characters; and with the user's text of the failed step ("Cannot create file <path>",
/// "Stream write error") when the object cannot be written.
Status WriteResObject(const std::string& resPath, const std::string& objectPath, CoffMachine machine);

}  // namespace brevok

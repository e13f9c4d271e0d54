// Finding a named section of an ELF file (ELF-32 or ELF-64, either byte order) from its
// section header table, reading only the headers and the section-name string table.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "rules/parsed.h"

namespace brevok {

/// Reads `size` bytes of a file from `offset`; nullopt when they are not all there.
using ReadAtFunction = std::function<std::optional<std::string>(std::uint64_t offset, std::size_t size)>;

/// Where a section's contents lie in the file.
struct ElfSection {
    bool found = false;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
};

/// True when `head` starts with the ELF magic number.
bool IsElfImage(std::string_view head);

/// Finds the section called `name` (a section without file contents, SHT_NOBITS, does not
/// count). The value has found false when no section has that name; an error names what
/// is damaged ("section header table runs past the end of the file ..."). Every offset and
/// size is checked against `fileSize` before it is read.
Parsed<ElfSection> FindElfSection(const ReadAtFunction& readAt, std::uint64_t fileSize, std::string_view name);

}  // namespace brevok

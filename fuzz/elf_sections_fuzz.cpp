// Fuzzes the ELF section lookup with arbitrary files held in memory.
#include <cstdint>
#include <optional>
#include <string>

#include "image/elf_sections.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string file(reinterpret_cast<const char*>(data), size);
    const auto readAt = [&file](std::uint64_t offset, std::size_t count) -> std::optional<std::string> {
        if (offset > file.size() || count > file.size() - offset)
            return std::nullopt;
        return file.substr(static_cast<std::size_t>(offset), count);
    };
    const auto section = brevok::FindElfSection(readAt, file.size(), ".rsrc");
    if (section && section->found && (section->offset > size || section->size > size - section->offset))
        __builtin_trap();
    return 0;
}

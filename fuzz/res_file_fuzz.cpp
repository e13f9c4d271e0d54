// libFuzzer target: .res reading, and writing back what was read.
#include <cstddef>
#include <cstdint>
#include <string>

#include "image/res_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    auto records = brevok::ParseResFile(bytes);
    if (!records)
        return 0;
    // A file that reads must survive a write and a second read unchanged.
    const std::string written = brevok::WriteResFile(*records);
    auto again = brevok::ParseResFile(written);
    if (!again || again->size() != records->size())
        __builtin_trap();
    for (std::size_t i = 0; i < records->size(); ++i)
        if ((*again)[i].data != (*records)[i].data || !((*again)[i].name == (*records)[i].name))
            __builtin_trap();
    return 0;
}

// libFuzzer target: the file-statement reader, and the icon, cursor and bitmap readers of our
// compiler, on the same bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "rccompiler/file_script.h"
#include "rccompiler/icon_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const brevok::RecordList script = brevok::ParseFileScript(bytes);
    // Lines are counted from 1; every statement sits before a foreign line.
    for (const brevok::Record& statement : script.records)
        if (statement.line == 0 || (script.foreignLine && statement.line >= *script.foreignLine))
            __builtin_trap();
    for (const auto type : {brevok::IconFileType::Icon, brevok::IconFileType::Cursor}) {
        const auto directory = brevok::ReadIconDirectory(bytes, type);
        if (!directory)
            continue;
        // Whatever the reader accepts lies inside the file.
        for (const brevok::IconImage& image : directory->images)
            if (image.offset > size || image.size > size - image.offset || image.groupEntry.size() != 12)
                __builtin_trap();
    }
    (void)brevok::CheckBitmapStart(bytes.substr(0, 14));
    return 0;
}

// Fuzzes the script splitter: any bytes give lines, and cutting them into pieces anywhere
// gives the same lines.
#include "script/script_document.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto whole = brevok::ParseScriptText(bytes);
    const std::size_t cut = size == 0 ? 0 : data[0] % (size + 1);
    brevok::LineSplitter splitter = brevok::ScriptLineSplitter();
    if (splitter.Feed(bytes.substr(0, cut)))
        splitter.Feed(bytes.substr(cut));
    if (splitter.Finish() != whole)
        std::abort();
    return 0;
}

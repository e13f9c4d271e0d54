// Splitting any command line ends cleanly, and quoting what it gave splits back the same.
#include "platform/command_line.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> arguments = brevok::SplitCommandLine(line);
    if (arguments.empty())
        return 0;
    // The program name takes no escapes, so the round trip starts at the first argument.
    std::string rebuilt = "program";
    for (std::size_t i = 1; i < arguments.size(); ++i)
        rebuilt += " " + brevok::QuoteArgument(arguments[i]);
    const std::vector<std::string> again = brevok::SplitCommandLine(rebuilt);
    if (again.size() != arguments.size())
        std::abort();
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (again[i] != arguments[i])
            std::abort();
    }
    return 0;
}

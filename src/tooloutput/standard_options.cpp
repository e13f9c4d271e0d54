// --help and --version of every program.
#include "tooloutput/standard_options.h"

#include "tooloutput/tool_output.h"
#include "platform/system_text.h"

#include <cstdio>
#include <string>

namespace brevok {

std::optional<int> AnswerStandardOption(const std::vector<std::string>& arguments, std::string_view programName,
                                        std::string_view usage)
{
    if (arguments.size() < 2)
        return std::nullopt;
    const std::string_view option = arguments[1];
    // rc.exe's /? and /h, and their - forms, ask for the same help.
    if (option == "--help" || option == "/?" || option == "-?" || option == "/h" || option == "-h" ||
        option == "/H" || option == "-H") {
        WriteText(stdout, usage);
    } else if (option == "--version") {
        PrintLine(std::string(programName) + " (Brevok Resource Compiler) " + std::string(ToolsVersion()));
        PrintLine(kCopyrightLine);
    } else {
        return std::nullopt;
    }
    // "brcc32 --version > /dev/full" must not look like a success.
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}

}  // namespace brevok

// Any argument list read by either command line of brcc32 (and brc32's): no crash, and every
// refusal says what is wrong.
#include "rcdriver/compile_options.h"
#include "rcdriver/windres_options.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Arguments are separated by NUL bytes; the first one is the program's name.
    std::vector<std::string> arguments(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            arguments.emplace_back();
        else
            arguments.back() += static_cast<char>(data[i]);
    }
    const std::string program = arguments.front();
    arguments.erase(arguments.begin());

    const brevok::CommandLineMode mode = brevok::ChooseCommandLineMode(program, arguments);
    if (mode != brevok::CommandLineMode::Rc && mode != brevok::CommandLineMode::Windres)
        std::abort();
    for (const brevok::ToolKind kind : {brevok::ToolKind::Compiler, brevok::ToolKind::Binder}) {
        const brevok::Parsed<brevok::ToolArguments> rc = brevok::ParseToolArguments(arguments, kind);
        if (!rc && rc.error.empty())
            std::abort();
        if (rc && rc->script.empty())
            std::abort();
    }
    const brevok::Parsed<brevok::WindresArguments> windres =
        brevok::ParseWindresArguments(arguments, brevok::DefaultCoffMachine(program));
    if (!windres && windres.error.empty())
        std::abort();
    // A run that goes on to compile has both files, and a dependency file only with a target.
    if (windres && !windres->help && !windres->version) {
        if (windres->input.empty() || windres->output.empty())
            std::abort();
        const brevok::DependencyOutput& dependencies = windres->options.dependencies;
        if (!dependencies.file.empty() && dependencies.targets.empty())
            std::abort();
    }
    return 0;
}

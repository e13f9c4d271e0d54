// brcc32: compiles a resource script into a .res file beside it, BRCC32's way of being run.
#include "common/standard_options.h"
#include "rcdriver/message_lines.h"
#include "rcdriver/rc_frontend.h"
#include "platform/paths.h"

#include <cstdio>
#include <string>
#include <vector>

constexpr std::string_view kUsage =
    "usage: brcc32 [-fo RESFILE] SCRIPT\n"
    "Compiles the resource script SCRIPT into a .res file: RESFILE, or SCRIPT's name with the\n"
    "extension .res. A script of one-line file statements is compiled by brcc32 itself, any\n"
    "other by llvm-rc; clang, when found, runs the preprocessor for #include and #define.\n"
    "A three-line banner and the compiler's messages go to standard output; the exit code is\n"
    "0 only on success.\n"
    "\n"
    "Environment: BREVOK_LLVM_RC names the llvm-rc to run; BREVOK_FORCE_LLVM_RC=1 sends\n"
    "every script to llvm-rc.\n"
    "\n"
    "  -fo RESFILE  the .res file to write (also -FO)\n"
    "  --help       print this text and exit\n"
    "  --version    print the version and exit\n";

int main(int argc, char** argv)
{
    if (const std::optional<int> answered = brevok::AnswerStandardOption(argc, argv, "brcc32", kUsage))
        return *answered;
    brevok::PrintBanner("brcc32");
    std::string script;
    std::string res;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if ((argument == "-fo" || argument == "-FO") && i + 1 < argc && res.empty()) {
            res = argv[++i];
        } else if (script.empty() && !argument.empty()) {
            script = argument;
        } else {
            script.clear();
            break;
        }
    }
    if (script.empty()) {
        brevok::PrintLine("usage: brcc32 [-fo RESFILE] SCRIPT");
        return 2;
    }
    if (res.empty())
        res = brevok::ReplaceExtension(script, ".res");
    const brevok::CompileOutcome outcome = brevok::CompileResourceScript(script, res);
    for (const std::string& line : outcome.diagnostics)
        brevok::PrintLine(line);
    std::fflush(stdout);
    return outcome.ok ? 0 : 1;
}

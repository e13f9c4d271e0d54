// brcc32: compiles a resource script into a .res file beside it, BRCC32's way of being run.
#include "common/compile_environment.h"
#include "tooloutput/standard_options.h"
#include "tooloutput/tool_output.h"
#include "rcdriver/compile_options.h"
#include "rcdriver/pipeline.h"
#include "rules/paths.h"

#include <cstdio>
#include <string>
#include <vector>

constexpr std::string_view kUsageLine = "usage: brcc32 [options] [-fo RESFILE] SCRIPT";

const std::string kUsage = std::string(kUsageLine) +
    "\n"
    "Compiles the resource script SCRIPT into a .res file: RESFILE, or SCRIPT's name with the\n"
    "extension .res. brcc32 preprocesses and compiles the whole script language itself\n"
    "(ACCELERATORS, DIALOG(EX), MENU(EX), STRINGTABLE, VERSIONINFO, TOOLBAR, RCDATA, user\n"
    "types, file resources), byte for byte as llvm-rc writes them; no SDK or LLVM is needed.\n"
    "A three-line banner and the messages go to standard output, one per broken statement;\n"
    "the exit code is 0 only on success.\n"
    "It takes the command line of the Microsoft Windows Resource Compiler (rc.exe) as build\n"
    "systems write it: /nologo, /fo, /d, /i, /u and --, joined to their values or not, and\n"
    "its /n, /y, /w, /ln, /sl and /p.\n"
    "\n" +
    brevok::kCompileOptionsHelp +
    "\n"
    "Environment: INCLUDE lists more folders to search.\n";

int main(int argc, char** argv)
{
    if (const std::optional<int> answered = brevok::AnswerStandardOption(argc, argv, "brcc32", kUsage))
        return *answered;
    brevok::Parsed<brevok::ToolArguments> args =
        brevok::ParseToolArguments(std::vector<std::string>(argv + 1, argv + argc), brevok::ToolKind::Compiler);
    if (!args || !args->noLogo)
        brevok::PrintBanner("brcc32");
    if (!args) {
        brevok::PrintLine("brcc32: error: " + args.error);
        brevok::PrintLine(kUsageLine);
        std::fflush(stdout);
        return 2;
    }
    brevok::ReadCompileEnvironment(args->options);
    // -p writes the preprocessed script instead, by default beside the script as its .rcpp.
    const std::string res = !args->res.empty()     ? args->res
        : args->options.preprocessOnly ? brevok::ReplaceExtension(args->script, ".rcpp")
                                       : brevok::ReplaceExtension(args->script, ".res");
    if (args->options.dryRun) {
        for (const std::string& line : brevok::DescribeCompile(args->script, res, args->options))
            brevok::PrintLine(line);
        std::fflush(stdout);
        return 0;
    }
    const brevok::ToolOutcome outcome = brevok::CompileResourceScript(args->script, res, args->options);
    for (const std::string& line : outcome.lines)
        brevok::PrintLine(line);
    std::fflush(stdout);
    return outcome.ok ? 0 : 1;
}

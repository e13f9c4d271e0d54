// brcc32: compiles a resource script into a .res file beside it, BRCC32's way of being run.
#include "common/compile_environment.h"
#include "tooloutput/standard_options.h"
#include "tooloutput/tool_output.h"
#include "rcdriver/compile_options.h"
#include "rcdriver/pipeline.h"
#include "rcdriver/windres_options.h"
#include "rcdriver/windres_run.h"
#include "rules/paths.h"
#include "platform/system_text.h"

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
    "Started as brcc32-windres (any name ending in windres), or with one of windres's own\n"
    "options first (a --long option, -O, -J, -F), it takes GNU windres's command line\n"
    "instead: brcc32-windres --help lists it.\n"
    "\n" +
    brevok::kCompileOptionsHelp +
    "\n"
    "Environment: INCLUDE lists more folders to search.\n";

namespace {

std::string WindresUsage(const std::string& program)
{
    return "usage: " + program + " [options] [INPUT] [OUTPUT]\n"
        "Compiles the resource script INPUT (or copies the .res file INPUT) into OUTPUT, a .res file\n"
        "or a COFF object, taking the command line of GNU windres as build systems write it.\n"
        "No banner; messages go to standard error. brcc32 preprocesses scripts itself; the\n"
        "INCLUDE variable is not read in this mode (see -I).\n"
        "\n" +
        std::string(brevok::kWindresOptionsHelp);
}

void PrintError(const std::string& line)
{
    brevok::PrintErrorLine(line);
}

/// windres mode: GNU windres's command line, its exit codes (0, or 1 on any error), and no
/// banner.
int RunWindresMode(const std::string& programPath, const std::vector<std::string>& arguments)
{
    const std::string program = brevok::ProgramName(programPath);
    brevok::Parsed<brevok::WindresArguments> args =
        brevok::ParseWindresArguments(arguments, brevok::DefaultCoffMachine(programPath));
    if (!args) {
        PrintError(program + ": error: " + args.error);
        PrintError("Try '" + program + " --help'.");
        return 1;
    }
    for (const std::string& warning : args->warnings)
        PrintError(program + ": warning: " + warning);
    if (args->help || args->version) {
        if (args->help) {
            const std::string usage = WindresUsage(program);
            brevok::WriteText(stdout, usage);
        } else {
            // Build systems tell a windres by "GNU windres" in this text (Meson).
            brevok::PrintLine(program + " (Brevok Resource Compiler) " + std::string(brevok::ToolsVersion()));
            brevok::PrintLine("Takes the command line of GNU windres; writes .res files and COFF objects.");
            brevok::PrintLine(brevok::kCopyrightLine);
        }
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }
    const brevok::ToolOutcome outcome = brevok::RunWindres(*args);
    for (const std::string& line : outcome.lines)
        PrintError(line);
    return outcome.ok ? 0 : 1;
}

}  // namespace

int Run(const std::vector<std::string>& programArguments)
{
    const std::string programPath = programArguments.empty() ? std::string() : programArguments.front();
    const std::vector<std::string> arguments(programArguments.begin() + (programArguments.empty() ? 0 : 1),
                                             programArguments.end());
    if (brevok::ChooseCommandLineMode(programPath, arguments) == brevok::CommandLineMode::Windres)
        return RunWindresMode(programPath.empty() ? "brcc32-windres" : programPath, arguments);
    if (const std::optional<int> answered = brevok::AnswerStandardOption(programArguments, "brcc32", kUsage))
        return *answered;
    brevok::Parsed<brevok::ToolArguments> args =
        brevok::ParseToolArguments(arguments, brevok::ToolKind::Compiler);
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

BREVOK_PROGRAM_MAIN(Run)

// brc32: compiles a resource script into a .res file and binds that into a PE executable.
#include <cstdio>
#include <string>
#include <vector>

#include "common/compile_environment.h"
#include "edit_main.h"
#include "resedit/edit_command.h"
#include "tooloutput/standard_options.h"
#include "tooloutput/tool_output.h"
#include "rcdriver/compile_options.h"
#include "rcdriver/pipeline.h"
#include "image/binder.h"
#include "rules/paths.h"
#include "platform/system_text.h"

constexpr std::string_view kUsageLine = "usage: brc32 [options] -fo RESFILE -fe EXEFILE SCRIPT";

const std::string kUsage = std::string(kUsageLine) +
    "\n"
    "Compiles the resource script SCRIPT into RESFILE, as brcc32 does, and binds those\n"
    "resources into the Windows executable EXEFILE: a resource of the same type, name and\n"
    "language is replaced, the others are added. EXEFILE is replaced whole or left as it was.\n"
    "A three-line banner and the messages go to standard output; the exit code is 0 only on\n"
    "success.\n"
    "\n"
    "  -fe EXEFILE  the executable to bind the resources into\n" +
    brevok::kCompileOptionsHelp +
    "\n"
    "usage: brc32 PROGRAM OPTION... (edits a finished program, as rcedit does)\n"
    "Every edit of one call is written at once; the program is replaced whole or left as it\n"
    "was. Values go to standard output, messages to standard error.\n"
    "\n" +
    brevok::kEditOptionsHelp;

int Run(const std::vector<std::string>& programArguments)
{
    if (const std::optional<int> answered = brevok::AnswerStandardOption(programArguments, "brc32", kUsage))
        return *answered;
    const std::vector<std::string> arguments(programArguments.begin() + (programArguments.empty() ? 0 : 1),
                                             programArguments.end());
    if (brevok::IsEditCall(arguments))
        return RunEditMode(arguments);
    brevok::Parsed<brevok::ToolArguments> args =
        brevok::ParseToolArguments(arguments, brevok::ToolKind::Binder);
    if (!args || !args->noLogo)
        brevok::PrintBanner("brc32");
    if (!args) {
        brevok::PrintLine("brc32: error: " + args.error);
        brevok::PrintLine(kUsageLine);
        std::fflush(stdout);
        return 2;
    }
    brevok::ReadCompileEnvironment(args->options);
    if (args->options.dryRun) {
        for (const std::string& line : brevok::DescribeCompile(args->script, args->res, args->options))
            brevok::PrintLine(line);
        brevok::PrintLine("bind: " + args->res + " into " + args->exe);
        std::fflush(stdout);
        return 0;
    }
    const brevok::ToolOutcome compiled = brevok::CompileResourceScript(args->script, args->res, args->options);
    for (const std::string& line : compiled.lines)
        brevok::PrintLine(line);
    if (!compiled.ok) {
        std::fflush(stdout);
        return 1;
    }
    const brevok::ToolOutcome bound = brevok::BindResFile(args->res, args->exe);
    for (const std::string& line : bound.lines)
        brevok::PrintLine(line);
    std::fflush(stdout);
    return bound.ok ? 0 : 1;
}

BREVOK_PROGRAM_MAIN(Run)

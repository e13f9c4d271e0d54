// brc32: compiles a resource script into a .res file and binds that into a PE executable.
#include <cstdio>
#include <string>
#include <vector>

#include "common/standard_options.h"
#include "rcdriver/message_lines.h"
#include "rcdriver/rc_frontend.h"
#include "image/binder.h"
#include "platform/paths.h"

namespace {

struct Arguments {
    std::string res;
    std::string exe;
    std::string script;
};

// -fo RES, -fe EXE and the script, in any order; option letters in either case.
bool ParseArguments(int argc, char** argv, Arguments& out)
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const std::string option = brevok::AsciiUpper(argument);
        std::string* slot = option == "-FO" ? &out.res : option == "-FE" ? &out.exe : nullptr;
        if (slot) {
            if (i + 1 >= argc || !slot->empty() || argv[i + 1][0] == '\0')
                return false;
            *slot = argv[++i];
        } else if (out.script.empty() && !argument.empty() && argument[0] != '-') {
            out.script = argument;
        } else {
            return false;
        }
    }
    return !out.res.empty() && !out.exe.empty() && !out.script.empty();
}

}  // namespace

constexpr std::string_view kUsage =
    "usage: brc32 -fo RESFILE -fe EXEFILE SCRIPT\n"
    "Compiles the resource script SCRIPT into RESFILE, as brcc32 does, and binds those\n"
    "resources into the Windows executable EXEFILE: a resource of the same type, name and\n"
    "language is replaced, the others are added. EXEFILE is replaced whole or left as it was.\n"
    "A three-line banner and the messages go to standard output; the exit code is 0 only on\n"
    "success.\n"
    "\n"
    "  -fo RESFILE  the .res file to write\n"
    "  -fe EXEFILE  the executable to bind the resources into\n"
    "  --help       print this text and exit\n"
    "  --version    print the version and exit\n"
    "Option letters are read in either case.\n";

int main(int argc, char** argv)
{
    if (const std::optional<int> answered = brevok::AnswerStandardOption(argc, argv, "brc32", kUsage))
        return *answered;
    brevok::PrintBanner("brc32");
    Arguments args;
    if (!ParseArguments(argc, argv, args)) {
        brevok::PrintLine("usage: brc32 -fo RESFILE -fe EXEFILE SCRIPT");
        std::fflush(stdout);
        return 2;
    }
    const brevok::CompileOutcome compiled = brevok::CompileResourceScript(args.script, args.res);
    for (const std::string& line : compiled.diagnostics)
        brevok::PrintLine(line);
    if (!compiled.ok) {
        std::fflush(stdout);
        return 1;
    }
    const brevok::BindOutcome bound = brevok::BindResFile(args.res, args.exe);
    for (const std::string& line : bound.lines)
        brevok::PrintLine(line);
    std::fflush(stdout);
    return bound.ok ? 0 : 1;
}

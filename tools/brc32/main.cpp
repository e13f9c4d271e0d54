// brc32: compiles a resource script into a .res file and binds that into a PE executable.
#include <cstdio>
#include <string>
#include <vector>

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
bool ParseArguments(int argc, char** argv, Arguments& out) {
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

int main(int argc, char** argv) {
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

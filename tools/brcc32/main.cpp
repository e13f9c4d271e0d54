// brcc32: compiles a resource script into a .res file beside it, BRCC32's way of being run.
#include "rcdriver/message_lines.h"
#include "rcdriver/rc_frontend.h"
#include "platform/paths.h"

#include <cstdio>
#include <string>
#include <vector>


int main(int argc, char** argv)
{
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

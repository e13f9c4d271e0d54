// brc32's editing mode: values on standard output (no banner, so callers can read them),
// messages on standard error.
#include "edit_main.h"

#include <cstdio>

#include "resedit/edit_command.h"
#include "tooloutput/tool_output.h"

int RunEditMode(const std::vector<std::string>& arguments)
{
    brevok::Parsed<brevok::EditCall> call = brevok::ParseEditCall(arguments);
    if (!call) {
        brevok::PrintErrorLine("brc32: error: " + call.error);
        brevok::PrintErrorLine("usage: brc32 PROGRAM --option VALUE... (brc32 --help)");
        return 2;
    }
    const brevok::EditOutcome outcome = brevok::RunEditCall(*call);
    for (const std::string& value : outcome.values)
        brevok::PrintLine(value);
    std::fflush(stdout);
    for (const std::string& message : outcome.messages)
        brevok::PrintErrorLine(message);
    return outcome.ok ? 0 : 1;
}

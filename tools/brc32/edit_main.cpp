// brc32's editing mode: values on standard output (no banner, so callers can read them),
// messages on standard error.
#include "edit_main.h"

#include <cstdio>

#include "resedit/edit_command.h"

int RunEditMode(const std::vector<std::string>& arguments)
{
    brevok::Parsed<brevok::EditCall> call = brevok::ParseEditCall(arguments);
    if (!call) {
        std::fprintf(stderr, "brc32: error: %s\nusage: brc32 PROGRAM --option VALUE... (brc32 --help)\n",
                     call.error.c_str());
        return 2;
    }
    const brevok::EditOutcome outcome = brevok::RunEditCall(*call);
    for (const std::string& value : outcome.values)
        std::printf("%s\n", value.c_str());
    std::fflush(stdout);
    for (const std::string& message : outcome.messages)
        std::fprintf(stderr, "%s\n", message.c_str());
    return outcome.ok ? 0 : 1;
}

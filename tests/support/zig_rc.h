// Zig's resource compiler, the tests' reference for rc.exe's bytes: `zig rc`, installed by
// scripts/install-deps.sh into build/oracles (BREVOK_ZIG in the environment names another).
#pragma once

#include "platform/files.h"
#include "platform/process.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace brevok::testing {

/// The zig program, or empty when it is not installed.
inline std::string FindZig()
{
    const char* chosen = std::getenv("BREVOK_ZIG");
    const std::string path = chosen != nullptr && *chosen != '\0' ? chosen : BREVOK_ZIG;
    return FileExists(path) ? path : std::string();
}

/// Runs `zig rc OPTIONS... /fo OUTPUT -- SCRIPT` (the `--` keeps an absolute path from being
/// read as an option), with only the headers the script's own folders hold unless `options`
/// says otherwise.
inline ProgramExit RunZigRc(const std::string& zig, std::vector<std::string> options, const std::string& output,
                            const std::string& script)
{
    std::vector<std::string> command = {zig, "rc"};
    command.insert(command.end(), options.begin(), options.end());
    command.insert(command.end(), {"/fo", output, "--", script});
    return RunAndCapture(command);
}

}  // namespace brevok::testing

// Build All: save the script, run the binder through the companion runner, show its messages.
#pragma once

#include "platform/process.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace brevok {

struct CommandHost;

inline constexpr std::string_view kNoExecutableText = "You must select an executable to bind the resource file to.";
// kept as written
inline constexpr std::string_view kCommandTooLongText =
    "Internal Error, Cannot continue to compile, Command line too long";
// kept as written
inline constexpr std::string_view kBuildCompleteText = "Compile and binding complete, No errors found..";
inline constexpr std::string_view kCannotEnterFolderText =
    "Cannot enter the working folder %s\rChoose one with Options, Set Working Folder.";
inline constexpr std::string_view kCaptureFileName = "message.tmp";

/// What the limit of a command line counts: the bytes of its text, or its characters (a
/// letter beyond ASCII counts one however many bytes its UTF-8 takes).
enum class LengthUnit { Bytes, Characters };

/// The programs of the build command line and the longest line that may be run.
struct BuildCommandRules {
    std::string companion;
    std::string binder;
    std::size_t maxLength = 0;
    LengthUnit unit = LengthUnit::Bytes;
};

/// "brevdos.exe brc32.exe" and 125 characters: the companion's own command-line buffer
/// holds no more (46 fixed characters, 79 for the three paths). Windows hands a program its
/// command line as characters, so characters are counted.
BuildCommandRules WindowsBuildRules();

/// "brevdos brc32" and the system's limit on the arguments of a new program, in bytes; our
/// companion has no buffer of its own.
BuildCommandRules PosixBuildRules();

BuildCommandRules HostBuildRules();

struct BuildAllOptions {
    BuildCommandRules rules = HostBuildRules();
    /// How long the run is waited for; it is left running after that.
    std::int32_t timeoutMs = 5000;
    /// What the launcher may do while it waits.
    LaunchHooks hooks{};
};

/// The build command line: companion, binder, "-fo", the resource file, "-fe", the
/// executable, the script, "> message.tmp". A path is written as it is unless the Windows
/// splitting rules would change it; then it is quoted by those rules.
std::string BuildAllCommandLine(const BuildCommandRules& rules, const std::string& resPath, const std::string& exePath,
                                const std::string& scriptPath);

/// mnuFileBuildAllClick: every step of the Build All command, against `host`. A working folder
/// that cannot be entered is reported in an error box and nothing runs. A capture file that
/// cannot be read, or a script that cannot be saved, is thrown as Error for the generic error
/// report; the busy cursor and the current folder are restored on every path.
void RunBuildAllCommand(const CommandHost& host, const BuildAllOptions& options = {});

}  // namespace brevok

// Compile: save the script, run the resource compiler through a batch file, show its messages.
#pragma once

#include "rules/host_system.h"
#include "platform/process.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brevok {

struct CommandHost;

inline constexpr std::string_view kNoResourcesText = "There are no resources to compile";
// kept as written
inline constexpr std::string_view kNoCompilerText = "Can't Compile. No resource compiler is seleted";
inline constexpr std::string_view kResourceCompiledText = "Resource compiled ";
// kept as written
inline constexpr std::string_view kCompileCompleteText = "Compile complete, No errors found..";
inline constexpr std::string_view kCompilerErrorText = "Compiler Error";
inline constexpr std::string_view kBatchFileName = "Temp.bat";
inline constexpr std::string_view kCannotSetVariableText = "Cannot set the environment variable %s for the compiler";

/// The interpreter that reads the batch file, which decides how a path is quoted in it.
enum class BatchShell { Posix, Cmd };

inline constexpr BatchShell kHostBatchShell = kHostIsWindows ? BatchShell::Cmd : BatchShell::Posix;

/// How the Compile command runs (not the compiler's own options, which are rcdriver's CompileOptions).
struct CompileCommandOptions {
    /// How long the batch run may take before it is ended.
    std::int32_t timeoutMs = 20000;
    BatchShell shell = kHostBatchShell;
    /// What the launcher may do while the batch runs.
    LaunchHooks hooks{};
};

/// A path the batch file names as "%NAME%": cmd.exe reads a batch file in the console's OEM
/// code page, which would misread a path beyond ASCII written into it, while it expands
/// %NAME% from the environment as Unicode. The command sets the variables for the programs
/// it starts before it runs the batch file.
struct BatchVariable {
    std::string name;
    std::string value;
    bool operator==(const BatchVariable&) const = default;
};

/// The batch file of a Compile and the variables it reads.
struct CompileBatch {
    std::string text;
    std::vector<BatchVariable> variables;
};

/// The batch file: the compiler, the script and the redirection into the output file, then
/// " CLS"; each line ends with CR LF. A path is written as it is unless the shell would split
/// it or read a character of it as syntax; then it is quoted for `shell` (for cmd.exe a "%"
/// is doubled as well, since quotes do not stop its expansion). For cmd.exe a path that is
/// not plain ASCII is written as "%BREVOK_COMPILER%", "%BREVOK_SCRIPT%" or "%BREVOK_OUTPUT%"
/// and carried in that variable.
CompileBatch MakeCompileBatch(const std::string& compilerPath, const std::string& scriptPath,
                              const std::string& outputPath, BatchShell shell = kHostBatchShell);

/// The batch file of a script: the script's folder followed by "Temp.bat".
std::string BatchPathFor(const std::string& scriptPath);

/// mnuFileCompileClick: every step of the Compile command, against `host`. Failures the
/// command does not report itself (the script, batch or output file cannot be written or
/// read, a variable of the batch file cannot be set) are thrown as Error for the generic
/// error report; the busy cursor is restored and the batch file deleted on every path.
void RunCompileCommand(const CommandHost& host, const CompileCommandOptions& options = {});

}  // namespace brevok

// The resource-compiler front end shared by brcc32 and brc32: our compiler for scripts of file
// statements, llvm-rc for everything else, behind BRCC32's outcome.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brevok {

/// What one compile of a resource script gave.
struct CompileOutcome {
    /// True only when the `.res` file is complete and in place.
    bool ok = false;
    /// Every message of the compiler and its preprocessor, one per line, as
    /// "FILE(LINE): error: TEXT" where the line is known ("/home/me/app.rc(12): error:
    /// expected '{', got 3"); failures of the front end itself (no llvm-rc, the output
    /// cannot be written) as "error: TEXT".
    std::vector<std::string> diagnostics;
};

/// Compiles the resource script `script` into the `.res` file `res`. The output is written
/// to a temporary file beside `res` and renamed into place only on success, so a failed
/// compile never leaves a partial `.res` (an older `res` stays as it was).
/// A script of one-line file statements, blank lines and `//` comments is compiled by us
/// (CompileFileScript: the same bytes llvm-rc writes); any other script goes to llvm-rc,
/// found through BREVOK_LLVM_RC, else `llvm-rc` or `llvm-rc-NN` on PATH. Without llvm-rc such
/// a script fails with "SCRIPT(LINE): error: this line needs llvm-rc, ..." naming its first
/// line that is not a file statement. BREVOK_FORCE_LLVM_RC=1 sends every script to llvm-rc.
CompileOutcome CompileResourceScript(const std::string& script, const std::string& res);

/// True when a C preprocessor (clang) is there for #include and #define.
bool PreprocessorAvailable();

}  // namespace brevok

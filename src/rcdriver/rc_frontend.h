// The resource-compiler front end shared by brcc32 and brc32: our preprocessor, our compiler
// for scripts of file statements, llvm-rc for everything else, behind BRCC32's outcome.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/parsed.h"
#include "rcdriver/compile_options.h"
#include "rcdriver/preprocessor.h"

namespace brevok {

/// Compiles the resource script `script` into the `.res` file `res`: `ok` only when the
/// `.res` file is complete and in place; in `lines` every message of the compiler and its
/// preprocessor, as "FILE(LINE): error: TEXT" where the line is known ("/home/me/app.rc(12):
/// error: expected '{', got 3"), failures of the front end itself (no llvm-rc, the output
/// cannot be written) as "error: TEXT". The output is written
/// to a temporary file beside `res` and renamed into place only on success, so a failed
/// compile never leaves a partial `.res` (an older `res` stays as it was).
/// A script of one-line file statements, blank lines and `//` comments is compiled by us
/// (CompileFileScript: the same bytes llvm-rc writes); any other script is preprocessed by
/// us (PreprocessScript) and the result compiled by llvm-rc (`/no-preprocess`), found
/// through `options.llvmRc`. Without llvm-rc such a script fails with "SCRIPT(LINE): error:
/// this line needs llvm-rc, ..." naming its first line that is not a file statement.
/// `options.forceLlvmRc` sends every script to llvm-rc.
ToolOutcome CompileResourceScript(const std::string& script, const std::string& res,
                                  const CompileOptions& options = {});

/// The preprocessor's options for `script`: its folder, the `-i` folders, INCLUDE (unless
/// `-x`), then the shipped headers; the macros and the code page.
PreprocessOptions PreprocessOptionsFor(const std::string& script, const CompileOptions& options);

/// The llvm-rc command that compiles the preprocessed `input` (in `codePage`) of `script`
/// into `output` (a dry run when `output` is empty).
std::vector<std::string> LlvmRcCommandLine(const std::string& llvmRc, const std::string& script,
                                           const CompileOptions& options, int codePage, const std::string& input,
                                           const std::string& output);

/// What `-###` prints: the files, the include search, the options and the llvm-rc command.
std::vector<std::string> DescribeCompile(const std::string& script, const std::string& res,
                                         const CompileOptions& options);

}  // namespace brevok

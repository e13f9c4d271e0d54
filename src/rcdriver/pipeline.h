// The resource compiler's pipeline, shared by brcc32 and brc32: preprocess, cut into tokens,
// parse, turn the statements into records and write them, behind BRCC32's outcome.
#pragma once

#include <string>
#include <vector>

#include "rules/parsed.h"
#include "preprocessor/preprocessor.h"
#include "rcdriver/compile_options.h"

namespace brevok {

/// Compiles the resource script `script` into the `.res` file `res`: `ok` only when the
/// `.res` file is complete and in place; in `lines` every message of the compiler and its
/// preprocessor, as "FILE(LINE): error: TEXT" where the line is known ("/home/me/app.rc(12):
/// error: expected '{', got 3"), failures of the compile itself (the output cannot be
/// written) as "error: TEXT". The output is written to a temporary file beside `res` and
/// renamed into place only on success, so a failed compile never leaves a partial `.res`
/// (an older `res` stays as it was). A script of one-line file statements, blank lines and
/// `//` comments, with no macro given on the command line, is streamed without a
/// preprocessing run (ParseFileScript); the same records come out either way.
/// On success, `options.dependencies` names the files read (the script, each header, each data
/// file, each once in the order first read; a make rule's target is `res` unless the options
/// name others), and so does `filesRead` when given.
ToolOutcome CompileResourceScript(const std::string& script, const std::string& res,
                                  const CompileOptions& options = {}, std::vector<std::string>* filesRead = nullptr);

/// The preprocessor's options for `script`: its folder, the `-i` folders, INCLUDE (unless
/// `-x`), then the shipped headers; the macros and the code page.
PreprocessOptions PreprocessOptionsFor(const std::string& script, const CompileOptions& options);

/// What `-###` prints: the files, the include search and the options.
std::vector<std::string> DescribeCompile(const std::string& script, const std::string& res,
                                         const CompileOptions& options);

}  // namespace brevok

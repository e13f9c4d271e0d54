// Compiling a script of file statements into a .res file ourselves, byte for byte as llvm-rc
// writes it with the front end's options.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "rcdriver/file_script.h"
#include "rcdriver/rc_frontend.h"

namespace brevok {

/// What CompileFileScript did: compiled (or failed with diagnostics), or left the script to
/// llvm-rc because of the line in `llvmRcLine`.
struct FileCompile {
    ToolOutcome outcome;
    std::optional<std::size_t> llvmRcLine;
};

/// Compiles the statements of `parsed` (a script without a foreign line) read from `script`
/// into `res`, as llvm-rc would with the front end's command line (LlvmRcCommandLine) on the
/// preprocessed copy in a private temporary folder:
/// - records in statement order after the empty opening record, in the options' language;
/// - BITMAP: the file after its 14-byte file header, flags 0x30;
/// - ICON, CURSOR: one RT_ICON / RT_CURSOR per image (a cursor's starts with its hot spot),
///   numbered from 1 across the script, flags 0x1010, then the group directory, flags 0x1030;
/// - anything else: the file's bytes, flags 0x30;
/// - an Inline statement: its data.
/// A statement's own memory flags, language, version and characteristics replace these.
/// Messages name the line as `locate` spells it, by default "SCRIPT(LINE)".
/// Every statement is checked; each problem gives a line "SCRIPT(LINE): error: TEXT" and no
/// output is written (an older `res` stays). Data files are streamed, never held whole; icon
/// and cursor files are read whole.
/// "FILE(LINE)" for a 1-based line of what was parsed.
using LineLocator = std::function<std::string(std::size_t line)>;

FileCompile CompileFileScript(const std::string& script, const FileScript& parsed, const std::string& res,
                              const CompileOptions& options, LineLocator locate = {});

}  // namespace brevok

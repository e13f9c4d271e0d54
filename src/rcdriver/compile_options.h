// The options brcc32 and brc32 take, in the resource compiler's own conventions: `-x` or
// `/x`, letters in either case, a value joined to its option or as the next argument.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rules/parsed.h"
#include "preprocessor/preprocessor.h"
#include "rcdriver/dependency_file.h"
#include "rules/text_encoding.h"
#include "rccompiler/rc_tokens.h"

namespace brevok {

/// How a script is compiled.
struct CompileOptions {
    /// `-i PATH`: searched for includes and data files after the script's folder, in order.
    std::vector<std::string> includeFolders;
    /// `-d NAME[=VALUE]` and `-u NAME`, in order.
    std::vector<MacroOption> macros;
    /// `-c CODEPAGE`: the code page of files without a byte order mark.
    int codePage = kDefaultCodePage;
    /// `-l LANGID`: the language of resources no LANGUAGE statement names (0x409 by default).
    std::uint16_t language = 0x409;
    /// `-n`: every string of a STRINGTABLE ends with a NUL, which its length counts.
    bool nullTerminateStrings = false;
    /// `-y`: no warning for a control ID used twice in a dialog.
    bool quietDuplicateControlIds = false;
    /// `-w`: a `#pragma code_page` naming a code page Windows does not know is a warning,
    /// and the code page stays; without it, an error.
    bool warnOnUnknownCodePage = false;
    /// `-sl PERCENT`: the most characters a string literal may hold (8192 at 100%); past it,
    /// an error. Without -sl, a literal past rc.exe's 4097 is a warning: rc.exe would refuse
    /// it, we compile it.
    std::size_t stringLiteralLimit = kDefaultStringLiteralLimit;
    bool stringLiteralLimitGiven = false;
    /// `-p`: only preprocess, writing the preprocessed script where the .res would go.
    bool preprocessOnly = false;
    /// `-x`: the INCLUDE variable is not searched.
    bool ignoreIncludeVariable = false;
    /// `-v`: print the files read and, unless `keepPreprocessed` is off, keep the
    /// preprocessed script beside the .res.
    bool verbose = false;
    bool keepPreprocessed = true;
    /// `/:depfile FILE` and `/:depfile-fmt make|json` (windres: -MD, -MF, ...): the files the
    /// compile read, written when it succeeds.
    DependencyOutput dependencies;
    /// `-###`: print the files and commands a compile would use, and run nothing.
    bool dryRun = false;

    // What the environment says, read by the tool's main: the arguments say none of it.
    /// The folders of INCLUDE (IncludeVariableFolders), searched after the `-i` folders
    /// unless `-x`.
    std::vector<std::string> includeVariableFolders;
};

/// The INCLUDE folders a compile searches: none with `-x`.
std::vector<std::string> SearchedIncludeVariableFolders(const CompileOptions& options);

/// A command line of brcc32 or brc32.
struct ToolArguments {
    CompileOptions options;
    /// `-fo FILE`.
    std::string res;
    /// `-fe FILE` (brc32 only).
    std::string exe;
    std::string script;
    /// `/nologo`: no banner.
    bool noLogo = false;
};

/// Which tool reads the arguments: brc32 also takes `-fe`.
enum class ToolKind { Compiler, Binder };

/// Reads `args` (without the program name). Fails, naming the argument, on an unknown
/// option, a missing or bad value, a second script or no script. On a POSIX system an
/// argument is read as a `/x` option only when it holds no other `/`, so that an absolute
/// script path stays a path; after `--` no argument is an option.
Parsed<ToolArguments> ParseToolArguments(const std::vector<std::string>& args, ToolKind kind);

/// The language ID of a Windows locale name ("en-US" 0x409, "de" 0x07), in either letter
/// case and with - or _; nothing for a name Windows does not know.
std::optional<std::uint16_t> LanguageOfLocaleName(std::string_view name);

/// The options' part of `--help`: one line per option and the include search order.
extern const char* const kCompileOptionsHelp;

/// Reads `value`, `NAME` or `NAME=VALUE` of a define or undefine option named `option`, into
/// `options`' macros; the refusal's text when it names no macro.
std::optional<std::string> AddMacroOption(CompileOptions& options, MacroOption::Kind kind, const std::string& value,
                                          const std::string& option);

}  // namespace brevok

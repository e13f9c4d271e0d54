// The C preprocessor in front of the resource compiler, as rc.exe runs one: #include with the
// tools' include search, #define with object-like and function-like macros, conditionals,
// #error, #line and #pragma code_page. Its output keeps a map from every line to the file
// and line it came from.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rules/diagnostic.h"
#include "preprocessor/include_search.h"

namespace brevok {

/// A `-d NAME[=VALUE]` or `-u NAME` of the command line, applied in order.
struct MacroOption {
    enum class Kind { Define, Undefine };
    Kind kind = Kind::Define;
    std::string name;
    /// The replacement of a definition; "1" when the option gave none.
    std::string value = "1";
};

struct PreprocessOptions {
    /// The places searched after the including file's folder (see IncludeSearch).
    std::vector<std::string> includeFolders;
    std::vector<MacroOption> macros;
    /// The code page of a file without a byte order mark, until a #pragma code_page.
    int codePage = 1252;
    /// A #pragma code_page naming a code page Windows does not know is a warning and changes
    /// nothing, rather than an error. One Windows knows but we cannot read stays an error.
    bool unknownCodePageIsWarning = false;
};

/// The code page narrow strings are written in from a line of the output on.
struct NarrowCodePage {
    /// 0-based line of Preprocessed::text.
    std::size_t line = 0;
    int codePage = 1252;
};

/// Where an output line came from.
struct LineOrigin {
    /// Index into Preprocessed::files.
    std::uint32_t file = 0;
    /// 1-based line in that file; 0 for a line marker.
    int line = 0;
};

struct Preprocessed {
    /// True when no error was reported.
    bool ok = false;
    /// The output: each file's lines with their macros expanded, directives blank, and line
    /// markers ("# 12 \"file\"") where the next line does not follow the one before.
    std::string text;
    /// The code page of `text`: 65001 when the script is Unicode (a byte order mark) or a
    /// code page other than 1252 is in play (the option or a #pragma code_page), else 1252 (the
    /// bytes as the files hold them).
    int codePage = 1252;
    /// The code page narrow strings are written in, line by line, as rc.exe writes them: that
    /// of the option (or 65001 for a Unicode script) from line 0, then the one each #pragma
    /// code_page but the first names (the first one changes only how text is read). In line
    /// order; never empty.
    std::vector<NarrowCodePage> narrowCodePages;
    /// The name of the script, then of each file read, as messages name them.
    std::vector<std::string> files;
    /// One origin per line of `text`.
    std::vector<LineOrigin> lines;
    /// Errors, warnings and, for what ends the run (a missing include, a limit passed), a
    /// fatal error, each naming its file and line; in the order found.
    std::vector<Diagnostic> diagnostics;
};

/// Limits that keep a hostile script from hanging the preprocessor or exhausting memory.
struct PreprocessLimits {
    int includeDepth = 200;
    int argumentDepth = 200;
    /// Tokens that macro expansion may give for one line or directive.
    std::size_t expandedTokens = 4'000'000;
    std::size_t outputBytes = 512u * 1024 * 1024;
};

/// Preprocesses the script `script`. Predefined: RC_INVOKED and _WIN32 (1), __GNUC__ 4,
/// __GNUC_MINOR__ 2 and __GNUC_PATCHLEVEL__ 1 (see Run), __FILE__,
/// __LINE__, __COUNTER__, __DATE__, __TIME__; APSTUDIO_INVOKED is not defined. A file that
/// cannot be read, a missing include, a syntax error in a directive, #error or a limit
/// passed is an error; the output still holds everything before it.
Preprocessed PreprocessScript(const std::string& script, const PreprocessOptions& options,
                              const PreprocessLimits& limits = {});

}  // namespace brevok

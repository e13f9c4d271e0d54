// The one message type of the compiler's stages: a place in a file, a severity and a text,
// formatted as every resource compiler prints its messages (see the vocabulary in parsed.h).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace brevok {

struct Diagnostic {
    enum class Severity {
        /// What `-v` tells: printed as its text alone.
        Info,
        Warning,
        Error,
        /// An error that ended the stage (a missing include, a limit passed).
        Fatal,
    };

    /// The file it is about; empty for a failure of the run itself (no script, no output).
    std::string file;
    /// 1-based line in `file`; 0 when the message is about the whole file.
    std::size_t line = 0;
    Severity severity = Severity::Error;
    std::string text;

    /// "FILE(LINE): error: TEXT", "FILE: warning: TEXT" without a line, "error: TEXT"
    /// without a file, and an Info's text alone.
    std::string Format() const;
};

/// An Error of the run itself, "error: TEXT".
Diagnostic RunError(std::string text);

/// An Error on the 1-based `line` of a text a stage read, whose file the caller names.
Diagnostic LineError(std::size_t line, std::string text);

/// True when one of `diagnostics` is an Error or a Fatal: warnings alone let a stage go on.
bool HasErrors(const std::vector<Diagnostic>& diagnostics);

/// Each of `diagnostics` formatted, in order.
std::vector<std::string> FormatDiagnostics(const std::vector<Diagnostic>& diagnostics);

}  // namespace brevok

// Formatting diagnostics.
#include "rules/diagnostic.h"

namespace brevok {

namespace {

const char* SeverityWord(Diagnostic::Severity severity)
{
    switch (severity) {
    case Diagnostic::Severity::Warning:
        return "warning";
    case Diagnostic::Severity::Fatal:
        return "fatal error";
    default:
        return "error";
    }
}

}  // namespace

std::string Diagnostic::Format() const
{
    if (severity == Severity::Info)
        return text;
    std::string out = file;
    if (!file.empty() && line > 0)
        out += "(" + std::to_string(line) + ")";
    if (!out.empty())
        out += ": ";
    return out + SeverityWord(severity) + ": " + text;
}

Diagnostic RunError(std::string text)
{
    return {{}, 0, Diagnostic::Severity::Error, std::move(text)};
}

Diagnostic LineError(std::size_t line, std::string text)
{
    return {{}, line, Diagnostic::Severity::Error, std::move(text)};
}

bool HasErrors(const std::vector<Diagnostic>& diagnostics)
{
    for (const Diagnostic& diagnostic : diagnostics)
        if (diagnostic.severity == Diagnostic::Severity::Error || diagnostic.severity == Diagnostic::Severity::Fatal)
            return true;
    return false;
}

std::vector<std::string> FormatDiagnostics(const std::vector<Diagnostic>& diagnostics)
{
    std::vector<std::string> lines;
    lines.reserve(diagnostics.size());
    for (const Diagnostic& diagnostic : diagnostics)
        lines.push_back(diagnostic.Format());
    return lines;
}

}  // namespace brevok

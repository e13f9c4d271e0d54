// Writing the dependency file of a compile.
#include "rcdriver/dependency_file.h"

#include "platform/files.h"
#include "rules/hex.h"

namespace brevok {

std::string QuoteForMake(std::string_view path)
{
    std::string quoted;
    quoted.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        const char c = path[i];
        if (c == ' ' || c == '\t') {
            // make reads "\\ " as one backslash and an escaped space: each backslash right
            // before a space is doubled.
            for (std::size_t j = i; j > 0 && path[j - 1] == '\\'; --j)
                quoted += '\\';
            quoted += '\\';
        } else if (c == '$') {
            quoted += '$';
        } else if (c == '#') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted;
}

std::string MakeDependencyText(const std::vector<std::string>& targets, const std::vector<std::string>& files,
                               bool phonyTargets)
{
    std::string text;
    for (std::size_t i = 0; i < targets.size(); ++i)
        text += (i == 0 ? "" : " ") + targets[i];
    text += ":";
    for (std::size_t i = 0; i < files.size(); ++i)
        text += (i == 0 ? " " : " \\\n  ") + QuoteForMake(files[i]);
    text += "\n";
    if (phonyTargets) {
        for (std::size_t i = 1; i < files.size(); ++i)
            text += "\n" + QuoteForMake(files[i]) + ":\n";
    }
    return text;
}

std::string JsonDependencyText(const std::vector<std::string>& files)
{
    std::string text = "[";
    for (std::size_t i = 0; i < files.size(); ++i) {
        text += i == 0 ? "\n  \"" : ",\n  \"";
        for (const char c : files[i]) {
            const auto byte = static_cast<unsigned char>(c);
            if (c == '"' || c == '\\')
                text += std::string("\\") + c;
            else if (byte < 0x20)
                text += "\\u" + HexDigits(byte, HexLetters::Lower, 4);
            else
                text += c;
        }
        text += "\"";
    }
    text += files.empty() ? "]\n" : "\n]\n";
    return text;
}

void WriteDependencyFile(const DependencyOutput& output, const std::string& produced,
                         const std::vector<std::string>& files)
{
    if (output.file.empty())
        return;
    if (output.format == DependencyOutput::Format::Json) {
        WriteFileAtomically(output.file, JsonDependencyText(files));
        return;
    }
    const std::vector<std::string> targets =
        output.targets.empty() ? std::vector<std::string>{QuoteForMake(produced)} : output.targets;
    WriteFileAtomically(output.file, MakeDependencyText(targets, files, output.phonyTargets));
}

}  // namespace brevok

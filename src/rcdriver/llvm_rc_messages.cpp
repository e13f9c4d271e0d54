// llvm-rc's messages, read by hand, not with std::regex: libstdc++'s matcher recurses once
// per character, so a long line (a 30 KB script line quoted back in a message) would overflow
// the stack.
#include "rcdriver/llvm_rc_messages.h"

#include "platform/paths.h"
#include "platform/text_lines.h"

namespace brevok {

std::string Diagnostic(std::string_view file, int line, std::string_view message)
{
    std::string text(file);
    if (line > 0)
        text += "(" + std::to_string(line) + ")";
    text += ": ";
    text += message;
    return text;
}

namespace {

/// llvm-rc's "llvm-rc: Error in TYPE statement (ID NAME): " (blanks may follow).
struct StatementError {
    std::string type;
    std::string id;
};

std::optional<StatementError> ReadStatementError(std::string_view text)
{
    constexpr std::string_view kStart = "llvm-rc: Error in ";
    constexpr std::string_view kMiddle = " statement (ID ";
    if (!text.starts_with(kStart))
        return std::nullopt;
    text.remove_prefix(kStart.size());
    const std::size_t typeEnd = text.find_first_of(" \t\n\v\f\r");
    if (typeEnd == 0 || typeEnd == std::string_view::npos || !text.substr(typeEnd).starts_with(kMiddle))
        return std::nullopt;
    const std::string_view type = text.substr(0, typeEnd);
    text.remove_prefix(typeEnd + kMiddle.size());
    while (text.ends_with(' '))
        text.remove_suffix(1);
    if (!text.ends_with("):"))
        return std::nullopt;
    return StatementError{std::string(type), std::string(text.substr(0, text.size() - 2))};
}

/// llvm-rc's "llvm-rc: Error parsing file: MESSAGE".
std::optional<std::string> ReadParseError(std::string_view text)
{
    constexpr std::string_view kStart = "llvm-rc: Error parsing file: ";
    if (!text.starts_with(kStart))
        return std::nullopt;
    return std::string(text.substr(kStart.size()));
}

/// The words of a line as llvm-rc reads a statement's head: blanks separate, quotes group.
std::vector<std::string> HeadWords(const std::string& line)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size() && words.size() < 2) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        std::string word;
        const bool quoted = i < line.size() && line[i] == '"';
        if (quoted)
            ++i;
        while (i < line.size() && (quoted ? line[i] != '"' : line[i] != ' ' && line[i] != '\t'))
            word += line[i++];
        if (quoted)
            ++i;
        if (!word.empty())
            words.push_back(AsciiUpper(word));
    }
    return words;
}

/// The line of the statement "ID TYPE ..." that llvm-rc names in a statement error.
std::optional<std::size_t> FindStatement(const std::vector<std::string>& lines, const std::string& type,
                                         const std::string& id)
{
    const std::string wantType = AsciiUpper(type);
    const std::string wantId = AsciiUpper(id);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::vector<std::string> words = HeadWords(lines[i]);
        // llvm-rc names an RCDATA statement by its type number, 10.
        const bool sameType = words.size() == 2 && (words[1] == wantType || (wantType == "10" && words[1] == "RCDATA"));
        if (sameType && words[0] == wantId)
            return i;
    }
    return std::nullopt;
}

}  // namespace

std::vector<LlvmRcMessage> ReadLlvmRcMessages(std::string_view output, const std::vector<std::string>& textLines,
                                              const ParseErrorLocator& findParseErrorLine)
{
    std::vector<LlvmRcMessage> messages;
    const std::vector<std::string> lines = SplitLines(output, LineBreaks::LineFeed);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.empty())
            continue;
        if (const auto statement = ReadStatementError(line)) {
            // The reason follows on the next line ("error : file not found : logo.bmp").
            std::string reason = i + 1 < lines.size() ? lines[++i] : std::string();
            if (reason.rfind("error : ", 0) == 0)
                reason.erase(0, 8);
            messages.push_back({true, FindStatement(textLines, statement->type, statement->id),
                                "error: " + statement->type + " statement (ID " + statement->id + "): " + reason});
        } else if (const auto parse = ReadParseError(line)) {
            messages.push_back({true, findParseErrorLine(*parse), "error: " + *parse});
        } else {
            messages.push_back({false, std::nullopt, line.rfind("llvm-rc: ", 0) == 0 ? line.substr(9) : line});
        }
    }
    return messages;
}

}  // namespace brevok

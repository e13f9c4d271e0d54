// Reading llvm-rc's messages into the front end's diagnostics: a statement error is placed
// at the statement it names, a parse error at the line the caller finds, any other line is
// passed on.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevok {

/// "FILE(LINE): MESSAGE", or "FILE: MESSAGE" when `line` is 0 (unknown).
std::string Diagnostic(std::string_view file, int line, std::string_view message);

/// One message of llvm-rc's output.
struct LlvmRcMessage {
    /// True for a message about a statement of the text llvm-rc compiled: `line` is then
    /// its 0-based line in that text when found. False for a line passed on as it is.
    bool aboutText = false;
    std::optional<std::size_t> line;
    std::string text;
};

/// Finds the 0-based line of the compiled text that llvm-rc's parse error `message` is about.
using ParseErrorLocator = std::function<std::optional<std::size_t>(const std::string& message)>;

/// Reads llvm-rc's `output` (lines end at LF) about the text of `textLines`, empty lines
/// left out: "llvm-rc: Error in TYPE statement (ID NAME):" with its reason on the next line
/// ("error : file not found : logo.bmp") becomes "error: TYPE statement (ID NAME): REASON"
/// at the line of the statement "NAME TYPE" (an RCDATA statement is named by its number,
/// 10); "llvm-rc: Error parsing file: MESSAGE" becomes "error: MESSAGE" at the line
/// `findParseErrorLine` gives; any other line is passed on, "llvm-rc: " taken off its start.
std::vector<LlvmRcMessage> ReadLlvmRcMessages(std::string_view output, const std::vector<std::string>& textLines,
                                              const ParseErrorLocator& findParseErrorLine);

}  // namespace brevok

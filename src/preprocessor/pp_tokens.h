// The preprocessor's first stages: a file's text split into logical lines (line splices
// joined, comments replaced by a blank) and each line into preprocessing tokens, as a C
// preprocessor reads them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace brevok {

enum class PpTokenKind : std::uint8_t {
    Identifier,
    /// A preprocessing number: "12", "0x7FL", "1.5e+3".
    Number,
    /// A string literal with its quotes and prefix: "\"abc\"", "L\"abc\"".
    String,
    /// A character literal: "'a'", "L'\\n'".
    Char,
    /// A punctuator: "(", "##", "<<=".
    Punct,
    /// Any other byte, one per token: a stray "\\", "@", a byte of a non-ASCII letter, an
    /// unpaired quote.
    Other,
};

/// The macros a token came out of, which may not be expanded again in it (sorted ids).
using HideSet = std::shared_ptr<const std::vector<std::uint32_t>>;

struct PpToken {
    PpTokenKind kind = PpTokenKind::Other;
    /// Blanks or a comment stood before it on its line.
    bool spaceBefore = false;
    /// Came out of a macro's replacement (spacing against its neighbours is checked).
    bool fromMacro = false;
    /// The first token of a line (or the first of what a macro there became): it starts an
    /// output line, that of `line`.
    bool startOfLine = false;
    /// The physical line of its file it was read on.
    int line = 0;
    std::string text;
    HideSet hidden;

    bool Is(std::string_view punct) const { return kind == PpTokenKind::Punct && text == punct; }
};

/// One logical line of a file: physical lines joined by line splices and by block comments
/// that run over a line break.
struct LogicalLine {
    /// 1-based physical line it starts on.
    int line = 0;
    /// Physical lines it spans (at least 1; 0 only for the end of the file).
    int physicalLines = 0;
    std::vector<PpToken> tokens;
    /// The line ended inside a block comment that the file never closes.
    bool unterminatedComment = false;
};

/// Reads the logical lines of a text one after another. Lines break at LF, CR LF or a lone
/// CR.
class LineLexer {
public:
    /// `codePage`: that of `text`; in a double-byte code page a lead byte and its trail byte
    /// are read as one character, so that a trail byte '\\' escapes nothing and splices no line.
    explicit LineLexer(std::string_view text, int codePage = 0) : text_(text), codePage_(codePage) { }

    /// The code page of the lines after this one (#pragma code_page).
    void SetCodePage(int codePage) { codePage_ = codePage; }

    /// False at the end of the text.
    bool Next(LogicalLine& line);

private:
    std::string_view text_;
    int codePage_;
    std::size_t pos_ = 0;
    int line_ = 1;
    std::string buffer_;
};

/// The tokens of `text` read as one line (for a paste's result and `#include` names built by
/// macros); line breaks count as blanks.
std::vector<PpToken> LexTokens(std::string_view text);

/// The token's text as `#` spells it inside a string literal: `"` and `\` escaped within
/// string and character literals.
std::string StringizeSpelling(const std::vector<PpToken>& tokens);

}  // namespace brevok

// The resource compiler's first stage: the preprocessed script without what headers (.h, .c)
// and directives left in it, split into the tokens of the resource-script language.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "rules/diagnostic.h"
#include "rules/parsed.h"

namespace brevok {

enum class RcTokenKind {
    Int,
    /// A string literal with its quotes and an optional L: "\"a\"\"b\"", "L\"x\"".
    String,
    Identifier,
    /// '{' or BEGIN.
    BlockBegin,
    /// '}' or END.
    BlockEnd,
    Comma,
    Plus,
    /// '*' and '/', which rc.exe takes in expressions and llvm-rc does not.
    Star,
    Slash,
    Minus,
    Pipe,
    Amp,
    Tilde,
    LeftParen,
    RightParen,
};

struct RcToken {
    RcTokenKind kind = RcTokenKind::Identifier;
    std::string_view text;
    /// 0-based line of the text it was read from.
    std::size_t line = 0;
};

/// The text the compiler reads: `preprocessed` with every line that a file named *.h or *.c
/// contributed (as its line markers say) and every directive line left blank, so that line
/// numbers stay. rc.exe keeps only the #defines of headers.
std::string ResourceScriptText(std::string_view preprocessed);

/// The characters of an identifier: it starts with a letter, _ or ., and goes on with letters,
/// digits and _ . / \ -.
bool IsIdentifierStart(char c);
bool IsIdentifierPart(char c);

/// The most characters a string literal may hold unless the command line says otherwise, as
/// rc.exe has it.
inline constexpr std::size_t kDefaultStringLiteralLimit = 4097;

/// What TokenizeScript checks beyond the syntax.
struct TokenizeOptions {
    /// The most characters between a string literal's quotes: a "" counts once, a tab as the
    /// spaces to the next tab stop of 8 columns.
    std::size_t stringLiteralLimit = kDefaultStringLiteralLimit;
    /// Where a literal past the limit is a warning instead of an error (none: an error).
    std::vector<Diagnostic>* longLiteralWarnings = nullptr;
    /// Whether `text` is UTF-8 (else one byte is one character).
    bool utf8 = false;
};

/// Splits `text` into tokens as llvm-rc does: integers (decimal, 0x hex, 0 octal, an L
/// suffix), strings ("" inside for a quote; not past the line), identifiers (letters, digits,
/// _ . / \ -), BEGIN and END, the punctuation above, // and /* */ comments. The tokens point
/// into `text`. Fails, naming the line, on a character that starts no token, an integer of
/// more than 32 bits, an unterminated string or comment, a string literal over the limit.
Parsed<std::vector<RcToken>> TokenizeScript(std::string_view text, const TokenizeOptions& options = {});

}  // namespace brevok

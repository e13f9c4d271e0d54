// The resource-script tokenizer and the header filter in front of it.
#include "rccompiler/rc_tokens.h"

#include "rules/ascii.h"
#include "rules/integer_literal.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace brevok {

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}


/// The file a line marker names ("# 12 \"file\" 2", "#line 12 \"file\""), when it is one.
std::optional<std::string_view> MarkerFile(std::string_view line)
{
    std::size_t i = 0;
    while (i < line.size() && IsSpace(line[i]))
        ++i;
    if (i == line.size() || line[i] != '#')
        return std::nullopt;
    std::string_view rest = line.substr(i + 1);
    if (rest.starts_with("line"))
        rest.remove_prefix(4);
    if (rest.empty() || rest[0] != ' ')
        return std::nullopt;
    std::size_t j = 0;
    while (j < rest.size() && rest[j] == ' ')
        ++j;
    const std::size_t digits = j;
    while (j < rest.size() && IsAsciiDigit(rest[j]))
        ++j;
    if (j == digits)
        return std::nullopt;
    while (j < rest.size() && rest[j] == ' ')
        ++j;
    if (j == rest.size() || rest[j] != '"')
        return std::nullopt;
    const std::size_t close = rest.rfind('"');
    if (close <= j)
        return std::nullopt;
    return rest.substr(j + 1, close - j - 1);
}

bool IsHeaderName(std::string_view file)
{
    const std::size_t dot = file.rfind('.');
    if (dot == std::string_view::npos)
        return false;
    const std::string_view extension = file.substr(dot + 1);
    return extension.size() == 1 &&
        (extension[0] == 'h' || extension[0] == 'H' || extension[0] == 'c' || extension[0] == 'C');
}

/// The characters that end a number: the other tokens' (but * and /, which rc.exe reads as
/// part of the number), a quote and a comment's semicolon.
bool IsNumberEnd(char c)
{
    return std::string_view(",{}()+-|&~\";").find(c) != std::string_view::npos;
}

}  // namespace

std::string ResourceScriptText(std::string_view preprocessed)
{
    std::string out;
    out.reserve(preprocessed.size());
    bool keep = true;
    std::size_t start = 0;
    while (start < preprocessed.size()) {
        std::size_t end = preprocessed.find('\n', start);
        if (end == std::string_view::npos)
            end = preprocessed.size();
        const std::string_view line = preprocessed.substr(start, end - start);
        std::size_t first = 0;
        while (first < line.size() && IsSpace(line[first]))
            ++first;
        if (first < line.size() && line[first] == '#') {
            if (const std::optional<std::string_view> file = MarkerFile(line))
                keep = !IsHeaderName(*file);
        } else if (keep) {
            out.append(line);
        }
        out += '\n';
        start = end + 1;
    }
    return out;
}

bool IsIdentifierStart(char c)
{
    return IsAsciiLetter(c) || c == '_' || c == '.';
}

bool IsIdentifierPart(char c)
{
    return IsAsciiAlnum(c) || c == '_' || c == '.' || c == '/' || c == '\\' || c == '-';
}

namespace {

/// The characters of the string literal `literal` (with its quotes, after an L) starting at
/// `column` of its line, as rc.exe counts them against its limit.
std::size_t StringLiteralLength(std::string_view literal, std::size_t column, bool utf8)
{
    std::size_t length = 0;
    const std::size_t open = literal.find('"');
    column += open;
    for (std::size_t i = open + 1; i + 1 < literal.size(); ++i) {
        const auto c = static_cast<unsigned char>(literal[i]);
        if (utf8 && (c & 0xC0) == 0x80)
            continue;
        if (c == '\t') {
            const std::size_t width = 8 - column % 8;
            length += width;
            column += width;
            continue;
        }
        // A "" inside is one quote, over two columns.
        if (c == '"') {
            ++i;
            ++column;
        }
        ++length;
        ++column;
    }
    return length;
}

}  // namespace

Parsed<std::vector<RcToken>> TokenizeScript(std::string_view text, const TokenizeOptions& options)
{
    using Result = Parsed<std::vector<RcToken>>;
    std::vector<RcToken> tokens;
    std::size_t line = 0;
    std::size_t lineStart = 0;
    std::size_t i = 0;
    if (text.starts_with("\xEF\xBB\xBF"))
        i = lineStart = 3;
    const auto lineOf = [&](std::size_t from, std::size_t to) {
        for (std::size_t k = from; k < to; ++k)
            if (text[k] == '\n') {
                ++line;
                lineStart = k + 1;
            }
    };
    while (i < text.size()) {
        const char c = text[i];
        if (IsSpace(c)) {
            if (c == '\n') {
                ++line;
                lineStart = i + 1;
            }
            ++i;
            continue;
        }
        const std::size_t start = i;
        const std::size_t tokenLine = line;
        if (text.substr(i).starts_with("/*")) {
            const std::size_t close = text.find("*/", i + 2);
            if (close == std::string_view::npos)
                return Result::Fail("unclosed /* comment", tokenLine + 1);
            lineOf(i, close);
            i = close + 2;
            continue;
        }
        if (text.substr(i).starts_with("//")) {
            while (i < text.size() && text[i] != '\n' && text[i] != '\r')
                ++i;
            continue;
        }
        if (c == '\x1A')
            break;  // DOS's end-of-file mark: rc.exe reads nothing after it
        if (c == ';') {
            // rc.exe reads the rest of the line after a semicolon as a comment.
            while (i < text.size() && text[i] != '\n' && text[i] != '\r')
                ++i;
            continue;
        }
        RcTokenKind kind;
        if (IsAsciiDigit(c)) {
            // rc.exe's number runs to the next space or punctuation, "8019.0" and "6/2"
            // included; ReadIntegerLiteral says what of it counts.
            while (i < text.size() && !IsSpace(text[i]) && !IsNumberEnd(text[i]))
                ++i;
            kind = RcTokenKind::Int;
        } else if (c == '"' || ((c == 'L' || c == 'l') && i + 1 < text.size() && text[i + 1] == '"')) {
            i += c == '"' ? 1 : 2;
            for (;;) {
                if (i >= text.size())
                    return Result::Fail("unterminated string literal", tokenLine + 1);
                if (text[i] == '"') {
                    ++i;
                    if (i < text.size() && text[i] == '"') {
                        ++i;
                        continue;
                    }
                    break;
                }
                if (text[i] == '\n')
                    return Result::Fail("string literal not terminated in the line", tokenLine + 1);
                ++i;
            }
            kind = RcTokenKind::String;
            const std::string_view literal = text.substr(start, i - start);
            if (StringLiteralLength(literal, start - lineStart, options.utf8) > options.stringLiteralLimit) {
                std::string problem =
                    "string literal too long (more than " + std::to_string(options.stringLiteralLimit) + " characters)";
                if (options.longLiteralWarnings == nullptr)
                    return Result::Fail(problem, tokenLine + 1);
                options.longLiteralWarnings->push_back(
                    {{}, tokenLine + 1, Diagnostic::Severity::Warning, problem + "; rc.exe refuses it without /sl"});
            }
        } else if (IsIdentifierStart(c)) {
            while (i < text.size() && IsIdentifierPart(text[i]))
                ++i;
            const std::string_view word = text.substr(start, i - start);
            kind = EqualIgnoringAsciiCase(word, "BEGIN") ? RcTokenKind::BlockBegin
                : EqualIgnoringAsciiCase(word, "END")    ? RcTokenKind::BlockEnd
                                                         : RcTokenKind::Identifier;
        } else {
            static constexpr std::pair<char, RcTokenKind> kSingles[] = {
                {'{', RcTokenKind::BlockBegin}, {'}', RcTokenKind::BlockEnd}, {',', RcTokenKind::Comma},
                {'+', RcTokenKind::Plus}, {'*', RcTokenKind::Star}, {'/', RcTokenKind::Slash},       {'-', RcTokenKind::Minus},    {'|', RcTokenKind::Pipe},
                {'&', RcTokenKind::Amp},        {'~', RcTokenKind::Tilde},    {'(', RcTokenKind::LeftParen},
                {')', RcTokenKind::RightParen},
            };
            const auto* found = std::find_if(std::begin(kSingles), std::end(kSingles),
                                             [c](const auto& single) { return single.first == c; });
            if (found == std::end(kSingles))
                return Result::Fail(std::string("invalid character '") + c + "'", tokenLine + 1);
            kind = found->second;
            ++i;
        }
        tokens.push_back({kind, text.substr(start, i - start), tokenLine});
    }
    return Result::Ok(std::move(tokens));
}

}  // namespace brevok

// Logical lines and preprocessing tokens, read the way a C preprocessor reads them.
#include "preprocessor/pp_tokens.h"

#include "rules/ascii.h"
#include "rules/text_encoding.h"

#include <array>

namespace brevok {

namespace {

// Bytes of non-ASCII characters are letters of identifiers, as clang reads UTF-8 names; so a
// word in another script stays one token and is converted between code pages whole.
bool IsIdentifierStart(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' ||
        static_cast<unsigned char>(c) >= 0x80;
}

bool IsIdentifierChar(char c)
{
    return IsIdentifierStart(c) || IsAsciiDigit(c);
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\f' || c == '\v';
}

// Longest first, so that the first match is the longest punctuator.
constexpr std::array<std::string_view, 23> kMultiCharPuncts = {
    "%:%:", "...", "<<=", ">>=", "->", "++", "--", "<<", ">>", "<=", ">=", "==",
    "!=",   "&&",  "||",  "*=",  "/=", "%=", "+=", "-=", "&=", "^=", "|=",
};
constexpr std::string_view kMorePuncts[] = {"##", "<:", ":>", "<%", "%>", "%:"};
constexpr std::string_view kSingleCharPuncts = "[](){}.&*+-~!/%<>^|?:;=,#";

/// One physical line read with its line splices joined into one string.
class SplicedText {
public:
    SplicedText(std::string_view text, std::size_t& pos, int& lines, int codePage)
        : text_(text), pos_(pos), lines_(lines), codePage_(codePage)
    { }

    /// Appends the next physical line (splices joined) to `out`; false at the end.
    bool AppendLine(std::string& out)
    {
        if (pos_ >= text_.size())
            return false;
        for (;;) {
            const std::size_t start = pos_;
            std::size_t end = start;
            while (end < text_.size() && text_[end] != '\n' && text_[end] != '\r')
                ++end;
            std::size_t next = end;
            if (next < text_.size() && text_[next] == '\r')
                ++next;
            if (next < text_.size() && text_[next] == '\n' && (next == end || text_[end] == '\r'))
                ++next;
            ++lines_;
            pos_ = next;
            // A backslash and then only blanks before the break splices the next line on.
            std::size_t last = end;
            while (last > start && IsBlank(text_[last - 1]))
                --last;
            if (last > start && text_[last - 1] == '\\' && end < text_.size() && !IsTrailByte(start, last - 1)) {
                out.append(text_.substr(start, last - 1 - start));
                if (pos_ >= text_.size())
                    return true;
                continue;
            }
            out.append(text_.substr(start, end - start));
            return true;
        }
    }

private:
    /// True when the byte at `at` is the second of a double-byte character that starts at or
    /// after `start`.
    bool IsTrailByte(std::size_t start, std::size_t at) const
    {
        if (!IsDoubleByteCodePage(codePage_))
            return false;
        std::size_t i = start;
        while (i < at)
            i += CodePageCharacterLength(codePage_, text_, i);
        return i > at;
    }

    std::string_view text_;
    std::size_t& pos_;
    int& lines_;
    int codePage_;
};

/// Reads tokens out of one logical line held in `line`; a block comment left open pulls
/// further physical lines in through `more`.
class TokenReader {
public:
    TokenReader(std::string& line, SplicedText* more, int codePage) : s_(line), more_(more), codePage_(codePage) { }

    bool unterminatedComment = false;

    void ReadAll(std::vector<PpToken>& tokens)
    {
        bool space = false;
        while (SkipBlanksAndComments(space)) {
            PpToken token;
            token.spaceBefore = space;
            // A token keeps the physical line it stands on, also after a comment over a break.
            token.startOfLine = tokens.empty();
            token.line = breaks_;
            ReadToken(token);
            tokens.push_back(std::move(token));
            space = false;
        }
    }

private:
    char At(std::size_t i) const { return i < s_.size() ? s_[i] : '\0'; }
    /// Bytes of the character at `i`: a lead byte takes its trail byte with it.
    std::size_t Length(std::size_t i) const { return CodePageCharacterLength(codePage_, s_, i); }

    /// Moves past blanks and comments; false at the end of the line.
    bool SkipBlanksAndComments(bool& space)
    {
        for (;;) {
            while (i_ < s_.size() && IsBlank(s_[i_])) {
                ++i_;
                space = true;
            }
            if (At(i_) == '/' && At(i_ + 1) == '/') {
                i_ = s_.size();
                space = true;
            } else if (At(i_) == '/' && At(i_ + 1) == '*') {
                space = true;
                SkipBlockComment();
            } else {
                return i_ < s_.size();
            }
        }
    }

    void SkipBlockComment()
    {
        i_ += 2;
        for (;;) {
            const std::size_t close = s_.find("*/", i_);
            if (close != std::string::npos) {
                i_ = close + 2;
                return;
            }
            // The comment runs on to the next physical line; what follows its end still
            // belongs to this logical line. A '*' here and a '/' there do not close it.
            s_.clear();
            i_ = 0;
            if (more_ == nullptr || !more_->AppendLine(s_)) {
                unterminatedComment = true;
                return;
            }
            ++breaks_;
        }
    }

    void ReadToken(PpToken& token)
    {
        const std::size_t start = i_;
        const char c = s_[i_];
        // Encoding prefixes of literals: L, u, U, u8.
        std::size_t prefix = 0;
        if (c == 'L' || c == 'U' || c == 'u')
            prefix = c == 'u' && At(i_ + 1) == '8' ? 2 : 1;
        if (prefix > 0 && (At(i_ + prefix) == '"' || At(i_ + prefix) == '\'') &&
            !(prefix == 2 && At(i_ + prefix) == '\'')) {
            i_ += prefix;
            ReadQuoted(token, start);
            return;
        }
        if (IsIdentifierStart(c)) {
            while (i_ < s_.size() && IsIdentifierChar(s_[i_]))
                i_ += Length(i_);
            Finish(token, PpTokenKind::Identifier, start);
        } else if (IsAsciiDigit(c) || (c == '.' && IsAsciiDigit(At(i_ + 1)))) {
            ReadNumber();
            Finish(token, PpTokenKind::Number, start);
        } else if (c == '"' || c == '\'') {
            ReadQuoted(token, start);
        } else {
            ReadPunct(token, start);
        }
    }

    void ReadNumber()
    {
        ++i_;
        for (;;) {
            const char d = At(i_);
            if ((d == '+' || d == '-') &&
                (At(i_ - 1) == 'e' || At(i_ - 1) == 'E' || At(i_ - 1) == 'p' || At(i_ - 1) == 'P'))
                ++i_;
            else if (IsIdentifierChar(d) || d == '.')
                i_ += Length(i_);
            else
                return;
        }
    }

    /// A string or character literal from its quote at i_; one without its closing quote on
    /// the line is a lone quote character (kind Other) and the rest is read on.
    void ReadQuoted(PpToken& token, std::size_t start)
    {
        const char quote = s_[i_];
        std::size_t j = i_ + 1;
        while (j < s_.size() && s_[j] != quote) {
            if (s_[j] == '\\' && j + 1 < s_.size())
                ++j;
            j += Length(j);
        }
        if (j >= s_.size()) {
            if (quote == '"') {
                // An unterminated string runs to the end of the line, as clang reads it.
                i_ = s_.size();
                return Finish(token, PpTokenKind::String, start);
            }
            // A lone apostrophe (as in "Don't" outside a string) is a token of its own; a
            // prefix before it is an identifier.
            if (start < i_) {
                return Finish(token, PpTokenKind::Identifier, start);
            }
            i_ = start + 1;
            return Finish(token, PpTokenKind::Other, start);
        }
        i_ = j + 1;
        Finish(token, quote == '"' ? PpTokenKind::String : PpTokenKind::Char, start);
    }

    void ReadPunct(PpToken& token, std::size_t start)
    {
        const std::string_view rest = std::string_view(s_).substr(i_);
        // Only these characters can follow the first of a longer punctuator; most punctuation
        // (", ", "( ", "| ") is over at once.
        constexpr std::string_view kSeconds = "<>=&|+-.:%#";
        if (rest.size() > 1 && kSeconds.find(rest[1]) != std::string_view::npos) {
            for (std::string_view p : kMultiCharPuncts) {
                if (rest.starts_with(p)) {
                    i_ += p.size();
                    return Finish(token, PpTokenKind::Punct, start);
                }
            }
            for (std::string_view p : kMorePuncts) {
                if (rest.starts_with(p)) {
                    i_ += p.size();
                    return Finish(token, PpTokenKind::Punct, start);
                }
            }
        }
        ++i_;
        Finish(token,
               kSingleCharPuncts.find(rest[0]) != std::string_view::npos ? PpTokenKind::Punct : PpTokenKind::Other,
               start);
    }

    void Finish(PpToken& token, PpTokenKind kind, std::size_t start)
    {
        token.kind = kind;
        token.text = s_.substr(start, i_ - start);
    }

    std::string& s_;
    SplicedText* more_;
    int codePage_;
    std::size_t i_ = 0;
    /// Line breaks inside block comments so far.
    int breaks_ = 0;
};

}  // namespace

bool LineLexer::Next(LogicalLine& line)
{
    // The token vector and the line buffer keep their room from line to line.
    line.tokens.clear();
    line.line = 0;
    line.physicalLines = 0;
    line.unterminatedComment = false;
    if (pos_ >= text_.size())
        return false;
    int lines = 0;
    SplicedText physical(text_, pos_, lines, codePage_);
    buffer_.clear();
    physical.AppendLine(buffer_);
    TokenReader reader(buffer_, &physical, codePage_);
    reader.ReadAll(line.tokens);
    for (PpToken& token : line.tokens)
        token.line += line_;
    line.line = line_;
    line.physicalLines = lines;
    line.unterminatedComment = reader.unterminatedComment;
    line_ += lines;
    return true;
}

std::vector<PpToken> LexTokens(std::string_view text)
{
    std::string line(text);
    for (char& c : line)
        if (c == '\n' || c == '\r')
            c = ' ';
    std::vector<PpToken> tokens;
    TokenReader(line, nullptr, 0).ReadAll(tokens);
    return tokens;
}

std::string StringizeSpelling(const std::vector<PpToken>& tokens)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const PpToken& token = tokens[i];
        if (i > 0 && token.spaceBefore)
            out += ' ';
        const bool literal = token.kind == PpTokenKind::String || token.kind == PpTokenKind::Char;
        for (char c : token.text) {
            if (literal && (c == '"' || c == '\\'))
                out += '\\';
            out += c;
        }
    }
    out += '"';
    return out;
}

}  // namespace brevok

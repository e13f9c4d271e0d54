// Reading one-line file statements with llvm-rc's token rules (ResourceScriptToken.cpp and
// ResourceScriptParser.cpp of LLVM), refusing everything whose reading could differ.
#include "rccompiler/file_script.h"

#include "rccompiler/data_files.h"

#include "rules/paths.h"
#include "rules/ascii.h"
#include "rules/integer_literal.h"

#include <cstdint>

namespace brevok {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// llvm-rc's identifiers: [A-Za-z_.] then [A-Za-z0-9_./\-]*.
bool StartsIdentifier(char c)
{
    return IsAsciiLetter(c) || c == '_' || c == '.';
}

bool ContinuesIdentifier(char c)
{
    return IsAsciiAlnum(c) || c == '_' || c == '.' || c == '/' || c == '\\' || c == '-';
}

bool EqualsIgnoringCase(std::string_view word, std::string_view upper)
{
    return AsciiUpper(word) == upper;
}

bool IsOneOf(std::string_view word, std::initializer_list<std::string_view> uppers)
{
    const std::string upper = AsciiUpper(word);
    for (std::string_view candidate : uppers)
        if (upper == candidate)
            return true;
    return false;
}

/// True when the C preprocessor could replace a part of the word: the identifiers inside it
/// that are reserved to the implementation (its predefined macros all are) or RC_INVOKED,
/// which the preprocessor defines. Runs that start with a digit are pp-numbers, never replaced.
bool PreprocessorMayReplace(std::string_view word)
{
    std::size_t i = 0;
    while (i < word.size()) {
        if (!IsAsciiAlnum(word[i]) && word[i] != '_') {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < word.size() && (IsAsciiAlnum(word[i]) || word[i] == '_'))
            ++i;
        const std::string_view run = word.substr(start, i - start);
        if (IsAsciiDigit(run[0]))
            continue;
        if (run == "RC_INVOKED" ||
            (run.size() > 1 && run[0] == '_' && (run[1] == '_' || (run[1] >= 'A' && run[1] <= 'Z'))))
            return true;
    }
    return false;
}

/// A word token of the line: an integer or an identifier, as llvm-rc cuts it.
struct Word {
    bool isInteger = false;
    std::string_view text;
};

/// Reads one line; every way out but a full statement, a blank line or a comment is a
/// foreign line.
class LineReader {
public:
    LineReader(std::string_view line, std::size_t lineNumber) : line_(line), lineNumber_(lineNumber) { }

    /// nullopt: foreign. An empty statement (line 0) for a blank or comment line.
    std::optional<Record> Read();

private:
    void SkipBlanks()
    {
        while (pos_ < line_.size() && IsBlank(line_[pos_]))
            ++pos_;
    }
    bool AtEnd() const { return pos_ == line_.size(); }
    bool AtComment() const { return line_.substr(pos_, 2) == "//"; }
    /// After a token: blanks and the end of the line or a `//` comment.
    bool AtTokenEnd() const { return AtEnd() || IsBlank(line_[pos_]) || AtComment(); }
    std::optional<Word> ReadWord();
    std::optional<std::string> ReadQuoted();
    std::optional<std::string> ReadPath();

    std::string_view line_;
    std::size_t lineNumber_;
    std::size_t pos_ = 0;
};

std::optional<Word> LineReader::ReadWord()
{
    if (AtEnd())
        return std::nullopt;
    const std::size_t start = pos_;
    Word word;
    if (IsAsciiDigit(line_[pos_])) {
        word.isInteger = true;
        while (pos_ < line_.size() && IsAsciiAlnum(line_[pos_]))
            ++pos_;
    } else if (StartsIdentifier(line_[pos_]) && line_.substr(pos_, 2) != "L\"" && line_.substr(pos_, 2) != "l\"") {
        while (pos_ < line_.size() && ContinuesIdentifier(line_[pos_]))
            ++pos_;
    } else {
        return std::nullopt;
    }
    word.text = line_.substr(start, pos_ - start);
    // Comments inside a word are the preprocessor's, not llvm-rc's; a backslash may start a
    // universal character name.
    const bool cComment =
        word.text.find("//") != std::string_view::npos || word.text.find("/*") != std::string_view::npos;
    if (!AtTokenEnd() || cComment || word.text.find('\\') != std::string_view::npos ||
        PreprocessorMayReplace(word.text))
        return std::nullopt;
    return word;
}

/// The C lexer must cut a quoted path where llvm-rc does: llvm-rc ends a string at a quote
/// that no second quote follows and knows no escapes, C lets a backslash escape a quote.
bool CutAlikeByC(std::string_view token)
{
    std::size_t i = 0;
    for (;;) {
        ++i;  // the opening quote
        while (i < token.size() && token[i] != '"')
            i += token[i] == '\\' ? 2 : 1;
        if (i >= token.size())
            return false;
        if (i == token.size() - 1)
            return true;
        if (token[i + 1] != '"')
            return false;
        ++i;  // the second quote of a pair opens the next C string
    }
}

std::optional<std::string> LineReader::ReadQuoted()
{
    std::size_t start = pos_;
    if (line_[pos_] == 'L' || line_[pos_] == 'l')
        start = ++pos_;
    ++pos_;
    for (;;) {
        if (AtEnd())
            return std::nullopt;
        if (line_[pos_] == '"') {
            ++pos_;
            if (AtEnd() || line_[pos_] != '"')
                break;
        }
        ++pos_;
    }
    const std::string_view token = line_.substr(start, pos_ - start);
    if (!AtTokenEnd() || !CutAlikeByC(token))
        return std::nullopt;
    return PathOfFileName(token);
}

std::optional<std::string> LineReader::ReadPath()
{
    if (AtEnd())
        return std::nullopt;
    if (line_[pos_] == '"' || line_.substr(pos_, 2) == "L\"" || line_.substr(pos_, 2) == "l\"")
        return ReadQuoted();
    const std::optional<Word> word = ReadWord();
    // A bare word that names a memory flag is read as that flag; BEGIN and END open and
    // close blocks.
    if (!word || word->isInteger ||
        IsOneOf(word->text,
                {"PRELOAD", "LOADONCALL", "FIXED", "MOVEABLE", "DISCARDABLE", "PURE", "IMPURE", "SHARED", "NONSHARED",
                 "BEGIN", "END"}))
        return std::nullopt;
    return std::string(word->text);
}

/// Reads an id word into `id`, a number as rc.exe reads it ("1L" and "0" are names); false for
/// a number the full compiler reads with a warning ("70000", "0x12345"), which is left to it.
bool ReadId(const Word& word, ResId& id)
{
    std::optional<NameOrdinal> ordinal;
    if (word.isInteger && (ordinal = ReadNameOrdinal(word.text)) && !ordinal->lost.empty())
        return false;
    if (ordinal) {
        id = ResId::Ordinal(ordinal->value);
        return true;
    }
    std::u16string name;
    for (char c : AsciiUpper(word.text))
        name.push_back(static_cast<char16_t>(c));
    id = ResId::Name(std::move(name));
    return true;
}

std::optional<Record> LineReader::Read()
{
    SkipBlanks();
    if (AtEnd() || AtComment())
        return Record{};
    const std::optional<Word> name = ReadWord();
    if (!name || (!name->isInteger && IsOneOf(name->text, {"LANGUAGE", "STRINGTABLE", "BEGIN", "END"})))
        return std::nullopt;
    SkipBlanks();
    const std::optional<Word> type = ReadWord();
    if (!type ||
        (!type->isInteger &&
         IsOneOf(type->text,
                 // and the types the full compiler writes by their numbers (MESSAGETABLE is 11)
                 {"ACCELERATORS", "DIALOG", "DIALOGEX", "HTML", "MENU", "MENUEX", "VERSIONINFO", "BEGIN", "END",
                  "MESSAGETABLE", "FONT", "DLGINCLUDE", "DLGINIT", "PLUGPLAY", "VXD", "ANICURSOR", "ANIICON", "TOOLBAR"})))
        return std::nullopt;
    SkipBlanks();
    std::optional<std::string> path = ReadPath();
    if (!path)
        return std::nullopt;
    SkipBlanks();
    if (!AtEnd() && !AtComment())
        return std::nullopt;

    Record statement;
    statement.nameText = std::string(name->text);
    statement.typeText = std::string(type->text);
    statement.path = std::move(*path);
    if (!type->isInteger && EqualsIgnoringCase(type->text, "BITMAP"))
        statement.kind = RecordKind::Bitmap;
    else if (!type->isInteger && EqualsIgnoringCase(type->text, "ICON"))
        statement.kind = RecordKind::Icon;
    else if (!type->isInteger && EqualsIgnoringCase(type->text, "CURSOR"))
        statement.kind = RecordKind::Cursor;
    else if (!type->isInteger && EqualsIgnoringCase(type->text, "RCDATA"))
        statement.type = ResId::Ordinal(kRtRcData);
    else if (!ReadId(*type, statement.type))
        return std::nullopt;
    if (!ReadId(*name, statement.name))
        return std::nullopt;
    return statement;
}

/// Bytes that make the preprocessor join or rewrite lines: a backslash ending a line (also
/// before blanks) and trigraphs.
bool HasLineTrouble(std::string_view line)
{
    std::size_t end = line.size();
    while (end > 0 && IsBlank(line[end - 1]))
        --end;
    if (end > 0 && line[end - 1] == '\\')
        return true;
    for (std::size_t at = line.find("??"); at != std::string_view::npos; at = line.find("??", at + 1))
        if (at + 2 < line.size() && std::string_view("=/'()!<>-").find(line[at + 2]) != std::string_view::npos)
            return true;
    // Other control bytes (a lone CR, form feeds, NUL) are read differently by the two.
    for (char c : line)
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F)
            return true;
    return false;
}

}  // namespace

RecordList ParseFileScript(std::string_view text, int codePage)
{
    RecordList script;
    // A byte order mark: llvm-rc and the preprocessor each have their own rule.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        script.foreignLine = 1;
        return script;
    }
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        text = lf == std::string_view::npos ? std::string_view() : text.substr(lf + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        std::optional<Record> statement;
        if (!HasLineTrouble(line))
            statement = LineReader(line, lineNumber).Read();
        if (!statement) {
            script.foreignLine = lineNumber;
            return script;
        }
        if (statement->nameText.empty())
            continue;
        statement->line = lineNumber;
        statement->codePage = codePage;
        script.records.push_back(std::move(*statement));
    }
    return script;
}

}  // namespace brevok

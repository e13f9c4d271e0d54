// The script tokenizer and parser without llvm-rc: one row per form of the language, the
// text and what the parser reads out of it (or the error and its line).
#include "rccompiler/rc_parser.h"
#include "rccompiler/rc_tokens.h"

#include <gtest/gtest.h>

namespace brevok {
namespace {

std::string Value(const RcValue& value)
{
    if (!value.isInt)
        return value.text;
    return std::to_string(value.number.value) + (value.number.isLong ? "L" : "");
}

/// The fields of a statement a row checks: name, type as written, memory flags, language,
/// and the values of a data block.
std::string Describe(const RcResource& resource)
{
    if (resource.kind == RcKind::Language)
        return "LANGUAGE " + std::to_string(resource.language);
    char flags[8];
    std::snprintf(flags, sizeof flags, "%04x", resource.memoryFlags);
    std::string text = Value(resource.name) + " " + resource.typeText + " " + flags;
    if (resource.options.language)
        text += " lang " + std::to_string(*resource.options.language);
    if (!resource.options.caption.empty())
        text += " caption " + resource.options.caption;
    if (resource.isFile)
        text += " file " + resource.file;
    if (!resource.data.empty()) {
        text += " {";
        for (const RcValue& value : resource.data)
            text += " " + Value(value);
        text += " }";
    }
    return text;
}

/// Each statement of `text` described, "; " between them, or the first error as
/// "LINE: TEXT".
std::string Parse(const std::string& text)
{
    const Parsed<std::vector<RcToken>> tokens = TokenizeScript(text);
    if (!tokens)
        return std::to_string(tokens.line) + ": " + tokens.error;
    const RcParse parsed = ParseResourceScript(*tokens);
    if (!parsed.errors.empty())
        return std::to_string(parsed.errors[0].line) + ": " + parsed.errors[0].text;
    std::string described;
    for (const RcResource& resource : parsed.resources)
        described += (described.empty() ? "" : "; ") + Describe(resource);
    return described;
}

TEST(RcParser, EveryFormGivesItsFieldsOrItsError)
{
    const std::pair<const char*, const char*> rows[] = {
        // Integer literals in every base, with and without L.
        {"1 RCDATA { 7, 0x1F, 0X1f, 0o17, 0b101, 010, 12L, 0 }", "1 RCDATA 0030 { 7 31 31 15 0 10 12L 0 }"},
        // rc.exe's numbers: the digits count, the rest of the token is ignored, 32 bits wrap.
        {"1 RCDATA { 0x, 08, 0b12, 8019.0, 1.5, 0x1g, 12ul, 1lu, 6/2 }", "1 RCDATA 0030 { 0 8 0 8019 1 1 12 1L 6 }"},
        {"\n1 RCDATA { 4294967297 ; a comment\n 1\"a\" }", "1 RCDATA 0030 { 1 1 \"a\" }"},
        {"1 RCDATA { 4294967295 }", "1 RCDATA 0030 { 4294967295 }"},
        // Names and types: numbers, words, user types, strings kept with their quotes.
        {"Logo 300 { \"ab\" L\"c\" }", "Logo 300 0030 { \"ab\" L\"c\" }"},
        {"0x10 MyType { 1 }", "16 MyType 0030 { 1 }"},
        {"2 HTML \"page.htm\"", "2 HTML 0030 file \"page.htm\""},
        // Memory flags, each word in turn on the type's defaults.
        {"3 RCDATA PRELOAD DISCARDABLE { 1 }", "3 RCDATA 1070 { 1 }"},
        {"3 RCDATA FIXED IMPURE { 1 }", "3 RCDATA 0000 { 1 }"},
        {"3 RCDATA MOVEABLE PURE LOADONCALL { 1 }", "3 RCDATA 0030 { 1 }"},
        // LANGUAGE at the top and inside a statement.
        {"LANGUAGE 7, 1\n4 RCDATA { 1 }", "LANGUAGE 1031; 4 RCDATA 0030 { 1 }"},
        {"5 DIALOG 0, 0, 9, 9 LANGUAGE 9, 2 CAPTION \"c\" { }", "5 DIALOG 1030 lang 2057 caption \"c\""},
        // Errors name the line of the offending token.
        {"Two 2 3 4", "1: expected '{', got 3"},
        {"1 RCDATA {\n 1,\n", "2: expected int or string, got <EOF>"},
        {"1 RCDATA { \"open\n }", "1: string literal not terminated in the line"},
    };
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(Parse(text), expected) << text;
}

}  // namespace
}  // namespace brevok

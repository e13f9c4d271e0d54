// The record stage without llvm-rc: one row per record kind, the statement and the record it
// gives (type, name, memory flags, language and data bytes, as llvm-rc writes them).
#include "rccompiler/rc_parser.h"
#include "rccompiler/rc_records.h"
#include "rccompiler/rc_tokens.h"
#include "rules/hex.h"

#include <gtest/gtest.h>

namespace brevok {
namespace {

/// "TYPE/NAME FLAGS LANGUAGE: DATA" of each record of `text` (a file record: "file PATH"
/// for its data), "; " between them; the first problem when there is one.
std::string Records(const std::string& text)
{
    const Parsed<std::vector<RcToken>> tokens = TokenizeScript(text);
    if (!tokens)
        return tokens.error;
    const RcParse parsed = ParseResourceScript(*tokens);
    const RcRecords made = MakeRecords(parsed.resources, 1252, 0x409);
    if (!made.problems.empty())
        return made.problems[0].text;
    std::string described;
    for (const Record& record : made.records) {
        const ResId& type = record.kind == RecordKind::Inline || record.kind == RecordKind::Data
            ? record.type
            : ResId::Ordinal(record.kind == RecordKind::Bitmap ? kRtBitmap : kRtIcon);
        described += (described.empty() ? "" : "; ") + DescribeResId(type) + "/" + DescribeResId(record.name) + " " +
            HexDigits(record.memoryFlags.value_or(0x30), HexLetters::Lower, 4) + " " +
            std::to_string(record.language.value_or(0x409)) + ": ";
        std::string data;
        for (char c : record.data)
            data += HexDigits(static_cast<unsigned char>(c), HexLetters::Lower, 2);
        described += record.kind == RecordKind::Inline ? data : "file " + record.path;
    }
    return described;
}

TEST(RcRecords, EveryRecordKindGivesLlvmRcsBytes)
{
    const std::pair<const char*, const char*> rows[] = {
        {"1 RCDATA { 1, 2L, \"ab\", L\"c\" }", "#10/#1 0030 1033: 01000200000061626300"},
        {"STRINGTABLE { 1, \"one\" 17, \"x\" }",
         "#6/#1 1030 1033: 000003006f006e00650000000000000000000000000000000000000000000000000000000000; "
         "#6/#2 1030 1033: 00000100780000000000000000000000000000000000000000000000000000000000"},
        {"2 ACCELERATORS { \"a\", 10 \"^B\", 11 65, 12, VIRTKEY, CONTROL, SHIFT }",
         "#9/#2 0030 1033: 000061000a000000000002000b0000008d0041000c000000"},
        {"3 DIALOG 1, 2, 30, 40 STYLE 0x80000000 CAPTION \"T\" { LTEXT \"L\", 5, 1, 2, 3, 4 }",
         "#5/#3 1030 1033: 0000c080000000000100010002001e0028000000000054000000000000000250000000000100020003"
         "0004000500ffff82004c0000000000"},
        {"4 DIALOGEX 1, 2, 30, 40, 7 FONT 8, \"F\", 400, 1, 1 { PUSHBUTTON \"P\", 6, 1, 2, 3, 4, 0, 0x20, 9 }",
         "#5/#4 1030 1033: 0100ffff0700000000000000400088800100010002001e00280000000000000008009001010146000000"
         "0000090000002000000000000150010002000300040006000000ffff8000500000000000"},
        {"5 MENU { POPUP \"&F\" { MENUITEM \"&O\", 100 MENUITEM SEPARATOR } }",
         "#4/#5 1030 1033: 0000000090002600460000000000640026004f000000800000000000"},
        {"6 VERSIONINFO FILEVERSION 1,2,3,4 { BLOCK \"StringFileInfo\" { BLOCK \"040904b0\" { VALUE \"A\", "
         "\"b\" } } }",
         "#16/#6 0030 1033: a80034000000560053005f00560045005200530049004f004e005f0049004e0046004f0000000000bd"
         "04effe0000010002000100040003000000000000000000000000000000000000000000000000000000000000000000000000"
         "004c000000010053007400720069006e006700460069006c00650049006e0066006f00000028000000010030003400300039"
         "003000340062003000000010000200010041000000000062000000"},
        {"7 TOOLBAR 16, 15 { BUTTON 100\n SEPARATOR\n BUTTON 101 }", "#241/#7 0030 1033: 010010000f000300640000006500"},
        {"8 HTML \"page.htm\"", "#23/#8 0030 1033: file page.htm"},
        {"LANGUAGE 7, 1\n9 RCDATA DISCARDABLE { 0x1F, 0o17, 0b101, 010 }", "#10/#9 1030 1031: 1f000f0000000a00"},
        {"10 RCDATA { L\"\\x263A\" \"\\x263A\" }", "#10/#10 0030 1033: 3a26263341"},
        {"11 RCDATA { \"\\x80\" }",
         "RCDATA statement (ID 11): Non-8-bit codepoint (8364) can't occur in a user-defined narrow string"},
    };
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(Records(text), expected) << text;
}

}  // namespace
}  // namespace brevok

// Names of headers and data files written in the script's own encoding: the compiler looks
// for them by their UTF-8 names, as rc.exe opens them by their UTF-16 ones, and writes the
// bytes zig rc writes.
#include "rcdriver/pipeline.h"

#include "image/res_file.h"
#include "platform/files.h"
#include "rules/unicode.h"
#include "support/scratch_folder.h"
#include "support/zig_rc.h"

#include <gtest/gtest.h>

namespace brevok {
namespace {

using testing::ScratchFolder;

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

/// How a script is saved: its bytes and the code page the compile is told.
enum class Saved {
    Cp1252,          // no mark, the default code page
    Utf8WithPragma,  // #pragma code_page(65001) first
    Utf8Unmarked,    // UTF-8 bytes with neither a mark nor a pragma: read as 1252
    Utf16Le,         // with its byte order mark
    Cp932Option,     // -c 932
    Cp932Pragma,     // #pragma code_page(932) first
};

/// How the script names its header.
enum class Header {
    None,     // a script of file statements alone, read without a preprocessing run
    Written,  // #include "hdr_NAME.h"
    Angled,   // #include <hdr_NAME.h>
    Macro,    // #define HDR "hdr_NAME.h" then #include HDR
};

/// The script's lines: ASCII but for `name`, which is given in the script's own bytes.
std::string ScriptText(const std::string& name, Header header, bool dlgInclude)
{
    std::string text;
    if (header == Header::Written)
        text += "#include \"hdr_" + name + ".h\"\r\n";
    if (header == Header::Angled)
        text += "#include <hdr_" + name + ".h>\r\n";
    if (header == Header::Macro)
        text += "#define HDR \"hdr_" + name + ".h\"\r\n#include HDR\r\n";
    text += (header == Header::None ? "7" : "ID_DATA") + std::string(" RCDATA \"") + name + "/" + name + ".bin\"\r\n";
    // The name of a DLGINCLUDE is data, written as its bytes, not a file to be opened.
    if (dlgInclude)
        text += "1 DLGINCLUDE \"hdr_" + name + ".h\"\r\n";
    return text;
}

std::string Utf16LeWithMark(const std::string& text)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : Utf8ToUtf16(text)) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// Each script includes hdr_NAME.h (which defines the ID) and reads NAME/NAME.bin, all named
// in the script's encoding. The reference is zig rc on the same script where zig rc reads it
// (1252 and 65001), else on the script saved as UTF-8 with #pragma code_page(65001): zig rc
// reads neither UTF-16 nor double-byte code pages, and the same resources give the same bytes.
TEST(CompileResourceScript, NamesInTheScriptsEncodingFindTheirFilesAndGiveZigRcsBytes)
{
    const std::string zig = testing::FindZig();
    ASSERT_FALSE(zig.empty()) << "zig rc, the reference, is not installed: run make deps";
    const struct {
        const char* name;
        Saved saved;
        Header header;
        /// The name in the script's bytes, where they are not its UTF-8.
        std::string written;
    } cases[] = {
        {"dätä", Saved::Cp1252, Header::Written, "d\xE4t\xE4"},
        {"dätä", Saved::Cp1252, Header::None, "d\xE4t\xE4"},
        {"dätä", Saved::Cp1252, Header::Angled, "d\xE4t\xE4"},
        // What the workbench writes: the bytes of UTF-8 paths, which rc.exe would read as 1252.
        {"dätä", Saved::Utf8Unmarked, Header::Written, ""},
        {"dätä", Saved::Utf8WithPragma, Header::Written, ""},
        {"данные", Saved::Utf8WithPragma, Header::Written, ""},
        {"数据", Saved::Utf8WithPragma, Header::Written, ""},
        {"📦", Saved::Utf8WithPragma, Header::Written, ""},
        {"dätä", Saved::Utf16Le, Header::Written, ""},
        {"данные", Saved::Utf16Le, Header::Written, ""},
        {"数据", Saved::Utf16Le, Header::Written, ""},
        {"📦", Saved::Utf16Le, Header::Written, ""},
        // 日本 in Shift-JIS.
        {"日本", Saved::Cp932Option, Header::Written, "\x93\xFA\x96\x7B"},
        {"日本", Saved::Cp932Option, Header::None, "\x93\xFA\x96\x7B"},
        {"日本", Saved::Cp932Option, Header::Angled, "\x93\xFA\x96\x7B"},
        {"日本", Saved::Cp932Pragma, Header::Macro, "\x93\xFA\x96\x7B"},
        // 表 (95 5C) ends in a backslash byte, which must not split the path.
        {"表", Saved::Cp932Pragma, Header::Written, "\x95\x5C"},
    };
    for (const auto& c : cases) {
        static const char* const kSaved[] = {"1252", "UTF-8 with a pragma", "UTF-8 unmarked", "UTF-16LE",
                                             "-c 932", "#pragma code_page(932)"};
        static const char* const kHeader[] = {"no header", "#include \"\"", "#include <>", "#include MACRO"};
        const std::string label = std::string(c.name) + " in " + kSaved[static_cast<int>(c.saved)] + ", " +
            kHeader[static_cast<int>(c.header)];
        ScratchFolder folder;
        folder.Write(std::string("hdr_") + c.name + ".h", "#define ID_DATA 7\r\n");
        folder.Write(std::string(c.name) + "/" + c.name + ".bin", std::string("data of ") + c.name);
        const bool cp1252 = c.saved == Saved::Cp1252;
        const std::string written = c.written.empty() ? std::string(c.name) : c.written;
        const std::string text = ScriptText(written, c.header, cp1252 && c.header != Header::None);
        std::string bytes = text;
        CompileOptions options;
        if (c.saved == Saved::Utf8WithPragma)
            bytes = "#pragma code_page(65001)\r\n" + text;
        else if (c.saved == Saved::Cp932Pragma)
            bytes = "#pragma code_page(932)\r\n" + text;
        else if (c.saved == Saved::Utf16Le)
            bytes = Utf16LeWithMark(text);
        else if (c.saved == Saved::Cp932Option)
            options.codePage = 932;
        const std::string script = folder.Write("app.rc", bytes);
        const ToolOutcome ours = CompileResourceScript(script, folder / "ours.res", options);
        EXPECT_TRUE(ours.ok) << label << "\n" << Joined(ours.lines);
        if (!ours.ok)
            continue;

        std::string reference = script;
        if (cp1252) {
            // zig rc's preprocessor looks for the header by the bytes as written.
            folder.Write("hdr_" + written + ".h", "#define ID_DATA 7\r\n");
        } else if (c.saved != Saved::Utf8WithPragma) {
            reference = folder.Write("utf8.rc", "#pragma code_page(65001)\r\n" + ScriptText(c.name, c.header, false));
        }
        const ProgramExit theirs =
            testing::RunZigRc(zig, {"/:auto-includes", "none", "/i", folder.Path()}, folder / "zig.res", reference);
        if (theirs.exitCode != 0) {
            ADD_FAILURE() << "zig rc refused " << label << "\n" << theirs.output;
            continue;
        }
        EXPECT_EQ(ReadFileBytes(folder / "ours.res"), ReadFileBytes(folder / "zig.res")) << label;
    }
}

// The #include of a UTF-16 header is read in Unicode though the script's other text is 1252.
TEST(CompileResourceScript, AUnicodeHeaderOfA1252ScriptIncludesByItsUnicodeName)
{
    ScratchFolder folder;
    folder.Write("hdr_данные.h", "#define ID_DATA 7\r\n");
    folder.Write("names.h", Utf16LeWithMark("#include \"hdr_данные.h\"\r\n"));
    folder.Write("d.bin", "data");
    const std::string script = folder.Write("app.rc", "#include \"names.h\"\r\nID_DATA RCDATA \"d.bin\"\r\n");
    const ToolOutcome outcome = CompileResourceScript(script, folder / "app.res");
    ASSERT_TRUE(outcome.ok) << Joined(outcome.lines);
    const Parsed<std::vector<ResRecord>> records = ParseResFile(ReadFileBytes(folder / "app.res"));
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 1u);
    EXPECT_EQ(records->front().name, ResId::Ordinal(7));
    EXPECT_EQ(records->front().data, "data");
}

TEST(CompileResourceScript, MissingFilesAreReportedByTheirUtf8Names)
{
    ScratchFolder folder;
    const struct {
        const char* script;
        const char* message;
    } cases[] = {
        {"1 RCDATA \"d\xE4t\xE4.bin\"\r\n", "(1): error: RCDATA 1: file not found: dätä.bin"},
        {"#include \"d\xE4t\xE4.h\"\r\n", "(1): fatal error: 'dätä.h' file not found"},
        {"#pragma code_page(65001)\r\n1 RCDATA \"данные.bin\"\r\n", "(2): error: RCDATA 1: file not found: данные.bin"},
        // UTF-8 in a 1252 script, looked for as 1252 and as UTF-8: named as it reads.
        {"1 RCDATA \"данные.bin\"\r\n", "(1): error: RCDATA 1: file not found: данные.bin"},
        {"#include \"данные.h\"\r\n", "(1): fatal error: 'данные.h' file not found"},
    };
    for (const auto& c : cases) {
        const std::string script = folder.Write("app.rc", c.script);
        const ToolOutcome outcome = CompileResourceScript(script, folder / "app.res");
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.lines, std::vector<std::string>{script + c.message}) << c.script;
    }
}

}  // namespace
}  // namespace brevok

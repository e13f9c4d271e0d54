// brcc32's rc.exe options held against zig rc, an rc.exe-compatible compiler: the same scripts
// with the same options give the same .res bytes, or fail in both.
#include "platform/files.h"
#include "platform/process.h"
#include "support/scratch_folder.h"
#include "support/zig_rc.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace brevok {
namespace {

using testing::ScratchFolder;

const std::string kBrcc32 = std::string(BREVOK_BIN_DIR) + "/brcc32";

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more)
{
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

const std::string kStrings = "STRINGTABLE\nBEGIN\n  1 \"ab\"\n  2 \"\"\n  17 L\"w\\x263A\"\nEND\n";
const std::string kDialog = "1 DIALOGEX 0, 0, 100, 50\nBEGIN\n  PUSHBUTTON \"a\", 100, 0, 0, 10, 10\n"
                            "  PUSHBUTTON \"b\", 100, 0, 0, 10, 10\n  LTEXT \"c\", -1, 0, 0, 10, 10\n"
                            "  LTEXT \"d\", -1, 0, 0, 10, 10\nEND\n"
                            "2 DIALOG 0, 0, 100, 50\nBEGIN\n  LTEXT \"e\", -1, 0, 0, 10, 10\n  LTEXT \"f\", -1, 0, 0, 10, 10\nEND\n";
const std::string kUnknownCodePage = "#pragma code_page(12345)\n1 RCDATA { \"\xE9\" }\n";

std::string Literal(std::size_t characters, const std::string& unit = "a")
{
    std::string text;
    for (std::size_t i = 0; i < characters; ++i)
        text += unit;
    return "STRINGTABLE\nBEGIN\n  1 \"" + text + "\"\nEND\n";
}

TEST(Brcc32RcOptions, ResBytesAndRefusalsAreZigRcs)
{
    const std::string zig = testing::FindZig();
    ASSERT_FALSE(zig.empty()) << "zig rc, the reference, is not installed: run make deps";
    struct Case {
        std::vector<std::string> options;
        std::string script;
        bool compiles;
        /// The lines brcc32 prints after its options, each prefixed by the script's path.
        std::vector<std::string> messages;
        /// Whether brcc32 compiles it, where that differs from zig rc.
        std::optional<bool> weCompile;
    };
    const std::string tooLong = "(3): warning: string literal too long (more than 4097 characters); rc.exe refuses it "
                                "without /sl";
    const std::string duplicate = ": warning: control with id ";
    const Case cases[] = {
        {{}, kStrings, true, {}},
        {{"/n"}, kStrings, true, {}},
        {{"/a", "/r"}, kStrings, true, {}},
        {{}, kDialog, true,
         {"(4)" + duplicate + "100 already defined for this dialog",
          "(6)" + duplicate + "4294967295 already defined for this dialog",
          "(11)" + duplicate + "65535 already defined for this dialog"}},
        {{"/y"}, kDialog, true, {}},
        {{}, kUnknownCodePage, false, {"(1): error: code page 12345 is not supported"}},
        {{"/w"}, kUnknownCodePage, true, {"(1): warning: unknown code page 12345 in #pragma code_page ignored"}},
        {{"/ln", "de-de"}, kStrings, true, {}},
        {{"/ln", "SR-latn-rs"}, kStrings, true, {}},
        {{"/ln", "fr"}, kStrings, true, {}},
        {{"/ln", "zh"}, kStrings, true, {}},
        {{}, Literal(4097), true, {}},
        // Past rc.exe's own limit we compile and warn; past one -sl sets, we refuse.
        {{}, Literal(4098), false, {tooLong}, true},
        // "" is one character, \x41 four; a character of UTF-8 is one.
        {{}, Literal(4097, "\"\""), true, {}},
        {{}, Literal(1025, "\\x41"), false, {tooLong}, true},
        {{}, "#pragma code_page(65001)\n" + Literal(4097, "\xC3\xA9"), true, {}},
        {{"/sl", "100"}, Literal(8192), true, {}},
        {{"/sl100"}, Literal(8193), false, {"(3): error: string literal too long (more than 8192 characters)"}},
        {{"/sl", "1"}, Literal(81), true, {}},
        {{"/sl", "1"}, Literal(82), false, {"(3): error: string literal too long (more than 81 characters)"}},
    };
    ScratchFolder folder;
    for (const Case& c : cases) {
        const std::string script = folder.Write("app.rc", c.script);
        const std::string ours = folder / "ours.res";
        const std::string theirs = folder / "theirs.res";
        DeleteFileQuietly(ours);
        DeleteFileQuietly(theirs);
        const ProgramExit zigRun =
            RunAndCapture(With(With({zig, "rc", "/:auto-includes", "none"}, c.options), {"--", script, theirs}));
        const ProgramExit run = RunAndCapture(With(With({kBrcc32, "/nologo"}, c.options), {"/fo", ours, script}));
        const std::string what = (c.options.empty() ? std::string("no options") : c.options[0]) + "\n" +
            c.script.substr(0, 200) + "\n" + run.output;
        EXPECT_EQ(zigRun.exitCode == 0, c.compiles) << what << zigRun.output.substr(0, 400);
        const bool weCompile = c.weCompile.value_or(c.compiles);
        EXPECT_EQ(run.exitCode, weCompile ? 0 : 1) << what;
        std::string expected;
        for (const std::string& message : c.messages)
            expected += script + message + "\n";
        EXPECT_EQ(run.output, expected) << what;
        if (c.compiles && FileExists(ours) && FileExists(theirs))
            EXPECT_EQ(ReadFileBytes(ours), ReadFileBytes(theirs)) << what;
        else
            EXPECT_EQ(FileExists(ours), weCompile) << what;
    }
}

TEST(Brcc32RcOptions, PreprocessOnlyWritesTheRcppBesideTheScriptOrToTheFoFile)
{
    const std::string zig = testing::FindZig();
    ASSERT_FALSE(zig.empty()) << "zig rc, the reference, is not installed: run make deps";
    ScratchFolder folder;
    for (const std::string& program : {zig, kBrcc32}) {
        SCOPED_TRACE(program);
        const std::vector<std::string> run =
            program == zig ? std::vector<std::string>{zig, "rc", "/:auto-includes", "none"} : std::vector{kBrcc32};
        const std::string script = folder.Write("app.rc", "#define X 5\n1 RCDATA { X }\n");
        DeleteFileQuietly(folder / "app.rcpp");
        DeleteFileQuietly(folder / "out.i");
        ASSERT_EQ(RunAndCapture(With(run, {"/p", "--", script})).exitCode, 0);
        EXPECT_NE(ReadFileBytes(folder / "app.rcpp").find("1 RCDATA { 5 }"), std::string::npos);
        ASSERT_EQ(RunAndCapture(With(run, {"/p", "/fo", folder / "out.i", "--", script})).exitCode, 0);
        EXPECT_NE(ReadFileBytes(folder / "out.i").find("1 RCDATA { 5 }"), std::string::npos);
        EXPECT_FALSE(FileExists(folder / "app.res"));
    }
}

}  // namespace
}  // namespace brevok

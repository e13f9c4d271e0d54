// Our compiler against zig rc (rc.exe's bytes) on generated scripts over every statement kind and option, byte
// for byte; and a folder of malformed scripts, each giving a clean error that names its line.
#include "image/res_file.h"
#include "platform/files.h"
#include "platform/process.h"
#include "rcdriver/pipeline.h"
#include "support/res_oracle.h"
#include "support/scratch_folder.h"
#include "support/zig_rc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>

namespace brevok {
namespace {

using testing::ScratchFolder;

class Generator {
public:
    explicit Generator(unsigned seed) : random_(seed) { }

    std::string Script()
    {
        std::string text;
        const int count = Pick(1, 4);
        for (int i = 0; i < count; ++i)
            text += Statement();
        return text;
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool Maybe() { return Pick(0, 1) == 1; }
    template <class T>
    const T& One(const std::vector<T>& items)
    {
        return items[static_cast<std::size_t>(Pick(0, static_cast<int>(items.size()) - 1))];
    }

    std::string Number()
    {
        // rc.exe's numbers too: no octal, ignored tails, values past 16 and 32 bits.
        const std::vector<std::string> forms = {"7",  "0x1F",  "010", "65535",    "(1 + 2) | 4", "~1 & 0xFF",
                                                "-1", "3 - 1", "12L", "0x10000L", "1 | 2 & 3",   "8019.0",
                                                "08", "70000", "0x1g", "99999999999"};
        return One(forms);
    }
    std::string Small() { return std::to_string(Pick(0, 300)); }
    std::string Text()
    {
        const std::vector<std::string> texts = {
            "\"plain\"", "\"tab\\tand\\nline\"", "\"quote \"\"x\"\"\"", "L\"wide \\x41\\101\"", "\"caf\xE9\"", "\"\"",
            "\"&File\"", "\"back\\\\slash\"",    "L\"\\x263A\""};
        return One(texts);
    }
    std::string Name()
    {
        if (Pick(0, 5) == 0)  // numbers rc.exe reads as names, or cuts
            return One<std::string>({"1L", "0", "0x12345", "70000", "010", "1.5", "0x0001"});
        return Maybe() ? std::to_string(Pick(1, 2000)) : One<std::string>({"Main", "IDD_X", "dlg"});
    }
    std::string MemoryFlags()
    {
        const std::vector<std::string> flags = {
            "", "", "DISCARDABLE ", "PRELOAD ", "FIXED IMPURE ", "MOVEABLE PURE ", "LOADONCALL ", "SHARED NONSHARED "};
        return One(flags);
    }
    std::string Options(bool dialog, bool extended)
    {
        std::string text;
        if (Maybe())
            text += "LANGUAGE " + std::to_string(Pick(0, 30)) + ", " + std::to_string(Pick(0, 5)) + "\n";
        if (Maybe())
            text += "CHARACTERISTICS " + Small() + "\n";
        if (Maybe())
            text += "VERSION " + Small() + "\n";
        if (!dialog)
            return text;
        if (Maybe())
            text += "CAPTION " + One<std::string>({"\"Title\"", "\"\"", "L\"Wide\""}) + "\n";
        if (Maybe())
            text += "STYLE " + One<std::string>({"0x80C80000", "0x10000000 | 0x40", "0"}) + "\n";
        if (Maybe())
            text += "EXSTYLE " + Small() + "\n";
        if (Maybe())
            text += "CLASS " + One<std::string>({"\"MyClass\"", "5"}) + "\n";
        if (Maybe()) {
            text += "FONT 8, \"MS Shell Dlg\"";
            if (extended && Maybe())
                text += One<std::string>({", 700", ", 400, 1", ", 0, 0, 0x1"});
            text += "\n";
        }
        return text;
    }
    std::string Control(bool extended)
    {
        const std::vector<std::string> titled = {
            "LTEXT",        "CTEXT",           "RTEXT",    "ICON",     "PUSHBUTTON",  "DEFPUSHBUTTON", "AUTO3STATE",
            "AUTOCHECKBOX", "AUTORADIOBUTTON", "CHECKBOX", "GROUPBOX", "RADIOBUTTON", "STATE3",        "PUSHBOX"};
        const std::vector<std::string> plain = {"EDITTEXT", "COMBOBOX", "LISTBOX", "SCROLLBAR"};
        const std::string place = ", " + Small() + ", " + Small() + ", " +
            One<std::string>({std::to_string(Pick(1, 200)), "-5", "70000"}) + ", " + std::to_string(Pick(1, 60));
        std::string text;
        const int kind = Pick(0, 2);
        if (kind == 0)
            text = "  " + One(titled) + " " + (Maybe() ? Text() : Small()) + ", " +
                (extended ? One<std::string>({Small(), "70000"}) : Small()) + place;
        else if (kind == 1)
            text = "  " + One(plain) + " " + One<std::string>({Small(), "-1"}) + place;
        else
            text = "  CONTROL " + Text() + ", " + Small() + ", " +
                One<std::string>({"\"Button\"", "\"SysListView32\"", "\"EDIT\"", "\"static\"", "\"ListBox\"",
                                  "\"SCROLLBAR\"", "\"ComboBox\"", "L\"button\"", "\"Buttons\""}) +
                ", " +
                One<std::string>({"0x50010000", "NOT 0x10000000 | 1", "0"}) + place;
        if (kind != 2 && Maybe())
            text += ", " + One<std::string>({"NOT 0x00010000", "0x00800000", "NOT 0x10000000 | 0x4"});
        else if (kind == 2 || Maybe())
            return text + "\n";
        if (Maybe())
            text += ", " + Small();
        if (extended && Maybe())
            text += ", " + Small();
        return text + "\n";
    }
    std::string MenuItems(int depth)
    {
        std::string text = "BEGIN\n";
        const int count = Pick(1, 4);
        for (int i = 0; i < count; ++i) {
            const int kind = depth < 2 ? Pick(0, 2) : Pick(0, 1);
            if (kind == 0)
                text += "MENUITEM " + Text() + (Pick(0, 4) == 0 ? " " : ", ") + One<std::string>({Small(), "70000"}) +
                    One<std::string>(
                            {"", ", CHECKED", ", GRAYED, HELP", ", INACTIVE", ", MENUBARBREAK", ", MENUBREAK"}) +
                    "\n";
            else if (kind == 1)
                text += "MENUITEM SEPARATOR\n";
            else
                text += "POPUP " + Text() + One<std::string>({"", ", GRAYED"}) + "\n" + MenuItems(depth + 1);
        }
        return text + "END\n";
    }
    std::string MenuExItems(int depth)
    {
        std::string text = "BEGIN\n";
        const int count = Pick(1, 3);
        for (int i = 0; i < count; ++i) {
            const std::string fields = One<std::string>({"", ", " + Small(), ", " + Small() + ", 0x800",
                                                        ", " + Small() + ", 0, 3", ", , 0x4000"});
            if (depth < 2 && Pick(0, 2) == 0)
                text += "POPUP " + Text() + fields + (Maybe() ? ", 7" : "") + "\n" + MenuExItems(depth + 1);
            else
                text += "MENUITEM " + Text() + fields + "\n";  // rc.exe has no SEPARATOR in MENUEX
        }
        return text + "END\n";
    }
    std::string VersionBlock(int depth)
    {
        std::string text = "BEGIN\n";
        const int count = Pick(1, 3);
        for (int i = 0; i < count; ++i) {
            if (depth < 2 && Maybe()) {
                text += "BLOCK " + One<std::string>({"\"StringFileInfo\"", "\"040904B0\"", "\"VarFileInfo\""}) + "\n" +
                    VersionBlock(depth + 1);
            } else if (Maybe()) {
                text += "VALUE " + One<std::string>({"\"CompanyName\"", "\"FileVersion\""}) + ", " +
                    One<std::string>({"\"Halvane\"", "\"1.0\" \"2\"", "\"a\", \"b\"", "\"x\" \"\"", "L\"wide\"", "\"\"",
                                      "\"\\0\"", "\"1.0\\0\"", "1, \"a\"", "\"\" \"\""}) +
                    "\n";
            } else {
                text +=
                    "VALUE \"Translation\", " + One<std::string>({"0x409, 1200", "0x409L, 1252", "1, 2L, 3"}) + "\n";
            }
        }
        return text + "END\n";
    }
    std::string Statement()
    {
        switch (Pick(0, 9)) {
        case 0: {
            std::string text = Name() + " ACCELERATORS " + MemoryFlags() + Options(false, false) + "{\n";
            const int count = Pick(1, 4);
            for (int i = 0; i < count; ++i)
                text += One<std::string>({"  \"^C\", " + Small() + "\n", "  \"a\", " + Small() + ", ASCII\n",
                                          "  65, " + Small() + ", VIRTKEY, SHIFT, CONTROL, ALT\n",
                                          "  \"b\", " + Small() + ", VIRTKEY, NOINVERT\n",
                                          "  97, " + Small() + ", ASCII\n"});
            return text + "}\n";
        }
        case 1:
        case 2: {
            const bool extended = Maybe();
            std::string text = Name() + (extended ? " DIALOGEX " : " DIALOG ") + MemoryFlags() + Small() + ", " +
                Small() + ", " + std::to_string(Pick(1, 400)) + ", " + std::to_string(Pick(1, 300));
            if (extended && Maybe())
                text += ", " + Small();
            text += "\n" + Options(true, extended) + "BEGIN\n";
            const int count = Pick(0, 5);
            for (int i = 0; i < count; ++i)
                text += Control(extended);
            return text + "END\n";
        }
        case 3:
            if (Pick(0, 2) == 0)
                return Name() + " MENUEX " + MemoryFlags() + MenuExItems(0);
            return Name() + " MENU " + MemoryFlags() + Options(false, false) + MenuItems(0);
        case 4: {
            std::string text = "STRINGTABLE " + MemoryFlags() + Options(false, false) + "BEGIN\n";
            const int count = Pick(1, 5);
            for (int i = 0; i < count; ++i)
                text += "  " + std::to_string(Pick(0, 100) * 7 + i) + (Maybe() ? ", " : " ") + Text() +
                    (Maybe() ? " \"more\"" : "") + "\n";
            return text + "END\n";
        }
        case 5: {
            std::string text = Name() + " VERSIONINFO " + MemoryFlags();
            if (Maybe())
                text += "FILEVERSION 1, 2, 3, 4\n";
            if (Pick(0, 3) == 0)
                text += "FILEVERSION 0x10001, 70000\n";
            if (Maybe())
                text += "PRODUCTVERSION 5, 6\n";
            if (Maybe())
                text += "FILEFLAGSMASK 0x3F\nFILEFLAGS 0\nFILEOS 0x40004\nFILETYPE 1\nFILESUBTYPE 0\n";
            return text + VersionBlock(0);
        }
        case 6: {
            std::string text =
                Name() + " " + One<std::string>({"RCDATA", "MYTYPE", "300"}) + " " + MemoryFlags() + "{ ";
            const int count = Pick(1, 5);
            for (int i = 0; i < count; ++i)
                text += One<std::string>({std::to_string(Pick(0, 65535)), "0x1F", "12L", "0x10000L", Text(),
                                          "\"raw\\0zero\"", "L\"w\\0\""}) +
                    (Maybe() ? ", " : " ");
            return text + "}\n";
        }
        case 7:
            return "LANGUAGE " + std::to_string(Pick(0, 30)) + ", " + std::to_string(Pick(0, 5)) + "\n";
        case 8:
            return Name() + One<std::string>({" DLGINCLUDE ", " DLGINIT "}) + MemoryFlags() + "\"page.htm\"\n";
        default:
            return Name() + " HTML " + MemoryFlags() + "\"page.htm\"\n";
        }
    }

    std::mt19937 random_;
};

TEST(Differential, GeneratedScriptsGiveZigRcsBytes)
{
    const std::string zig = testing::FindZig();
    ASSERT_FALSE(zig.empty()) << "zig rc, the reference, is not installed: run make deps";
    ScratchFolder folder;
    folder.Write("page.htm", "<html>page</html>");
    Generator generator(20261208);
    int compared = 0;
    int refused = 0;
    std::vector<std::string> differing;
    const std::string script = folder / "gen.rc";
    for (int i = 0; i < 600; ++i) {
        const std::string text = generator.Script();
        WriteFileAtomically(script, text);
        DeleteFileQuietly(folder / "zig.res");
        const ProgramExit theirs =
            testing::RunZigRc(zig, {"/:no-preprocess", "/c", "1252", "/l", "409"}, folder / "zig.res", script);
        const ToolOutcome ours = CompileResourceScript(script, folder / "ours.res");
        if (theirs.exitCode != 0) {
            ++refused;
            if (std::getenv("BREVOK_SHOW_REFUSED"))
                std::printf("%s\n", theirs.output.substr(0, 300).c_str());
            continue;
        }
        ++compared;
        if (!ours.ok)
            differing.push_back(text + "\n" + (ours.lines.empty() ? "" : ours.lines[0]));
        else if (ReadFileBytes(folder / "ours.res") != ReadFileBytes(folder / "zig.res"))
            differing.push_back(text);
    }
    std::printf("differential: %d generated scripts compiled by zig rc, %d of them byte-identical; %d refused by "
                "zig rc\n",
                compared, compared - static_cast<int>(differing.size()), refused);
    for (std::size_t i = 0; i < differing.size() && i < 5; ++i)
        ADD_FAILURE() << "differs from zig rc:\n" << differing[i];
    EXPECT_TRUE(differing.empty()) << differing.size() << " differ";
    EXPECT_GE(compared, 450);
}

TEST(Differential, RcExeLeniencesGiveZigRcsBytesWithAWarning)
{
    const std::string zig = testing::FindZig();
    ASSERT_FALSE(zig.empty()) << "zig rc, the reference, is not installed: run make deps";
    // What rc.exe takes and silently reads its own way: the same bytes as zig rc, and a
    // warning on the line (empty: rc.exe's reading is plain and nothing is said).
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"1 DIALOG 0, 0, 9, 9 { LTEXT \"a\", 70000, 0, 0, 5, 5 }",
         "Control ID in simple DIALOG resource (70000) does not fit in 16 bits; rc.exe keeps its low bits: 4464"},
        {"1 ACCELERATORS { \"a\", 70000 }", "ACCELERATORS entry ID (70000) does not fit in 16 bits"},
        {"1 MENU { MENUITEM \"a\", 70000 }", "MENUITEM action ID (70000) does not fit in 16 bits"},
        {"1 VERSIONINFO FILEVERSION 0x10001, 2 { }", "FILEVERSION fields (65537) does not fit in 16 bits"},
        {"1 VERSIONINFO FILEVERSION 1, 2\nFILEVERSION 3, 4 { }", "FILEVERSION is given again; rc.exe keeps the last one"},
        {"1 DIALOG 0, 0, -5, 70000 { }", "Dialog height (70000) does not fit in 16 bits"},
        {"1 DIALOG 0, 0, 9, 9 { LTEXT \"a\", 1, -70000, 0, 5, 5 }", "x-coordinate (-70000) does not fit in 16 bits"},
        {"1 DIALOGEX 0, 0, 9, 9 FONT 8, \"a\", 400, 0, 300 { }", "Font charset (300) does not fit in 8 bits"},
        {"1 RCDATA { 0x12345 }", "Number in user-defined resource (74565) does not fit in 16 bits"},
        {"1 RCDATA { 08 }", ""},
        {"1 RCDATA { 010 }", "010 is decimal 10 to rc.exe, not octal 8 as in C"},
        {"1 RCDATA { 8019.0 }", "8019.0 is read as 8019, as rc.exe reads it: it ignores \".0\""},
        {"1 RCDATA { 99999999999L }", "99999999999L does not fit in 32 bits; rc.exe wraps it to 1215752191"},
        {"70000 RCDATA { 1 }", "the name 70000 does not fit in 16 bits; rc.exe keeps its low bits: 4464"},
        {"0x12345 RCDATA { 1 }", "the name 0x12345 keeps only its first four hexadecimal digits in rc.exe: 4660"},
        {"1L RCDATA { 1 }\n0 RCDATA { 2 }", ""},
        {"1 MENU { MENUITEM \"a\" 5 }", ""},
        {"1 VERSIONINFO { VALUE \"k\", 1, \"a\" }", "VALUE \"k\" mixes strings and numbers"},
        {"; Version stamping information:\n1 RCDATA { 1 ; the rest of the line\n 2 }", ""},
        {"1 RCDATA { 1 }\n\x1A\n2 RCDATA { 2 }", ""},
        {"1 DIALOGEX 0, 0, 9, 9 { CONTROL \"a\", 1, 0x80, 0, 0, 0, 1, 1 }",
         "rc.exe miscompiles a control class given as a number; it is written as the class ordinal 128"},
        {"1 DIALOGEX 0, 0, 9, 9 { CONTROL \"a\", 1, edit, 0, 0, 0, 1, 1 }", ""},
        {"1 VERSIONINFO { BLOCK \"a\" { VALUE \"b\" \"c\" } }", "VALUE \"b\" has no comma after its key"},
    };
    ScratchFolder folder;
    const std::string script = folder / "app.rc";
    for (const auto& [text, warning] : cases) {
        WriteFileAtomically(script, text + "\n");
        const ProgramExit theirs = testing::RunZigRc(zig, {"/:auto-includes", "none"}, folder / "zig.res", script);
        ASSERT_EQ(theirs.exitCode, 0) << text << "\n" << theirs.output;
        const ToolOutcome ours = CompileResourceScript(script, folder / "ours.res");
        ASSERT_TRUE(ours.ok) << text << "\n" << (ours.lines.empty() ? "" : ours.lines[0]);
        EXPECT_EQ(ReadFileBytes(folder / "ours.res"), ReadFileBytes(folder / "zig.res")) << text;
        if (warning.empty()) {
            EXPECT_TRUE(ours.lines.empty()) << text << "\n" << ours.lines[0];
            continue;
        }
        ASSERT_FALSE(ours.lines.empty()) << text;
        EXPECT_EQ(ours.lines[0].rfind(script + "(", 0), 0u) << ours.lines[0];
        EXPECT_NE(ours.lines[0].find("): warning: "), std::string::npos) << ours.lines[0];
        EXPECT_NE(ours.lines[0].find(warning), std::string::npos) << text << "\n" << ours.lines[0];
    }
}

/// Each record of a .res file by "type/name/language": its data.
std::map<std::string, std::string> Records(const std::string& path)
{
    std::map<std::string, std::string> records;
    const Parsed<std::vector<ResRecord>> parsed = ParseResFile(ReadFileBytes(path));
    if (parsed)
        for (const ResRecord& record : *parsed)
            records[DescribeResId(record.type) + "/" + DescribeResId(record.name) + "/" +
                    std::to_string(record.language)] = record.data;
    return records;
}

TEST(Differential, WhatLlvmRcRefusesGivesWhatWindresGives)
{
    ScratchFolder folder;
    folder.Write("m.bin", "x");
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"types by name",
         "1 MESSAGETABLE \"m.bin\"\n4 ANICURSOR \"m.bin\"\n"
         "6 ANIICON \"m.bin\"\n7 PLUGPLAY \"m.bin\"\n8 VXD \"m.bin\"\n"},
        {"ALT on an ASCII key", "9 ACCELERATORS { \"/\", 5, ASCII, ALT, NOINVERT\n \"?\", 6, SHIFT }\n"},
        {"coordinates past 32767", "10 DIALOGEX 0, 65506, 451, 12 { PUSHBUTTON \"OK\", 1, 65535, 0, 50, 14 }\n"},
        {"control data",
         "14 DIALOGEX 0, 0, 100, 50 { CONTROL \"a\", 5, \"MYCLASS\", 0x50010000, 1, 2, 30, 10 { 1, 2L, \"xy\" }\n"
         " PUSHBUTTON \"b\", 6, 1, 20, 30, 10 BEGIN 7 END }\n"},
        {"* and /", "13 DIALOG 2 * 3, 10 / 3, 1 + 2 * 3, (1 + 2) * 3 { LTEXT \"a\", 4 * 4 - 1, 0, 0, 8 / 2, 1 }\n"},
    };
    for (const auto& [name, text] : cases) {
        const std::string script = folder.Write("app.rc", text);
        const ToolOutcome ours = CompileResourceScript(script, folder / "ours.res");
        ASSERT_TRUE(ours.ok) << name << "\n" << (ours.lines.empty() ? "" : ours.lines[0]);
        const ProgramExit windres =
            RunAndCapture({"/usr/bin/x86_64-w64-mingw32-windres", script, "-O", "res", "-o", folder / "windres.res"});
        ASSERT_TRUE(windres.startError == 0 && windres.exitCode == 0)
            << name << " " << windres.startError << " " << windres.exitCode << windres.output;
        EXPECT_EQ(Records(folder / "ours.res"), Records(folder / "windres.res")) << name;
    }
    // rc.exe's missing and trailing commas, which llvm-rc and windres refuse, give what llvm-rc
    // gives for the script with its commas in place.
    const std::string lenient = folder.Write("lenient.rc",
                                             "11 DIALOG 0, 0, 9, 9 { CTEXT \"a\" -1, 0, 5, 144, 8 }\n"
                                             "12 MENU { POPUP \"v\" { MENUITEM \"a\", 1,\n MENUITEM \"b\", 2 } }\n");
    const std::string strict = folder.Write("strict.rc",
                                            "11 DIALOG 0, 0, 9, 9 { CTEXT \"a\", -1, 0, 5, 144, 8 }\n"
                                            "12 MENU { POPUP \"v\" { MENUITEM \"a\", 1\n MENUITEM \"b\", 2 } }\n");
    ASSERT_TRUE(CompileResourceScript(lenient, folder / "ours.res").ok);
    if (const std::string llvmRc = testing::FindLlvmTool("llvm-rc"); !llvmRc.empty()) {
        ASSERT_EQ(RunAndCapture({llvmRc, "/FO", folder / "llvm.res", strict}).exitCode, 0);
        EXPECT_EQ(ReadFileBytes(folder / "ours.res"), ReadFileBytes(folder / "llvm.res"));
    }
    // A MENUEX separator is an item of type MFT_SEPARATOR (0x800), as Windows draws one.
    const std::string separator = folder.Write("sep.rc", "5 MENUEX { MENUITEM SEPARATOR }\n");
    ASSERT_TRUE(CompileResourceScript(separator, folder / "ours.res").ok);
    EXPECT_EQ(Records(folder / "ours.res").at("#4/#5/1033").substr(8, 4), std::string("\0\x08\0\0", 4));
    // TOOLBAR in rc.exe's layout, which MFC reads: version 1, then 16-bit width, height,
    // count and ids (0 for a separator). windres writes these as 32-bit values.
    const std::string script =
        folder.Write("app.rc", "7 TOOLBAR DISCARDABLE 16, 15 { BUTTON 100\n SEPARATOR\n BUTTON 101 }\n");
    ASSERT_TRUE(CompileResourceScript(script, folder / "ours.res").ok);
    EXPECT_EQ(Records(folder / "ours.res").at("#241/#7/1033"),
              std::string("\x01\0\x10\0\x0F\0\x03\0\x64\0\0\0\x65\0", 14));
}

TEST(Differential, MalformedScriptsGiveOneCleanErrorNamingTheirLine)
{
    ScratchFolder out;
    int walked = 0;
    const std::string folder = std::string(BREVOK_SOURCE_DIR) + "/tests/rccompiler/malformed";
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".rc")
            continue;
        ++walked;
        const std::string script = entry.path().string();
        // The first line says where the error is: "// error on line N: TEXT".
        const std::string text = ReadFileBytes(script);
        const std::string mark = "// error on line ";
        ASSERT_EQ(text.rfind(mark, 0), 0u) << script;
        const std::size_t colon = text.find(": ", mark.size());
        const std::string line = text.substr(mark.size(), colon - mark.size());
        const std::string expected = text.substr(colon + 2, text.find('\n') - colon - 2);
        WriteFileAtomically(out / "old.res", "older");
        const ToolOutcome outcome = CompileResourceScript(script, out / "old.res");
        EXPECT_FALSE(outcome.ok) << script;
        ASSERT_FALSE(outcome.lines.empty()) << script;
        EXPECT_EQ(outcome.lines[0], script + "(" + line + "): error: " + expected) << script;
        EXPECT_EQ(ReadFileBytes(out / "old.res"), "older") << script;
    }
    EXPECT_GE(walked, 10);
}

}  // namespace
}  // namespace brevok

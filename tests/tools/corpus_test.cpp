// brcc32 over real Visual Studio scripts, run as a user runs it (`brcc32 FILE.rc` in the
// script's folder, no options, no INCLUDE), held against llvm-rc and windres given the
// mingw-w64 headers.
#include "image/res_file.h"
#include "platform/files.h"
#include "rules/paths.h"
#include "platform/process.h"
#include "support/res_oracle.h"
#include "support/scratch_folder.h"
#include "rules/ascii.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace brevok {
namespace {

using testing::ScratchFolder;

const std::string kBrcc32 = std::string(BREVOK_BIN_DIR) + "/brcc32";
const std::string kMingwHeaders = "/usr/share/mingw-w64/include";

/// Runs `command` in `folder` with INCLUDE unset, and for `kNoTools` with nothing on PATH and
/// so that no llvm-rc or clang can be found; true on exit code 0.
enum class Tools { kOnPath, kNoTools };
bool RunIn(const std::string& folder, const std::vector<std::string>& command, std::string* output = nullptr,
           Tools tools = Tools::kOnPath)
{
    const std::string line = tools == Tools::kNoTools
        ? "cd \"$1\" && shift && unset INCLUDE && PATH=/nonexistent exec \"$@\""
        : "cd \"$1\" && shift && unset INCLUDE && exec \"$@\"";
    std::vector<std::string> shell = {"/bin/sh", "-c", line, "sh", folder};
    shell.insert(shell.end(), command.begin(), command.end());
    const ProgramExit run = RunAndCapture(shell);
    if (output != nullptr)
        *output = run.output;
    return run.exitCode == 0;
}

/// (type, name, language) of every record of a .res file.
std::set<std::string> RecordKeys(const std::string& path)
{
    std::set<std::string> keys;
    const Parsed<std::vector<ResRecord>> records = ParseResFile(ReadFileBytes(path));
    if (records)
        for (const ResRecord& record : *records)
            keys.insert(DescribeResId(record.type) + "/" + DescribeResId(record.name) + "/" +
                        std::to_string(record.language));
    return keys;
}

TEST(Corpus, Brcc32CompilesWhatLlvmRcOrWindresCompilesWithoutLlvmRcToLlvmRcsBytes)
{
    const std::string llvmRc = testing::FindLlvmTool("llvm-rc");
    ScratchFolder out;
    int cases = 0, ours = 0, byLlvmRc = 0, identical = 0, byWindresOnly = 0, sameRecords = 0;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(std::string(BREVOK_SOURCE_DIR) + "/tests/rcdriver/corpus")) {
        if (AsciiUpper(entry.path().extension().string()) != ".RC")
            continue;
        ++cases;
        const std::string folder = entry.path().parent_path().string();
        const std::string script = entry.path().filename().string();
        std::string messages;
        const bool compiled = RunIn(folder, {kBrcc32, "-fo", out / "ours.res", script}, &messages, Tools::kNoTools);
        ours += compiled;
        const bool llvmRcCompiled =
            RunIn(folder, {llvmRc, "/C", "1252", "/I", kMingwHeaders, "/FO", out / "llvm.res", script});
        const bool windresCompiled =
            RunIn(folder,
                  {"x86_64-w64-mingw32-windres", "-I" + kMingwHeaders, script, "-O", "res", "-o", out / "windres.res"});
        if (llvmRcCompiled) {
            ++byLlvmRc;
            EXPECT_TRUE(compiled) << entry.path() << "\n" << messages;
            const bool same = compiled && ReadFileBytes(out / "ours.res") == ReadFileBytes(out / "llvm.res");
            EXPECT_TRUE(same) << entry.path();
            identical += same;
        } else if (windresCompiled) {
            // What llvm-rc refuses (TOOLBAR, ALT on an ASCII key, coordinates past 32767) gives
            // the resources windres gives; their bytes follow llvm-rc's and rc.exe's layouts.
            ++byWindresOnly;
            EXPECT_TRUE(compiled) << entry.path() << "\n" << messages;
            const bool same = compiled && RecordKeys(out / "ours.res") == RecordKeys(out / "windres.res");
            EXPECT_TRUE(same) << entry.path();
            sameRecords += same;
        }
        DeleteFileQuietly(out / "ours.res");
    }
    std::printf("corpus: %d scripts; brcc32 without llvm-rc compiles %d; llvm-rc %d (brcc32 byte-identical on %d); "
                "windres only %d (the same resources on %d)\n",
                cases, ours, byLlvmRc, identical, byWindresOnly, sameRecords);
    EXPECT_EQ(cases, 36);
    EXPECT_GE(ours, byLlvmRc + byWindresOnly + 10);
}

TEST(Corpus, MingwHeadersOnTheIncludePathGiveWhatTheShippedHeadersGive)
{
    // -i puts mingw-w64's own windows.h, _mingw.h and vadefs.h before the shipped ones: they
    // read only with a compiler named (__GNUC__), and give the same numbers.
    ScratchFolder out;
    int cases = 0, compiled = 0;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(std::string(BREVOK_SOURCE_DIR) + "/tests/rcdriver/corpus")) {
        if (AsciiUpper(entry.path().extension().string()) != ".RC")
            continue;
        ++cases;
        const std::string folder = entry.path().parent_path().string();
        const std::string script = entry.path().filename().string();
        std::string plainMessages, mingwMessages;
        const bool plain =
            RunIn(folder, {kBrcc32, "-fo", out / "plain.res", script}, &plainMessages, Tools::kNoTools);
        const bool mingw = RunIn(folder, {kBrcc32, "-i", kMingwHeaders, "-fo", out / "mingw.res", script},
                                 &mingwMessages, Tools::kNoTools);
        EXPECT_EQ(mingw, plain) << entry.path() << "\n" << plainMessages << mingwMessages;
        if (plain && mingw) {
            ++compiled;
            EXPECT_EQ(ReadFileBytes(out / "mingw.res"), ReadFileBytes(out / "plain.res")) << entry.path();
        }
        DeleteFileQuietly(out / "plain.res");
        DeleteFileQuietly(out / "mingw.res");
    }
    EXPECT_EQ(cases, 36);
    EXPECT_GE(compiled, 26);
}

TEST(Corpus, ShippedHeadersDefineWhatAScriptTakesFromThem)
{
    // Each script includes one header and uses what scripts use from it; it must give the
    // bytes of the same script written with the numbers and strings themselves.
    struct Case {
        const char* header;
        const char* body;
        const char* plain;
    };
    const std::vector<Case> cases = {
        {"winnt.h",
         "#if MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN_SWISS) == 0x807 && PRIMARYLANGID(0x807) == 7 && "
         "SUBLANGID(0x807) == 2 && LANGIDFROMLCID(LOCALE_USER_DEFAULT) == LANG_USER_DEFAULT\n"
         "LANGUAGE LANG_KINYARWANDA, SUBLANG_KINYARWANDA_RWANDA\n1 RCDATA { TEXT(\"x\"), SORT_CHINESE_BOPOMOFO }\n#endif\n",
         "LANGUAGE 0x87, 1\n1 RCDATA { \"x\", 3 }\n"},
        {"winbase.h", "LANGUAGE LANG_FRENCH, SUBLANG_FRENCH_CANADIAN\n1 RCDATA { 1 }\n", "LANGUAGE 12, 3\n1 RCDATA { 1 }\n"},
        {"tchar.h", "1 RCDATA { _T(\"ab\"), _TEXT(\"c\") }\n", "1 RCDATA { \"ab\", \"c\" }\n"},
        {"stddef.h", "1 RCDATA { 1 }\n", "1 RCDATA { 1 }\n"},
        {"strsafe.h", "1 RCDATA { 1 }\n", "1 RCDATA { 1 }\n"},
        {"winsock2.h", "1 RCDATA { WS_POPUP }\n", "1 RCDATA { 0x80000000L }\n"},
        {"wsipx.h", "1 RCDATA { NSPROTO_IPX }\n", "1 RCDATA { 1000 }\n"},
        {"objbase.h", "1 RCDATA { WS_CHILD }\n", "1 RCDATA { 0x40000000L }\n"},
        {"ole2.h", "1 RCDATA { IDCANCEL }\n", "1 RCDATA { 2 }\n"},
        {"shlobj.h", "1 RCDATA { BS_AUTOCHECKBOX }\n", "1 RCDATA { 3L }\n"},
        {"richedit.h", "1 RCDATA { RICHEDIT_CLASS, MSFTEDIT_CLASS, ES_SAVESEL, ES_SUNKEN }\n",
         "1 RCDATA { \"RichEdit20A\", L\"RICHEDIT50W\", 0x8000, 0x4000 }\n"},
        {"wingdi.h", "1 RCDATA { FW_BOLD, DEFAULT_CHARSET }\n", "1 RCDATA { 700, 1 }\n"},
        {"commdlg.h", "1 RCDATA { PD_RETURNDC }\n", "1 RCDATA { 0x100 }\n"},
        {"colordlg.h", "1 RCDATA { DLG_COLOR }\n", "1 RCDATA { 10 }\n"},
        {"shellapi.h", "1 RCDATA { SHGFI_ICON }\n", "1 RCDATA { 0x100 }\n"},
        {"mmsystem.h", "1 RCDATA { SND_ASYNC }\n", "1 RCDATA { 1 }\n"},
        {"winspool.h", "1 RCDATA { PRINTER_ATTRIBUTE_SHARED }\n", "1 RCDATA { 8 }\n"},
        {"setupapi.h", "1 RCDATA { IDI_RESOURCEFIRST }\n", "1 RCDATA { 159 }\n"},
        {"htmlhelp.h", "1 RCDATA { HH_DISPLAY_TOC }\n", "1 RCDATA { 1 }\n"},
        {"winsdkver.h", "1 RCDATA { WINVER_MAXVER }\n", "1 RCDATA { 0x0A00 }\n"},
    };
    ScratchFolder folder;
    for (const Case& c : cases) {
        folder.Write("uses.rc", std::string("#include <") + c.header + ">\n" + c.body);
        folder.Write("plain.rc", c.plain);
        std::string messages;
        ASSERT_TRUE(RunIn(folder.Path(), {kBrcc32, "uses.rc"}, &messages, Tools::kNoTools)) << c.header << "\n"
                                                                                             << messages;
        ASSERT_TRUE(RunIn(folder.Path(), {kBrcc32, "plain.rc"}, &messages, Tools::kNoTools)) << c.header;
        EXPECT_EQ(ReadFileBytes(folder / "uses.res"), ReadFileBytes(folder / "plain.res")) << c.header;
    }
}

/// UTF-8 text (the Basic Multilingual Plane) as UTF-16 with its byte order mark.
std::string Utf16(const std::string& utf8, bool littleEndian)
{
    std::string out = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    for (std::size_t i = 0; i < utf8.size();) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned>(static_cast<unsigned char>(utf8[k])); };
        unsigned unit = byte(i);
        if (unit >= 0xE0) {
            unit = ((unit & 0x0F) << 12) | ((byte(i + 1) & 0x3F) << 6) | (byte(i + 2) & 0x3F);
            i += 3;
        } else if (unit >= 0xC0) {
            unit = ((unit & 0x1F) << 6) | (byte(i + 1) & 0x3F);
            i += 2;
        } else {
            ++i;
        }
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        out += littleEndian ? low : high;
        out += littleEndian ? high : low;
    }
    return out;
}

TEST(Corpus, HandMadeScriptsGiveWhatLlvmRcGivesForTheirPlainForm)
{
    // What the corpus lacks, each beside a form llvm-rc reads (exact names, ASCII or UTF-8).
    const std::string body =
        "#define CAT(a, b) a ## b\n#define TWICE(x) CAT(x, x)\n#define V 2\n"
        "#if V == 1\n#define NAME one\n#elif V == 2\n#define NAME TWICE(7)\n#else\n#error\n#endif\n"
        "NAME RCDATA { \"x\", L\"y\" }\nSTRINGTABLE { 1, \"caf\xC3\xA9 \xE2\x82\xAC\" }\n";
    const std::string bigEndian = Utf16(body, false);
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> ours;
        std::vector<std::pair<std::string, std::string>> plain;
        const char* codePage;
    };
    const std::vector<Case> cases = {
        {"UTF-16 big endian, ##, nested macros, #elif", {{"app.rc", bigEndian}}, {{"app.rc", body}}, "65001"},
        {"UTF-16 little endian",
         {{"app.rc", Utf16("#include \"ids.h\"\nID RCDATA { 5 }\n", true)}, {"ids.h", "#define ID 4\n"}},
         {{"app.rc", "#include \"ids.h\"\nID RCDATA { 5 }\n"}, {"ids.h", "#define ID 4\n"}},
         "65001"},
        {"backslashes and letter case in includes",
         {{"app.rc", "#include \"Res\\IDS.H\"\n#include <WINDOWS.H>\nID DIALOG 0, 0, 9, 9 STYLE WS_POPUP {}\n"},
          {"res/ids.h", "#define ID 4\n"}},
         {{"app.rc", "#include \"res/ids.h\"\n#include <windows.h>\nID DIALOG 0, 0, 9, 9 STYLE WS_POPUP {}\n"},
          {"res/ids.h", "#define ID 4\n"}},
         "1252"},
    };
    const std::string llvmRc = testing::FindLlvmTool("llvm-rc");
    for (const Case& c : cases) {
        ScratchFolder ours;
        ScratchFolder plain;
        for (const auto& [name, bytes] : c.ours) {
            std::filesystem::create_directories(std::filesystem::path(ours / name).parent_path());
            ours.Write(name, bytes);
        }
        for (const auto& [name, bytes] : c.plain) {
            std::filesystem::create_directories(std::filesystem::path(plain / name).parent_path());
            plain.Write(name, bytes);
        }
        std::string messages;
        ASSERT_TRUE(RunIn(ours.Path(), {kBrcc32, "app.rc"}, &messages)) << c.name << "\n" << messages;
        ASSERT_TRUE(RunIn(plain.Path(), {llvmRc, "/C", c.codePage, "/I", kMingwHeaders, "app.rc"}, &messages))
            << c.name << "\n"
            << messages;
        EXPECT_EQ(ReadFileBytes(ours / "app.res"), ReadFileBytes(plain / "app.res")) << c.name;
    }
}

TEST(Corpus, CommandLineOptionsReachThePreprocessorAndTheCompiler)
{
    ScratchFolder folder;
    std::filesystem::create_directories(folder / "inc");
    folder.Write("inc/ids.h", "#define FIRST 3\n");
    folder.Write("d.bin", "data");
    folder.Write("app.rc",
                 "#include \"ids.h\"\nFIRST RCDATA \"d.bin\"\n#ifdef EXTRA\nEXTRA RCDATA { 1 }\n#endif\n"
                 "#ifndef GONE\nSTRINGTABLE { 1, \"caf\xE9\" }\n#endif\n");
    std::string messages;
    ASSERT_TRUE(RunIn(folder.Path(),
                      {kBrcc32, "/i", "inc", "-dEXTRA=9", "-DGONE", "-u", "GONE", "-l", "407", "-c1252", "app.rc"},
                      &messages))
        << messages;
    EXPECT_EQ(testing::ResEntries(folder / "app.res"),
              (std::set<std::string>{"RCDATA (ID 10)/(ID 3)", "RCDATA (ID 10)/(ID 9)", "STRINGTABLE (ID 6)/(ID 1)"}));
    // The language goes into every record: 0x407 after the type and name.
    EXPECT_NE(ReadFileBytes(folder / "app.res").find(std::string("\x30\x00\x07\x04", 4)), std::string::npos);

    // -v names the files read and keeps the preprocessed script; -### runs nothing.
    ASSERT_TRUE(RunIn(folder.Path(), {kBrcc32, "-v", "-i", "inc", "app.rc"}, &messages)) << messages;
    EXPECT_NE(messages.find("Reading inc/ids.h"), std::string::npos) << messages;
    EXPECT_NE(messages.find("Preprocessed script: app.rcpp"), std::string::npos) << messages;
    EXPECT_TRUE(FileExists(folder / "app.rcpp"));
    DeleteFileQuietly(folder / "app.res");
    ASSERT_TRUE(RunIn(folder.Path(), {kBrcc32, "-###", "-i", "inc", "-x", "app.rc"}, &messages)) << messages;
    EXPECT_FALSE(FileExists(folder / "app.res"));
    EXPECT_NE(messages.find("include search: (the including file's folder), ., inc, " + std::string(BREVOK_BIN_DIR)),
              std::string::npos)
        << messages;
    EXPECT_NE(messages.find("code page: 1252\nlanguage: 409\nstatements: compiled by brcc32 itself"),
              std::string::npos)
        << messages;
}

}  // namespace
}  // namespace brevok

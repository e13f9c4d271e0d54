// brcc32 over real Visual Studio scripts, run as a user runs it (`brcc32 FILE.rc` in the
// script's folder, no options, no INCLUDE), held against zig rc (rc.exe's bytes) and llvm-rc.
#include "image/res_file.h"
#include "platform/files.h"
#include "rules/paths.h"
#include "platform/process.h"
#include "support/res_oracle.h"
#include "support/scratch_folder.h"
#include "support/zig_rc.h"
#include "rules/ascii.h"

#include <gtest/gtest.h>

#include <algorithm>
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

TEST(Corpus, Brcc32CompilesWhatZigRcOrLlvmRcCompilesToZigRcsBytes)
{
    const std::string zig = testing::FindZig();
    ASSERT_FALSE(zig.empty()) << "zig rc, the reference, is not installed: run make deps";
    const std::string llvmRc = testing::FindLlvmTool("llvm-rc");
    ScratchFolder out;
    int cases = 0, ours = 0, byZig = 0, byLlvmRc = 0, identical = 0;
    std::string table = "corpus: brcc32 | zig rc | llvm-rc (compiled: yes/no; = the bytes equal brcc32's)\n";
    const auto cell = [](bool compiled, bool same) { return std::string(compiled ? (same ? "yes =" : "yes  ") : "no   "); };
    std::vector<std::filesystem::path> scripts;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(std::string(BREVOK_SOURCE_DIR) + "/tests/rcdriver/corpus"))
        if (AsciiUpper(entry.path().extension().string()) == ".RC")
            scripts.push_back(entry.path());
    std::sort(scripts.begin(), scripts.end());
    for (const std::filesystem::path& path : scripts) {
        ++cases;
        const std::string folder = path.parent_path().string();
        const std::string script = path.filename().string();
        std::string messages;
        const bool compiled = RunIn(folder, {kBrcc32, "-fo", out / "ours.res", script}, &messages, Tools::kNoTools);
        ours += compiled;
        // zig rc with the MinGW headers it carries, llvm-rc with Debian's.
        const bool zigCompiled =
            RunIn(folder, {zig, "rc", "/:auto-includes", "gnu", "/fo", out / "zig.res", "--", script});
        const bool llvmRcCompiled = !llvmRc.empty() &&
            RunIn(folder, {llvmRc, "/C", "1252", "/I", kMingwHeaders, "/FO", out / "llvm.res", script});
        const std::string bytes = compiled ? ReadFileBytes(out / "ours.res") : std::string();
        const bool sameAsZig = compiled && zigCompiled && bytes == ReadFileBytes(out / "zig.res");
        const bool sameAsLlvmRc = compiled && llvmRcCompiled && bytes == ReadFileBytes(out / "llvm.res");
        byZig += zigCompiled;
        byLlvmRc += llvmRcCompiled;
        identical += sameAsZig;
        if (zigCompiled || llvmRcCompiled)
            EXPECT_TRUE(compiled) << path << "\n" << messages;
        if (zigCompiled && compiled)
            EXPECT_TRUE(sameAsZig) << path << ": not the bytes zig rc writes";
        char row[160];
        const std::string name =
            std::filesystem::relative(path.parent_path(), std::string(BREVOK_SOURCE_DIR) + "/tests/rcdriver/corpus")
                .string();
        std::snprintf(row, sizeof row, "  %-40s %s | %s | %s\n", name.c_str(),
                      cell(compiled, true).substr(0, 3).c_str(), cell(zigCompiled, sameAsZig).c_str(),
                      cell(llvmRcCompiled, sameAsLlvmRc).c_str());
        table += row;
        DeleteFileQuietly(out / "ours.res");
        DeleteFileQuietly(out / "zig.res");
        DeleteFileQuietly(out / "llvm.res");
    }
    std::printf("%s  %d scripts: brcc32 compiles %d, zig rc %d, llvm-rc %d; brcc32 byte-identical with zig rc on %d\n",
                table.c_str(), cases, ours, byZig, byLlvmRc, identical);
    EXPECT_EQ(cases, 36);
    EXPECT_GE(ours, 27);  // the others lack a file of their project (afxres.rc, version.h, a .tlb)
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

TEST(Corpus, HandMadeScriptsGiveWhatZigRcGivesForTheirPlainForm)
{
    // What the corpus lacks, each beside a form zig rc reads (exact names, ASCII or UTF-8).
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
    const std::string zig = testing::FindZig();
    ASSERT_FALSE(zig.empty()) << "zig rc, the reference, is not installed: run make deps";
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
        ASSERT_TRUE(RunIn(plain.Path(),
                          {zig, "rc", "/c", c.codePage, "/:auto-includes", "gnu", "/fo", "app.res", "--", "app.rc"},
                          &messages))
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

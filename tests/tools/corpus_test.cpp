// brcc32 over real Visual Studio scripts, run as a user runs it (`brcc32 FILE.rc` in the
// script's folder, no options, no INCLUDE), held against llvm-rc and windres given the
// mingw-w64 headers.
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "support/res_oracle.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace brevok {
namespace {

using testing::ScratchFolder;

const std::string kBrcc32 = std::string(BREVOK_BIN_DIR) + "/brcc32";
const std::string kMingwHeaders = "/usr/share/mingw-w64/include";

/// Runs `command` in `folder` with INCLUDE unset; true on exit code 0.
bool RunIn(const std::string& folder, const std::vector<std::string>& command, std::string* output = nullptr)
{
    std::vector<std::string> shell = {"/bin/sh", "-c", "cd \"$1\" && shift && unset INCLUDE && exec \"$@\"", "sh", folder};
    shell.insert(shell.end(), command.begin(), command.end());
    const ProgramExit run = RunAndCapture(shell);
    if (output != nullptr)
        *output = run.output;
    return run.exitCode == 0;
}

TEST(Corpus, Brcc32CompilesWhatLlvmRcOrWindresCompilesToLlvmRcsBytes)
{
    const std::string llvmRc = testing::FindLlvmTool("llvm-rc");
    ScratchFolder out;
    int cases = 0, ours = 0, byLlvmRc = 0, identical = 0, byWindresOnly = 0;
    std::vector<std::string> windresOnly;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(std::string(BREVOK_SOURCE_DIR) + "/tests/rcdriver/corpus")) {
        if (AsciiUpper(entry.path().extension().string()) != ".RC")
            continue;
        ++cases;
        const std::string folder = entry.path().parent_path().string();
        const std::string script = entry.path().filename().string();
        std::string messages;
        const bool compiled = RunIn(folder, {kBrcc32, "-fo", out / "ours.res", script}, &messages);
        ours += compiled;
        const bool llvmRcCompiled =
            RunIn(folder, {llvmRc, "/C", "1252", "/I", kMingwHeaders, "/FO", out / "llvm.res", script});
        const bool windresCompiled = RunIn(folder, {"x86_64-w64-mingw32-windres", "-I" + kMingwHeaders, script, "-O",
                                                    "res", "-o", out / "windres.res"});
        if (llvmRcCompiled) {
            ++byLlvmRc;
            EXPECT_TRUE(compiled) << entry.path() << "\n" << messages;
            const bool same = compiled && ReadFileBytes(out / "ours.res") == ReadFileBytes(out / "llvm.res");
            EXPECT_TRUE(same) << entry.path();
            identical += same;
        } else if (windresCompiled) {
            // Statements llvm-rc lacks (TOOLBAR) or refuses still go to it: the preprocessor's
            // part is done when llvm-rc's message names the statement's line in the script.
            ++byWindresOnly;
            windresOnly.push_back(script);
            EXPECT_NE(messages.find(script + "("), std::string::npos) << entry.path() << "\n" << messages;
        }
        DeleteFileQuietly(out / "ours.res");
    }
    std::printf("corpus: %d scripts; brcc32 compiles %d; llvm-rc %d (brcc32 byte-identical on %d); windres only %d",
                cases, ours, byLlvmRc, identical, byWindresOnly);
    for (const std::string& script : windresOnly)
        std::printf(" %s", script.c_str());
    std::printf("\n");
    EXPECT_EQ(cases, 36);
    EXPECT_GE(ours, byLlvmRc + 4);
}

TEST(Corpus, CommandLineOptionsReachThePreprocessorAndTheCompiler)
{
    ScratchFolder folder;
    std::filesystem::create_directories(folder / "inc");
    folder.Write("inc/ids.h", "#define FIRST 3\n");
    folder.Write("d.bin", "data");
    folder.Write("app.rc", "#include \"ids.h\"\nFIRST RCDATA \"d.bin\"\n#ifdef EXTRA\nEXTRA RCDATA { 1 }\n#endif\n"
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
    EXPECT_NE(messages.find("/no-preprocess /C 1252 /L 409 /I . /I inc /X /FO app.res -- PREPROCESSED"),
              std::string::npos)
        << messages;
}

}  // namespace
}  // namespace brevok

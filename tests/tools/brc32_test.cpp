// brc32 as a process: banner, diagnostics on standard output, exit code, and the executable
// left alone whenever the run fails.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <sstream>

#include "support/pe_fixtures.h"

namespace brevok {
namespace {

using fixtures::BuildPe;
using fixtures::FixtureDir;
using fixtures::ReadFixtureFile;
using fixtures::WriteFixtureFile;

struct ToolRun {
    int exitCode = -1;
    std::vector<std::string> lines;
};

ToolRun RunBrc32(const std::string& arguments, const std::string& environment = "")
{
    ToolRun run;
    const std::string command = environment + "'" + BREVOK_BIN_DIR + "/brc32' " + arguments;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    std::string output;
    std::array<char, 4096> chunk;
    std::size_t n;
    while ((n = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0)
        output.append(chunk.data(), n);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);)
        run.lines.push_back(line);
    return run;
}

TEST(Brc32Test, CompilesAndBindsPrintingOnlyTheBannerOnSuccess)
{
    FixtureDir dir;
    const std::string exe = BuildPe(dir.path(), "app", "");
    WriteFixtureFile(dir / "app.rc", "7 RCDATA { \"bound\" }\n");
    // Options in another order and case than Build All writes them.
    const ToolRun run = RunBrc32("'" + (dir / "app.rc") + "' -FE '" + exe + "' -fo '" + (dir / "out.res") + "'");
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_EQ(run.lines.size(), 3u);
    EXPECT_EQ(run.lines[0].rfind("brc32", 0), 0u);
    EXPECT_NE(ReadFixtureFile(exe).find("bound"), std::string::npos);
    EXPECT_TRUE(fixtures::FileExistsForTest(dir / "out.res"));
}

TEST(Brc32Test, FailuresPrintDiagnosticsExitNonZeroAndLeaveTheExecutable)
{
    FixtureDir dir;
    const std::string exe = BuildPe(dir.path(), "app", "");
    const std::string before = ReadFixtureFile(exe);

    WriteFixtureFile(dir / "broken.rc", "7 RCDATA { \"x\" \n");
    ToolRun run = RunBrc32("-fo '" + (dir / "broken.res") + "' -fe '" + exe + "' '" + (dir / "broken.rc") + "'");
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_GE(run.lines.size(), 4u);
    EXPECT_NE(run.lines[3].find("broken.rc"), std::string::npos) << run.lines[3];

    WriteFixtureFile(dir / "good.rc", "7 RCDATA { \"x\" }\n");
    WriteFixtureFile(dir / "short.exe", before.substr(0, 0x80));
    run = RunBrc32("-fo '" + (dir / "good.res") + "' -fe '" + (dir / "short.exe") + "' '" + (dir / "good.rc") + "'");
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_EQ(run.lines.size(), 4u);
    EXPECT_EQ(run.lines[3].rfind("Error " + (dir / "short.exe") + ": the PE header runs past the end of the file", 0),
              0u)
        << run.lines[3];
    EXPECT_EQ(ReadFixtureFile(dir / "short.exe"), before.substr(0, 0x80));
    EXPECT_EQ(ReadFixtureFile(exe), before);

    // A bad command line is named, then the usage line.
    const std::pair<const char*, const char*> bad[] = {
        {"", "no script given"},
        {"-fo a.res x.rc", "no -fe EXEFILE given"},
        {"-fo a.res -fe b.exe", "no script given"},
        {"-fo a.res -fe b.exe x.rc y.rc", "a second script 'y.rc' (the first is 'x.rc')"},
        {"-fe", "option -fe needs a value"},
        {"-fo a.res -fe b.exe -q x.rc", "unknown option '-q'"},
        {"-fo a.res -fe b.exe -c 933 x.rc", "code page 933 is not supported"},
    };
    for (const auto& [arguments, reason] : bad) {
        run = RunBrc32(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments;
        ASSERT_EQ(run.lines.size(), 5u) << arguments;
        EXPECT_EQ(run.lines[3], std::string("brc32: error: ") + reason);
        EXPECT_EQ(run.lines[4], "usage: brc32 [options] -fo RESFILE -fe EXEFILE SCRIPT");
    }
}

TEST(Brc32Test, WithoutLlvmRcFileScriptsBindAndOtherStatementsAreNamed)
{
    FixtureDir dir;
    FixtureDir noTools;
    const std::string exe = BuildPe(dir.path(), "app", "");
    WriteFixtureFile(dir / "d.bin", "bound without llvm-rc");
    WriteFixtureFile(dir / "app.rc", "Blob RCDATA \"" + (dir / "d.bin") + "\"\r\n");
    const std::string bare = "PATH='" + noTools.path() + "' ";
    const std::string arguments = "-fo '" + (dir / "app.res") + "' -fe '" + exe + "' '" + (dir / "app.rc") + "'";
    ToolRun run = RunBrc32(arguments, bare);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines.size(), 3u);
    EXPECT_NE(ReadFixtureFile(exe).find("bound without llvm-rc"), std::string::npos);

    WriteFixtureFile(dir / "app.rc", "STRINGTABLE { 1 \"bound strings\" }\n");
    run = RunBrc32(arguments, bare);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(ReadFixtureFile(exe).find(std::string("b\0o\0u\0n\0d\0 \0s", 13)), std::string::npos);

    const std::string before = ReadFixtureFile(exe);
    WriteFixtureFile(dir / "app.rc", "STRINGTABLE { 1 }\n");
    run = RunBrc32(arguments, bare);
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_EQ(run.lines.size(), 4u);
    EXPECT_EQ(run.lines[3], (dir / "app.rc") + "(1): error: expected string, got }");
    EXPECT_EQ(ReadFixtureFile(exe), before);
}

}  // namespace
}  // namespace brevok

// --help and --version: every program answers them on standard output and ends with 0.
#include "platform/process.h"
#include "rcdriver/message_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brevok {
namespace {

/// The programs a build makes; brevok only with the Qt window (BREVOK_GUI).
std::vector<std::string> BuiltPrograms()
{
    std::vector<std::string> programs = {"brcc32", "brc32", "brevdos"};
#ifdef BREVOK_TEST_WINDOW_PROGRAM
    programs.push_back("brevok");
#endif
    return programs;
}

/// Runs a built program with its standard error dropped, without a display: brevok must
/// answer before it opens one, so DISPLAY is unset and Qt asked for the X11 platform.
ProgramExit RunWithoutDisplay(const std::vector<std::string>& arguments)
{
    std::vector<std::string> argv = {"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY",
                                     "QT_QPA_PLATFORM=xcb", "/bin/sh", "-c", "exec \"$@\" 2>/dev/null", "sh",
                                     std::string(BREVOK_BIN_DIR) + "/" + arguments.front()};
    argv.insert(argv.end(), arguments.begin() + 1, arguments.end());
    return RunAndCapture(argv);
}

TEST(CommandOptions, EveryProgramPrintsItsUsageAndItsVersion)
{
    for (const std::string& program : BuiltPrograms()) {
        SCOPED_TRACE(program);
        const ProgramExit help = RunWithoutDisplay({program, "--help", "ignored"});
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_EQ(help.output.rfind("usage: " + program + " ", 0), 0u) << help.output;
        EXPECT_NE(help.output.find("\n  --version  "), std::string::npos) << help.output;
        EXPECT_EQ(help.output.back(), '\n');

        const ProgramExit version = RunWithoutDisplay({program, "--version"});
        EXPECT_EQ(version.exitCode, 0);
        EXPECT_EQ(version.output, program + " (Brevok Resource Compiler) " + std::string(ToolsVersion()) +
                                      "\nCopyright (c) Halvane. All rights reserved.\n");

        // A full disk is no success.
        const ProgramExit full = RunAndCapture({"/bin/sh", "-c", "exec \"$0\" --version > /dev/full",
                                                std::string(BREVOK_BIN_DIR) + "/" + program});
        EXPECT_EQ(full.exitCode, 1);
    }
}

TEST(CommandOptions, OnlyTheFirstArgumentIsTheProgramsOwn)
{
    // brevdos runs the command with its own options untouched.
    EXPECT_EQ(RunWithoutDisplay({"brevdos", "/usr/bin/printf", "%s|", "--help", "--version"}).output,
              "--help|--version|");
    // A script named after the option is compiled as a script (and is not found).
    const ProgramExit compile = RunWithoutDisplay({"brcc32", "-fo", "out.res", "--help"});
    EXPECT_EQ(compile.exitCode, 1);
    EXPECT_EQ(compile.output.find("usage:"), std::string::npos) << compile.output;
}

}  // namespace
}  // namespace brevok

// --help and --version: every program answers them on standard output and ends with 0.
#include "platform/process.h"
#include "tooloutput/tool_output.h"

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

std::string ProgramPath(const std::string& program)
{
#ifdef _WIN32
    return std::string(BREVOK_BIN_DIR) + "/" + program + ".exe";
#else
    return std::string(BREVOK_BIN_DIR) + "/" + program;
#endif
}

/// Runs a built program; brevok without a display, as it must answer before it opens one:
/// DISPLAY is unset and Qt asked for the X11 platform, which then fails loudly.
ProgramExit RunProgram(const std::string& program, const std::vector<std::string>& arguments)
{
    std::vector<std::string> argv = {ProgramPath(program)};
    if (program == "brevok")
        argv = {"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM=xcb", argv[0]};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return RunAndCapture(argv);
}

std::string VersionText(const std::string& program)
{
    return program + " (Brevok Resource Compiler) " + std::string(ToolsVersion()) +
        "\nCopyright (c) Halvane. All rights reserved.\n";
}

TEST(CommandOptions, EveryProgramPrintsItsUsageAndItsVersion)
{
    for (const std::string& program : BuiltPrograms()) {
        SCOPED_TRACE(program);
        const ProgramExit help = RunProgram(program, {"--help", "ignored"});
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_EQ(help.output.rfind("usage: " + program + " ", 0), 0u) << help.output;
        EXPECT_NE(help.output.find("\n  --version  "), std::string::npos) << help.output;
        EXPECT_EQ(help.output.back(), '\n');

        const ProgramExit version = RunProgram(program, {"--version"});
        EXPECT_EQ(version.exitCode, 0);
        EXPECT_EQ(version.output, VersionText(program));
#ifndef _WIN32
        // A full disk is no success.
        const ProgramExit full =
            RunAndCapture({"/bin/sh", "-c", "exec \"$0\" --version > /dev/full", ProgramPath(program)});
        EXPECT_EQ(full.exitCode, 1);
#endif
    }
}

TEST(CommandOptions, RcHelpFormsAndNoLogo)
{
    // rc.exe's help forms; Meson takes a resource compiler whose /? names rc.exe's kind.
    for (const std::string option : {"/?", "-?", "/h", "-H"}) {
        const ProgramExit help = RunProgram("brcc32", {option});
        EXPECT_EQ(help.exitCode, 0) << option;
        EXPECT_EQ(help.output.rfind("usage: brcc32 ", 0), 0u) << option;
        EXPECT_NE(help.output.find("Microsoft Windows Resource Compiler (rc.exe)"), std::string::npos);
    }
    const ProgramExit quiet = RunProgram("brcc32", {"/nologo", "-###", "/fo", "x.res", "app.rc"});
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.output.find(std::string(BannerLines("brcc32")[0])), std::string::npos) << quiet.output;
    const ProgramExit banner = RunProgram("brcc32", {"-###", "/fo", "x.res", "app.rc"});
    EXPECT_EQ(banner.output.rfind(std::string(BannerLines("brcc32")[0]), 0), 0u) << banner.output;
}

TEST(CommandOptions, OnlyTheFirstArgumentIsTheProgramsOwn)
{
    // brevdos passes the options after the command on to it.
    const ProgramExit run = RunProgram("brevdos", {"brcc32", "--version"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, VersionText("brcc32"));
    // A script named after the option is compiled as a script (and is not found).
    const ProgramExit compile = RunProgram("brcc32", {"-fo", "out.res", "--help"});
    EXPECT_EQ(compile.exitCode, 1);
    EXPECT_EQ(compile.output.find("usage:"), std::string::npos) << compile.output;
}

}  // namespace
}  // namespace brevok

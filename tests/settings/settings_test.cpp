// Loading and saving the settings over the registry file store.
#include "settings/settings.h"

#include "rules/errors.h"
#include "platform/files.h"
#include "registry/registry_file.h"
#include "support/save_faults.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace brevok;
using brevok::testing::ErrorText;
using brevok::testing::FaultyWriteLayer;
using brevok::testing::ScratchFolder;

namespace {

constexpr PathStyle W = PathStyle::Windows;

// A store whose BrevComp key holds `values`, given as REGEDIT4 value lines.
std::string StoreWith(const ScratchFolder& dir, const std::string& values)
{
    return dir.Write("registry.reg", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Halvane\\BrevComp]\r\n" + values);
}

TSettings Load(const std::string& path, PathStyle style = W)
{
    RegistryFile registry(path);
    TSettings settings;
    LoadSettings(registry, settings, style);
    return settings;
}

}  // namespace

TEST(Settings, AFirstRunGivesTheDefaults)
{
    const ScratchFolder dir;
    const TSettings s = Load(dir / "registry.reg");
    EXPECT_EQ(s.WorkingFolder, "nodir");
    EXPECT_EQ(s.ScriptPath, "");
    EXPECT_EQ(s.ExePath, "");
    EXPECT_EQ(s.CompilerPath, "none");
    EXPECT_FALSE(s.StartWithLast);
    EXPECT_FALSE(s.ShowProgress);
    EXPECT_EQ(s.BatchPath, "nodir\\Temp.bat");
    EXPECT_EQ(s.LineCount, 0);
    EXPECT_EQ(Load(dir / "registry.reg", PathStyle::Posix).BatchPath, "nodir/Temp.bat");

    // So does a store that cannot be read (a hand-written single backslash), and the user is
    // told where it went.
    const std::string path = StoreWith(dir, "\"Install\"=\"C:\\W\"\r\n");
    RegistryFile registry(path);
    TSettings fromBad;
    LoadSettings(registry, fromBad, W);
    EXPECT_EQ(fromBad.WorkingFolder, "nodir");
    EXPECT_NE(registry.TakeNotice().find(path + " could not be read (line 4: a backslash"), std::string::npos);
}

TEST(Settings, WhatOneRunSavesTheNextReadsBack)
{
    const ScratchFolder dir;
    const std::string path = dir / "registry.reg";
    TSettings saved;
    saved.WorkingFolder = "C:\\Work \"Dir\"\\";
    saved.ScriptPath = "C:\\Scripts\\caf\xc3\xa9 \xff.rc";  // bytes, not necessarily valid text
    saved.ExePath = "";
    saved.CompilerPath = "/usr/bin/brcc32";
    saved.StartWithLast = true;
    saved.ShowProgress = false;
    saved.BatchPath = "C:\\Scripts\\Temp.bat";
    saved.LineCount = -2147483647 - 1;
    {
        RegistryFile registry(path);
        SaveSettings(registry, saved);
    }
    const TSettings read = Load(path);
    EXPECT_EQ(read.WorkingFolder, saved.WorkingFolder);
    EXPECT_EQ(read.ScriptPath, saved.ScriptPath);
    EXPECT_EQ(read.ExePath, "");
    EXPECT_EQ(read.CompilerPath, saved.CompilerPath);
    EXPECT_TRUE(read.StartWithLast);
    EXPECT_FALSE(read.ShowProgress);
    EXPECT_EQ(read.BatchPath, saved.BatchPath);
    EXPECT_EQ(read.LineCount, saved.LineCount);

    // Every value is a REG_SZ text, in the stored order, the empty one included.
    const std::string text = ReadFileBytes(path);
    const std::vector<std::string> lines = {"\"Install\"=\"C:\\\\Work \\\"Dir\\\"\\\\\"",
                                            "\".RC\"=",
                                            "\".EXE\"=\"\"",
                                            "\"Compiler\"=",
                                            "\"Last\"=\"1\"",
                                            "\"SP\"=\"0\"",
                                            "\"Batch\"=",
                                            "\"Count\"=\"-2147483648\""};
    std::size_t at = 0;
    for (const auto& line : lines) {
        at = text.find("\n" + line, at);
        ASSERT_NE(at, std::string::npos) << line << "\n" << text;
    }
}

TEST(Settings, AValueOfAnotherTypeStopsLoadingThere)
{
    const ScratchFolder dir;
    const std::string path =
        StoreWith(dir, "\"Install\"=\"C:\\\\W\"\r\n\"Compiler\"=\"cc\"\r\n\"Count\"=dword:00000005\r\n");
    TSettings s;
    s.LineCount = 99;
    RegistryFile registry(path);
    EXPECT_EQ(ErrorText([&] { LoadSettings(registry, s, W); }), "Invalid data type for 'Count'");
    EXPECT_EQ(s.WorkingFolder, "C:\\W");
    EXPECT_EQ(s.CompilerPath, "cc");
    EXPECT_EQ(s.BatchPath, "C:\\W\\Temp.bat");
    EXPECT_EQ(s.LineCount, 99);

    const std::string early = StoreWith(dir, "\"Install\"=\"C:\\\\W\"\r\n\".EXE\"=hex:41,00\r\n");
    TSettings t;
    RegistryFile again(early);
    EXPECT_EQ(ErrorText([&] { LoadSettings(again, t, W); }), "Invalid data type for '.EXE'");
    EXPECT_EQ(t.WorkingFolder, "C:\\W");
    EXPECT_EQ(t.CompilerPath, "");  // after the failing value: its start value
    EXPECT_EQ(t.BatchPath, "");
}

TEST(Settings, TextsAndNumbersAreReadAsStored)
{
    const ScratchFolder dir;
    // Expandable texts are not expanded; the Batch default follows Install with exactly one
    // final separator.
    TSettings s = Load(StoreWith(dir, "\"Install\"=hex(2):25,48,4f,4d,45,25,5c,00\r\n\"Compiler\"=\"\"\r\n"));
    EXPECT_EQ(s.WorkingFolder, "%HOME%\\");
    EXPECT_EQ(s.BatchPath, "%HOME%\\Temp.bat");
    EXPECT_EQ(s.CompilerPath, "");  // present but empty: not the default
    EXPECT_EQ(Load(StoreWith(dir, "\"Install\"=\"C:\\\\W\"\r\n")).BatchPath, "C:\\W\\Temp.bat");
    EXPECT_EQ(Load(StoreWith(dir, "\"Install\"=\"C:\\\\W\\\\\\\\\"\r\n")).BatchPath, "C:\\W\\\\Temp.bat");
    EXPECT_EQ(Load(StoreWith(dir, "\"Install\"=\"/w\"\r\n"), PathStyle::Posix).BatchPath, "/w/Temp.bat");
    EXPECT_EQ(Load(StoreWith(dir, "\"Batch\"=\"B\"\r\n")).BatchPath, "B");
    // A text stored without its NUL, or with one inside, ends at the first NUL.
    EXPECT_EQ(Load(StoreWith(dir, "\"SP\"=hex(1):31\r\n\".RC\"=hex(1):61,00,62,00\r\n")).ScriptPath, "a");

    const std::vector<std::pair<std::string, std::int32_t>> counts = {{"12", 12},
                                                                      {"-7", -7},
                                                                      {"0", 0},
                                                                      {"+5", 5},
                                                                      {"", 0},
                                                                      {"abc", 0},
                                                                      {"12a", 0},
                                                                      {" 5", 0},
                                                                      {"2147483647", 2147483647},
                                                                      {"2147483648", 0},
                                                                      {"-2147483649", 0},
                                                                      {"+-1", 0},
                                                                      {"0x10", 0}};
    for (const auto& [text, expected] : counts)
        EXPECT_EQ(Load(StoreWith(dir, "\"Count\"=\"" + text + "\"\r\n")).LineCount, expected) << text;

    const std::vector<std::pair<std::string, bool>> options = {{"1", true}, {"2", true},   {"-1", true}, {"0", false},
                                                               {"", false}, {"on", false}, {"00", false}};
    for (const auto& [text, expected] : options) {
        const TSettings o = Load(StoreWith(dir, "\"Last\"=\"" + text + "\"\r\n\"SP\"=\"" + text + "\"\r\n"));
        EXPECT_EQ(o.StartWithLast, expected) << text;
        EXPECT_EQ(o.ShowProgress, expected) << text;
    }
}

TEST(Settings, ASaveThatFailsNamesTheValueAndStopsThere)
{
    const ScratchFolder dir;
    const std::string path = dir / "registry.reg";
    TSettings s;
    s.WorkingFolder = "W";
    s.CompilerPath = "C";
    {
        // Nothing can be written: the Software key is missing and cannot be made.
        const FaultyWriteLayer nothing(FaultyWriteLayer::Step::Write, 0);
        RegistryFile registry(path, nothing);
        EXPECT_EQ(ErrorText([&] { SaveSettings(registry, s); }), "Failed to create key Software");
    }
    {
        // Software can be made, the subkey cannot.
        const FaultyWriteLayer once(FaultyWriteLayer::Step::Write, 1);
        RegistryFile registry(path, once);
        EXPECT_EQ(ErrorText([&] { SaveSettings(registry, s); }), "Failed to create key Halvane\\BrevComp");
    }
    {
        // The subkey and the first three values are written, then writes fail.
        const FaultyWriteLayer four(FaultyWriteLayer::Step::Write, 4);
        RegistryFile registry(path, four);
        EXPECT_EQ(ErrorText([&] { SaveSettings(registry, s); }), "Failed to set data for 'Compiler'");
    }
    const TSettings read = Load(path);
    EXPECT_EQ(read.WorkingFolder, "W");
    EXPECT_EQ(read.CompilerPath, "none");  // never written
}

#ifndef _WIN32  // two programs made with fork
TEST(Settings, TwoProgramsSavingAtOnceLoseNothing)
{
    const ScratchFolder dir;
    const std::string path = dir / "registry.reg";
    constexpr int kRounds = 10;
    const auto child = [&](int which) {
        const pid_t pid = fork();
        if (pid != 0)
            return pid;
        bool ok = true;
        RegistryFile registry(path);
        for (int round = 0; round < kRounds && ok; ++round) {
            if (which == 0) {
                TSettings s;
                s.LineCount = round;
                try {
                    SaveSettings(registry, s);
                } catch (const Error&) {
                    ok = false;
                }
            } else {
                const auto key = registry.CreateUserKey("Software\\Other\\Tool");
                ok = key && key->WriteString("v" + std::to_string(round), "x");
            }
        }
        _exit(ok ? 0 : 1);
    };
    const pid_t a = child(0);
    const pid_t b = child(1);
    for (const pid_t pid : {a, b}) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(Load(path).LineCount, kRounds - 1);
    const auto other = RegistryFile(path).OpenUserKey("Software\\Other\\Tool");
    ASSERT_NE(other, nullptr);
    for (int round = 0; round < kRounds; ++round)
        EXPECT_TRUE(other->QueryValue("v" + std::to_string(round))) << round;
}
#endif

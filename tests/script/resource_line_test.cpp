// The extension table, the resource-name rule and the resource line, in both path styles.
#include "script/resource_line.h"

#include <gtest/gtest.h>

#include <string>

using namespace brevok;

TEST(ResourceType, ExtensionIsTheLastDotAfterTheLastSeparatorUpperCased)
{
    constexpr auto W = PathStyle::Windows;
    EXPECT_EQ(ResourceTypeForPath("C:\\Art\\logo.bmp", W), "BITMAP");
    EXPECT_EQ(ResourceTypeForPath("C:\\Art\\pic.Bmp.txt", W), "RCDATA");
    EXPECT_EQ(ResourceTypeForPath("C:\\my.files\\readme", W), "RCDATA");
    EXPECT_EQ(ResourceTypeForPath("C:\\my.bmp\\readme", W), "RCDATA");
    EXPECT_EQ(ResourceTypeForPath("C:logo.BMP", W), "BITMAP");
    EXPECT_EQ(ResourceTypeForPath("C:\\Art\\photo.jpg", W), "RCDATA");
    EXPECT_EQ(ResourceTypeForPath("C:\\Art\\bmp", W), "RCDATA");
    EXPECT_EQ(ResourceTypeForPath("C:\\Art\\trailing.", W), "RCDATA");

    constexpr auto P = PathStyle::Posix;
    EXPECT_EQ(ResourceTypeForPath("/art/logo.bmp", P), "BITMAP");
    EXPECT_EQ(ResourceTypeForPath("/my.files/readme", P), "RCDATA");
    EXPECT_EQ(ResourceTypeForPath("/my.bmp/readme", P), "RCDATA");
    // On POSIX a backslash is part of the name, so the dot before it still starts the
    // extension ".bmp\x" which names no row.
    EXPECT_EQ(ResourceTypeForPath("/art/a.bmp\\x", P), "RCDATA");
    EXPECT_EQ(ResourceTypeForPath("/art/a\\x.bmp", P), "BITMAP");
}

TEST(ResourceType, EveryRowOfTheTableInAnyCase)
{
    for (const auto style : {PathStyle::Windows, PathStyle::Posix}) {
        const std::string folder = style == PathStyle::Windows ? "C:\\Media\\" : "/media/";
        EXPECT_EQ(ResourceTypeForPath(folder + "a.bmp", style), "BITMAP");
        EXPECT_EQ(ResourceTypeForPath(folder + "a.Ico", style), "ICON");
        EXPECT_EQ(ResourceTypeForPath(folder + "a.CUR", style), "CURSOR");
        EXPECT_EQ(ResourceTypeForPath(folder + "clip.wav", style), "WAVE");
        EXPECT_EQ(ResourceTypeForPath(folder + "tune.mid", style), "MIDI");
        EXPECT_EQ(ResourceTypeForPath(folder + "movie.avi", style), "AVI");
        EXPECT_EQ(ResourceTypeForPath(folder + "script.rc", style), "RCDATA");
    }
}

TEST(ResourceType, UpperCasingTouchesAsciiLettersOnly)
{
    // Only a-z are upper-cased: a dotless i (UTF-8 C4 B1) does not make ".mid".
    EXPECT_EQ(ResourceTypeForPath("/x/a.m\xC4\xB1"
                                  "d",
                                  PathStyle::Posix),
              "RCDATA");
}

TEST(ResourceName, AcceptsOneTo255AsciiLettersDigitsAndUnderscores)
{
    for (const char* name : {"Logo_2", "ICON1", "100", "_", "a", "Zz9_"})
        EXPECT_TRUE(IsValidResourceName(name)) << name;
    EXPECT_TRUE(IsValidResourceName(std::string(255, 'N')));

    for (const char* name :
         {"", "Logo-2", "Logo 2", "logo.bmp", "Caf\xC3\xA9", "Caf\xE9", " x", "x\t", "a\"b", "C:\\x", "a/b"})
        EXPECT_FALSE(IsValidResourceName(name)) << name;
    EXPECT_FALSE(IsValidResourceName(std::string(256, 'N')));
    EXPECT_FALSE(IsValidResourceName(std::string_view("ab\0c", 4)));
}

TEST(ResourceLine, NameTypeAndQuotedPathWrittenUnchanged)
{
    EXPECT_EQ(BuildResourceLine("Splash", "BITMAP", "C:\\Art\\Splash Screen.bmp"),
              "Splash BITMAP \"C:\\Art\\Splash Screen.bmp\"");
    EXPECT_EQ(BuildResourceLine("logo", "RCDATA", "/home/u/My Pictures/logo  2"),
              "logo RCDATA \"/home/u/My Pictures/logo  2\"");
    EXPECT_EQ(BuildResourceLine("N", "ICON", "\\\\server\\share\\a.ico"), "N ICON \"\\\\server\\share\\a.ico\"");
}

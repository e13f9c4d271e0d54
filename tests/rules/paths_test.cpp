// Path rules in both styles.
#include "rules/paths.h"

#include <gtest/gtest.h>

using namespace brevok;

TEST(PathRules, WindowsStyleFolderAndExtension)
{
    constexpr auto W = PathStyle::Windows;
    EXPECT_EQ(FolderPart("C:\\my.files\\readme", W), "C:\\my.files\\");
    EXPECT_EQ(ExtensionOf("C:\\my.files\\readme", W), "");
    EXPECT_EQ(FolderPart("C:logo.bmp", W), "C:");
    EXPECT_EQ(FilePart("C:logo.bmp", W), "logo.bmp");
    EXPECT_EQ(ExtensionOf("pic.Bmp.txt", W), ".txt");
    EXPECT_EQ(ExtensionOf("C:\\a\\logo.bmp", W), ".bmp");
    EXPECT_EQ(FolderPart("readme", W), "");
    EXPECT_EQ(ReplaceExtension("C:\\dir\\app.rc", ".res", W), "C:\\dir\\app.res");
    EXPECT_EQ(ReplaceExtension("C:\\my.files\\readme", ".txt", W), "C:\\my.files\\readme.txt");
    EXPECT_EQ(ReplaceExtension("C:\\dir\\app.manifest.rc", ".txt", W), "C:\\dir\\app.manifest.txt");
}

TEST(PathRules, PosixStyleFolderAndExtension)
{
    constexpr auto P = PathStyle::Posix;
    EXPECT_EQ(FolderPart("/my.files/readme", P), "/my.files/");
    EXPECT_EQ(ExtensionOf("/my.files/readme", P), "");
    EXPECT_EQ(ExtensionOf("pic.Bmp.txt", P), ".txt");
    // A colon or backslash is an ordinary character on POSIX.
    EXPECT_EQ(FolderPart("C:logo.bmp", P), "");
    EXPECT_EQ(FolderPart("/a/b\\c.d", P), "/a/");
    EXPECT_EQ(ReplaceExtension("/home/u/app.rc", ".res", P), "/home/u/app.res");
}

TEST(PathRules, EnsureTrailingBackslashLooksAtTheLastCharacterOnly)
{
    constexpr auto W = PathStyle::Windows;
    EXPECT_EQ(EnsureTrailingBackslash("", W), "\\");
    EXPECT_EQ(EnsureTrailingBackslash("nodir", W), "nodir\\");
    EXPECT_EQ(EnsureTrailingBackslash("C:\\x\\", W), "C:\\x\\");
    EXPECT_EQ(EnsureTrailingBackslash("C:\\x\\\\", W), "C:\\x\\\\");
    EXPECT_EQ(EnsureTrailingBackslash("C:", W), "C:\\");
    EXPECT_EQ(EnsureTrailingBackslash("", PathStyle::Posix), "/");
    EXPECT_EQ(EnsureTrailingBackslash("/tmp", PathStyle::Posix), "/tmp/");
    EXPECT_EQ(EnsureTrailingBackslash("/tmp/", PathStyle::Posix), "/tmp/");
}

TEST(SearchLists, EveryEntryAnEmptyOneToo)
{
    const std::string s(1, kSearchPathSeparator);
    const struct {
        std::string list;
        std::vector<std::string> entries;
    } cases[] = {
        {"", {""}},
        {"a", {"a"}},
        {"a" + s + "b", {"a", "b"}},
        {s + "a", {"", "a"}},
        {"a" + s, {"a", ""}},
        {"a" + s + s + "b", {"a", "", "b"}},
        {s, {"", ""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitSearchList(c.list), c.entries) << c.list;
}

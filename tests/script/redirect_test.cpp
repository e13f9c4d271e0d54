// Re-direct of path lines into the working folder, in both path styles.
#include "script/redirect.h"

#include "script/script_document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace brevok;

namespace {

constexpr auto W = PathStyle::Windows;
constexpr auto P = PathStyle::Posix;

std::string Redirected(std::string_view line, std::string_view folder, PathStyle style)
{
    return RedirectPathLine(line, folder, style).value_or("<unchanged>");
}

}  // namespace

TEST(RedirectPathLine, WindowsPathLinesPointIntoTheWorkingFolder)
{
    EXPECT_EQ(Redirected("Splash BITMAP \"C:\\Art\\Splash Screen.bmp\"", "D:\\Build\\", W),
              "Splash BITMAP \"D:\\Build\\Splash Screen.bmp\"");
    EXPECT_EQ(Redirected("Logo BITMAP \"C:logo.bmp\"", "D:\\Build\\", W), "Logo BITMAP \"D:\\Build\\logo.bmp\"");
    EXPECT_EQ(Redirected("Logo BITMAP \"C:\\a\\logo.bmp\" // the logo", "D:\\Build\\", W),
              "Logo BITMAP \"D:\\Build\\logo.bmp\" // the logo");
    EXPECT_EQ(Redirected("Logo BITMAP \"C:\\a\\logo.bmp\"", "nodir\\", W), "Logo BITMAP \"nodir\\logo.bmp\"");
    // A path that is never closed still counts; its file part runs to the end of the line.
    EXPECT_EQ(Redirected("Logo BITMAP \"C:\\a\\logo.bmp", "D:\\B\\", W), "Logo BITMAP \"D:\\B\\logo.bmp");
    // The working folder is used exactly as held, even when it lacks the trailing separator.
    EXPECT_EQ(Redirected("Logo BITMAP \"C:\\a\\logo.bmp\"", "", W), "Logo BITMAP \"logo.bmp\"");
}

TEST(RedirectPathLine, PosixPathLinesPointIntoTheWorkingFolder)
{
    EXPECT_EQ(Redirected("Splash BITMAP \"/home/u/Art/Splash Screen.bmp\"", "/srv/build/", P),
              "Splash BITMAP \"/srv/build/Splash Screen.bmp\"");
    EXPECT_EQ(Redirected("Logo BITMAP \"/a/logo.bmp\" ; the logo", "/srv/build/", P),
              "Logo BITMAP \"/srv/build/logo.bmp\" ; the logo");
    const std::string once = Redirected("Logo BITMAP \"/a/logo.bmp\" ; x", "nodir/", P);
    EXPECT_EQ(once, "Logo BITMAP \"nodir/logo.bmp\" ; x");
    EXPECT_EQ(Redirected(once, "nodir/", P), once);
    // Backslashes and colons are ordinary name characters on POSIX.
    EXPECT_EQ(Redirected("Logo BITMAP \"/a/C:lo\\go.bmp\"", "/b/", P), "Logo BITMAP \"/b/C:lo\\go.bmp\"");
}

TEST(RedirectPathLine, LinesThatAreNotPathLinesStayUnchanged)
{
    const char* windows[] = {
        "",
        "BEGIN",
        "1 ICON C:\\a\\x.ico",                           // no double quote
        "Logo BITMAP \"logo.bmp\"",                      // no separator inside the path
        "Logo BITMAP \"C:\\a\\logo.bmp\" // see C:\\x",  // separator after the closing quote
        "  IDS_X, \"Hello\" \"C:\\a\\b.bmp\"",           // first quoted item is not the path
        "C:\\a\\b.bmp \"quoted\"",                       // separator before the first quote
        "\"",
    };
    for (const char* line : windows)
        EXPECT_FALSE(RedirectPathLine(line, "D:\\Build\\", W)) << line;

    const char* posix[] = {
        "1 ICON /a/x.ico",
        "Logo BITMAP \"C:\\a\\logo.bmp\"",  // Windows separators mean nothing on POSIX
        "Logo BITMAP \"/a/logo.bmp\" // a comment's slashes are separators too",
        "  IDS_X, \"Hello\" \"/a/b.bmp\"",
    };
    for (const char* line : posix)
        EXPECT_FALSE(RedirectPathLine(line, "/srv/build/", P)) << line;
}

TEST(RedirectScriptPaths, RewritesPathLinesOnlyAndTwiceEqualsOnce)
{
    ScriptDocument document;
    document.Reset({
        "#include \"C:\\inc\\ids.h\"",
        "Splash BITMAP \"C:\\Art\\Splash Screen.bmp\"",
        "STRINGTABLE",
        "BEGIN",
        "  1, \"Hello\" // C:\\x",
        "END",
        "",
        "Logo ICON \"C:logo.ico\" // main icon",
        "Data RCDATA \"D:\\Build\\data.bin\"",
    });
    std::vector<std::size_t> replaced;
    document.AddListener([&](const ScriptChange& change) {
        if (change.kind == ScriptChange::Kind::Replaced)
            replaced.push_back(change.index);
    });

    EXPECT_EQ(RedirectScriptPaths(document, "D:\\Build\\", W), 3u);
    const std::vector<std::string> once = {
        "#include \"D:\\Build\\ids.h\"",
        "Splash BITMAP \"D:\\Build\\Splash Screen.bmp\"",
        "STRINGTABLE",
        "BEGIN",
        "  1, \"Hello\" // C:\\x",
        "END",
        "",
        "Logo ICON \"D:\\Build\\logo.ico\" // main icon",
        "Data RCDATA \"D:\\Build\\data.bin\"",
    };
    EXPECT_EQ(document.Lines(), once);
    // The line already in the folder is not replaced, so nobody hears of a change to it.
    EXPECT_EQ(replaced, (std::vector<std::size_t>{0, 1, 7}));
    EXPECT_TRUE(document.Modified());

    replaced.clear();
    EXPECT_EQ(RedirectScriptPaths(document, "D:\\Build\\", W), 0u);
    EXPECT_EQ(document.Lines(), once);
    EXPECT_TRUE(replaced.empty());

    // A new working folder moves the same lines again.
    EXPECT_EQ(RedirectScriptPaths(document, "E:\\Out Dir\\", W), 4u);
    EXPECT_EQ(document.Line(1), "Splash BITMAP \"E:\\Out Dir\\Splash Screen.bmp\"");
    EXPECT_EQ(document.Line(4), "  1, \"Hello\" // C:\\x");
    EXPECT_EQ(document.Line(8), "Data RCDATA \"E:\\Out Dir\\data.bin\"");
}

TEST(RedirectScriptPaths, EmptyScriptStaysEmptyAndUnmodified)
{
    ScriptDocument empty;
    EXPECT_EQ(RedirectScriptPaths(empty, "/srv/build/", P), 0u);
    EXPECT_TRUE(empty.Empty());
    EXPECT_FALSE(empty.Modified());
}

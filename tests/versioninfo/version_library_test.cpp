// The version library's Windows contract (sizes, buffers, queries, UTF-8 text) and the
// choice among several version resources of one file.
#include "versioninfo/version_library.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "versioninfo/version_blocks.h"
#include "versioninfo/version_resource.h"

namespace brevok {
namespace {

using namespace version_fixtures;
using fixtures::BuildPe;
using fixtures::FixtureDir;

const FileVersionLibrary kLibrary;

std::string QueryText(std::vector<std::uint8_t>& block, const std::string& path)
{
    void* value = nullptr;
    std::uint32_t length = 0;
    return kLibrary.VerQueryValueA(block.data(), path, &value, &length) ? static_cast<const char*>(value) : "<none>";
}

TEST(VersionLibrary, FillsAndQueriesABlockAsWindowsDoes)
{
    // Every string holds characters that take three bytes in UTF-8 where they take two in
    // UTF-16, which fills the room for the conversions to its limit.
    Strings16 strings = EightStrings();
    for (auto& [key, text] : strings)
        text = u"\u2603\u2603\u2603" + key;
    FixtureDir dir;
    const std::string program = BuildPe(dir.path(), "prog", RawVersionScript(Serialize(VersionInfo(strings))));
    const auto resource = ReadVersionResource(program);
    ASSERT_TRUE(resource) << resource.error;
    const std::uint32_t size = kLibrary.GetFileVersionInfoSizeA(program);
    EXPECT_EQ(size, 3 * ((resource->size() + 3) / 4 * 4) + 4);

    std::vector<std::uint8_t> block(size, 0xCC);
    EXPECT_FALSE(kLibrary.GetFileVersionInfoA(program, size - 1, block.data()));
    EXPECT_EQ(block[0], 0xCC) << "nothing written into a short buffer";
    ASSERT_TRUE(kLibrary.GetFileVersionInfoA(program, size, block.data()));
    EXPECT_EQ(std::memcmp(block.data(), resource->data(), resource->size()), 0);

    void* value = nullptr;
    std::uint32_t length = 0;
    ASSERT_TRUE(kLibrary.VerQueryValueA(block.data(), "\\", &value, &length));
    EXPECT_EQ(length, 52u);
    EXPECT_EQ(std::memcmp(value, "\xBD\x04\xEF\xFE", 4), 0);
    ASSERT_TRUE(kLibrary.VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
    EXPECT_EQ(length, 4u);
    EXPECT_EQ(std::memcmp(value, "\x09\x08\xE4\x04", 4), 0);
    ASSERT_TRUE(kLibrary.VerQueryValueA(block.data(), "\\StringFileInfo\\080904E4\\FileVersion", &value, &length));
    EXPECT_EQ(length, 15u) << "characters as stored, the terminator included";
    const char* first = static_cast<const char*>(value);
    EXPECT_TRUE(first > reinterpret_cast<char*>(block.data()) && first < reinterpret_cast<char*>(&block.back()));
    // Each later conversion leaves the texts handed out before as they were.
    for (const auto& [key, text] : EightStrings()) {
        const std::string name(key.begin(), key.end());
        EXPECT_EQ(QueryText(block, "\\StringFileInfo\\080904E4\\" + name), "\u2603\u2603\u2603" + name);
    }
    EXPECT_STREQ(first, "\u2603\u2603\u2603FileVersion");

    length = 99;
    EXPECT_FALSE(kLibrary.VerQueryValueA(block.data(), "\\StringFileInfo\\080904E4\\Comments", &value, &length));
    EXPECT_EQ(length, 0u);
    // A block it did not fill has no room known for conversions: text is refused.
    std::vector<std::uint8_t> raw(resource->begin(), resource->end());
    raw.resize(raw.size() * 4);
    EXPECT_EQ(QueryText(raw, "\\StringFileInfo\\080904E4\\FileVersion"), "<none>");
}

TEST(VersionLibrary, ReportsNothingForFilesWithoutVersionInformation)
{
    FixtureDir dir;
    fixtures::WriteFixtureFile(dir / "text.txt", "hello\n");
    fixtures::WriteFixtureFile(dir / "mz.exe", "MZ");
    for (const std::string& path : {dir / "text.txt", dir / "mz.exe", dir / "missing", dir.path()}) {
        EXPECT_EQ(kLibrary.GetFileVersionInfoSizeA(path), 0u) << path;
        std::vector<std::uint8_t> block(1024);
        EXPECT_FALSE(kLibrary.GetFileVersionInfoA(path, 1024, block.data())) << path;
    }
    EXPECT_EQ(ReadVersionResource(dir / "text.txt").error, "neither a PE nor an ELF file");
    EXPECT_EQ(ReadVersionResource(dir / "missing").error, "cannot open the file");
    EXPECT_EQ(ReadVersionResource(BuildPe(dir.path(), "bare", "")).error, "no resources");
}

TEST(VersionLibrary, PicksName1ThenUsEnglishThenNeutralThenTheFirstLanguage)
{
    // Each resource's FileVersion says which one it is.
    const auto resource = [](const std::string& language, const std::string& which, const std::string& name = "1") {
        return "LANGUAGE " + language + "\n" +
            VersionScript({{"080904E4", {{"FileVersion", which}}}}, "0x0809, 0x04E4", name + " VERSIONINFO");
    };
    const struct {
        std::string script;
        std::string picked;
    } cases[] = {
        {resource("0, 0", "neutral") + resource("9, 1", "us") + resource("9, 2", "uk"), "us"},
        {resource("9, 2", "uk") + resource("0, 0", "neutral"), "neutral"},
        {resource("9, 2", "uk") + resource("7, 1", "german"), "german"},  // languages ascend in the directory
        {resource("9, 1", "two", "2") + resource("9, 2", "one", "1"), "one"},
        {resource("9, 2", "three", "3") + resource("9, 2", "two", "2"), "two"},
    };
    FixtureDir dir;
    int n = 0;
    for (const auto& c : cases) {
        const std::string program = BuildPe(dir.path(), "pick" + std::to_string(n++), c.script);
        std::vector<std::uint8_t> block(kLibrary.GetFileVersionInfoSizeA(program));
        ASSERT_TRUE(kLibrary.GetFileVersionInfoA(program, static_cast<std::uint32_t>(block.size()), block.data()));
        EXPECT_EQ(QueryText(block, "\\StringFileInfo\\080904E4\\FileVersion"), c.picked);
    }
}

}  // namespace
}  // namespace brevok

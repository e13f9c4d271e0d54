// The version library's Windows contract: sizes, buffers, queries, and which version
// resource of a file it takes.
#include "components/version_library.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "components/version_blocks.h"
#include "components/version_files.h"
#include "components/version_resource.h"
#include "support/pe_fixtures.h"

namespace brevok {
namespace {

using fixtures::BuildPe;
using fixtures::FixtureDir;
using version_fixtures::EightKeys;
using version_fixtures::UkScript;
using version_fixtures::VersionScript;

/// Reads the version block of `path` into a buffer of the reported size.
std::vector<std::uint8_t> Fill(const VersionLibrary& library, const std::string& path) {
    const std::uint32_t size = library.GetFileVersionInfoSizeA(path);
    std::vector<std::uint8_t> block(size);
    if (size == 0 || !library.GetFileVersionInfoA(path, size, block.data()))
        block.clear();
    return block;
}

std::string QueryText(const VersionLibrary& library, std::vector<std::uint8_t>& block, const std::string& path) {
    void* value = nullptr;
    std::uint32_t length = 0;
    if (!library.VerQueryValueA(block.data(), path, &value, &length))
        return "<none>";
    return static_cast<const char*>(value);
}

TEST(VersionLibrary, FillsAndQueriesABlockAsWindowsDoes) {
    FixtureDir dir;
    const std::string program = BuildPe(dir.path(), "prog", UkScript(EightKeys()));
    const FileVersionLibrary library;

    const auto resource = ReadVersionResource(program);
    ASSERT_TRUE(resource) << resource.error;
    const std::uint32_t size = library.GetFileVersionInfoSizeA(program);
    const std::size_t aligned = (resource->size() + 3) / 4 * 4;
    EXPECT_EQ(size, 3 * aligned + 4) << "the block, the mark and room for the conversions";

    std::vector<std::uint8_t> block(size, 0xCC);
    EXPECT_FALSE(library.GetFileVersionInfoA(program, size - 1, block.data()));
    EXPECT_EQ(block[0], 0xCC) << "nothing written into a short buffer";
    ASSERT_TRUE(library.GetFileVersionInfoA(program, size, block.data()));
    EXPECT_EQ(std::memcmp(block.data(), resource->data(), resource->size()), 0);

    void* value = nullptr;
    std::uint32_t length = 0;
    ASSERT_TRUE(library.VerQueryValueA(block.data(), "\\", &value, &length));
    EXPECT_EQ(length, 52u);
    std::uint32_t signature = 0;
    std::memcpy(&signature, value, 4);
    EXPECT_EQ(signature, 0xFEEF04BDu);

    ASSERT_TRUE(library.VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
    EXPECT_EQ(length, 4u);
    EXPECT_EQ(std::memcmp(value, "\x09\x08\xE4\x04", 4), 0);

    ASSERT_TRUE(library.VerQueryValueA(block.data(), "\\StringFileInfo\\080904E4\\FileVersion", &value, &length));
    EXPECT_EQ(length, 8u) << "characters as stored, terminator included";
    const char* fileVersion = static_cast<const char*>(value);
    EXPECT_STREQ(fileVersion, "2.3.4.5");
    EXPECT_GE(static_cast<const std::uint8_t*>(value), block.data());
    EXPECT_LT(static_cast<const std::uint8_t*>(value), block.data() + block.size());

    // Every other string converted afterwards leaves the first one as it was.
    for (const auto& [key, expected] : EightKeys())
        EXPECT_EQ(QueryText(library, block, "\\StringFileInfo\\080904E4\\" + key), expected);
    EXPECT_STREQ(fileVersion, "2.3.4.5");

    value = &block;
    length = 99;
    EXPECT_FALSE(library.VerQueryValueA(block.data(), "\\StringFileInfo\\080904E4\\Comments", &value, &length));
    EXPECT_EQ(length, 0u);
}

TEST(VersionLibrary, ConvertsTextToUtf8WithinItsBlock) {
    FixtureDir dir;
    // Characters that take three bytes in UTF-8 where they take two in UTF-16, in every
    // string, fill the conversion room to its limit.
    const std::u16string wide(7, u'\u2603');
    auto strings = version_fixtures::EightStrings();
    for (auto& kv : strings)
        kv.second = wide + kv.first;
    const std::string block = version_fixtures::Serialize(version_fixtures::VersionInfo({{u"080904E4", strings}}, {}));
    const std::string program = BuildPe(dir.path(), "wide", version_fixtures::RawVersionScript(block));
    const FileVersionLibrary library;
    std::vector<std::uint8_t> filled = Fill(library, program);
    ASSERT_FALSE(filled.empty());
    const std::string snowmen = "\u2603\u2603\u2603\u2603\u2603\u2603\u2603";
    for (const auto& [key, expected] : EightKeys())
        EXPECT_EQ(QueryText(library, filled, "\\StringFileInfo\\080904E4\\" + key), snowmen + key);
}

TEST(VersionLibrary, RefusesTextQueriesOnBlocksItDidNotFill) {
    FixtureDir dir;
    const std::string program = BuildPe(dir.path(), "prog", UkScript(EightKeys()));
    const auto resource = ReadVersionResource(program);
    ASSERT_TRUE(resource);
    // The raw resource with room after it, but without the mark: no room is known to be there.
    std::vector<std::uint8_t> raw(resource->begin(), resource->end());
    raw.resize(raw.size() * 4);
    const FileVersionLibrary library;
    void* value = nullptr;
    std::uint32_t length = 0;
    EXPECT_FALSE(library.VerQueryValueA(raw.data(), "\\StringFileInfo\\080904E4\\FileVersion", &value, &length));
    EXPECT_TRUE(library.VerQueryValueA(raw.data(), "\\VarFileInfo\\Translation", &value, &length));
}

TEST(VersionLibrary, ReportsNothingForFilesWithoutVersionInformation) {
    FixtureDir dir;
    const FileVersionLibrary library;
    fixtures::WriteFixtureFile(dir / "text.txt", "hello\n");
    fixtures::WriteFixtureFile(dir / "mz.exe", "MZ");
    for (const std::string& path : {dir / "text.txt", dir / "mz.exe", dir / "missing", dir.path(),
                                    BuildPe(dir.path(), "bare", "")}) {
        EXPECT_EQ(library.GetFileVersionInfoSizeA(path), 0u) << path;
        std::vector<std::uint8_t> block(1024);
        EXPECT_FALSE(library.GetFileVersionInfoA(path, 1024, block.data())) << path;
    }
    EXPECT_EQ(ReadVersionResource(dir / "text.txt").error, "neither a PE nor an ELF file");
    EXPECT_EQ(ReadVersionResource(dir / "missing").error, "cannot open the file");
    EXPECT_EQ(ReadVersionResource(dir.path()).error, "cannot open the file");
}

/// The FileVersion of the version resource the library picks from `script`.
std::string PickedVersion(const std::string& dir, const std::string& name, const std::string& script) {
    const FileVersionLibrary library;
    std::vector<std::uint8_t> block = Fill(library, BuildPe(dir, name, script));
    if (block.empty())
        return "<none>";
    // Every resource below has one table, whichever language it declares.
    for (const char* table : {"080904E4", "040904E4", "000004E4", "040704E4"}) {
        const std::string text = QueryText(library, block, std::string("\\StringFileInfo\\") + table + "\\FileVersion");
        if (text != "<none>")
            return text;
    }
    return "<no table>";
}

std::string Resource(const std::string& language, const std::string& version, const std::string& head = "1 VERSIONINFO") {
    const std::string table = language == "LANGUAGE 0, 0" ? "000004E4" : language == "LANGUAGE 7, 1" ? "040704E4"
                              : language == "LANGUAGE 9, 1"  ? "040904E4"
                                                             : "080904E4";
    return language + "\n" + VersionScript({{table, {{"FileVersion", version}}}}, "0x0809, 0x04E4", head);
}

TEST(VersionLibrary, PicksName1ThenUsEnglishThenNeutralThenTheFirstLanguage) {
    FixtureDir dir;
    const std::string d = dir.path();
    EXPECT_EQ(PickedVersion(d, "us", Resource("LANGUAGE 0, 0", "neutral") + Resource("LANGUAGE 9, 1", "us") +
                                         Resource("LANGUAGE 9, 2", "uk")),
              "us");
    EXPECT_EQ(PickedVersion(d, "neutral", Resource("LANGUAGE 9, 2", "uk") + Resource("LANGUAGE 0, 0", "neutral")),
              "neutral");
    EXPECT_EQ(PickedVersion(d, "first", Resource("LANGUAGE 9, 2", "uk") + Resource("LANGUAGE 7, 1", "german")),
              "german");  // the directory holds languages in ascending order
    EXPECT_EQ(PickedVersion(d, "name1", Resource("LANGUAGE 9, 1", "two", "2 VERSIONINFO") +
                                            Resource("LANGUAGE 9, 2", "one", "1 VERSIONINFO")),
              "one");
    EXPECT_EQ(PickedVersion(d, "name2", Resource("LANGUAGE 9, 2", "three", "3 VERSIONINFO") +
                                            Resource("LANGUAGE 9, 2", "two", "2 VERSIONINFO")),
              "two");
}

}  // namespace
}  // namespace brevok

// The VS_VERSIONINFO walker on blocks built byte by byte, well-formed and not.
#include "versioninfo/version_block.h"

#include <gtest/gtest.h>

#include <vector>

#include "versioninfo/version_blocks.h"

namespace brevok {
namespace {

using namespace version_fixtures;

std::span<const std::uint8_t> Span(const std::string& bytes)
{
    return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

/// The text at `path`, or "<none>" when the query fails.
std::string TextAt(const std::string& block, std::string_view path)
{
    const auto value = FindVersionValue(Span(block), path);
    return value ? ReadVersionText(Span(block), *value) : "<none>";
}

std::string String(std::string_view key)
{
    return "\\StringFileInfo\\080904E4\\" + std::string(key);
}

TEST(VersionBlock, AnswersPathQueriesAsWindowsDoes)
{
    const std::string block = Serialize(VersionInfo(EightStrings()));
    const auto fixed = FindVersionValue(Span(block), "\\");
    ASSERT_TRUE(fixed);
    EXPECT_FALSE(fixed->isText);
    EXPECT_EQ(fixed->length, 52u);
    EXPECT_EQ(block.substr(fixed->offset, 4), "\xBD\x04\xEF\xFE");
    const auto translation = FindVersionValue(Span(block), "\\VarFileInfo\\Translation");
    ASSERT_TRUE(translation);
    EXPECT_EQ(translation->length, 4u);  // bytes
    EXPECT_EQ(block.substr(translation->offset, 4), "\x09\x08\xE4\x04");
    const auto version = FindVersionValue(Span(block), String("FileVersion"));
    ASSERT_TRUE(version);
    EXPECT_TRUE(version->isText);
    EXPECT_EQ(version->length, 8u);  // characters with the terminator, as stored

    EXPECT_EQ(TextAt(block, "\\stringfileinfo\\080904e4\\FILEVERSION"), "1.1.0.3");
    EXPECT_EQ(TextAt(block, "StringFileInfo\\\\080904E4\\ProductVersion\\"), "1.0.0.0");
    for (const char* missing : {"\\StringFileInfo\\080904E4\\FileVer", "\\StringFileInfo\\080904E4\\FileVersionX",
                                "\\StringFileInfo\\040904E4\\FileVersion", "\\StringFileInfo/080904E4/FileVersion"})
        EXPECT_EQ(TextAt(block, missing), "<none>") << missing;
    ASSERT_TRUE(FindVersionValue(Span(block), ""));
    EXPECT_EQ(FindVersionValue(Span(block), "")->length, 52u);

    // Padding counts from the start of the block, wherever it lies in memory.
    for (std::size_t shift = 1; shift < 4; ++shift) {
        const std::string buffer = std::string(shift, 'x') + block;
        const auto moved = Span(buffer).subspan(shift);
        const auto value = FindVersionValue(moved, String("InternalName"));
        ASSERT_TRUE(value);
        EXPECT_EQ(ReadVersionText(moved, *value), "tester");
    }
}

TEST(VersionBlock, ConvertsTextToUtf8)
{
    const std::string block = Serialize(VersionInfo({{u"Comments", std::u16string(1000, u'x')},
                                                     {u"CompanyName", u"\u00C7a\u2603\U0001D11E"},
                                                     {u"LegalCopyright", u"bad \xD800 half"},
                                                     {u"FileVersion", u""}}));
    EXPECT_EQ(TextAt(block, String("Comments")), std::string(1000, 'x'));
    EXPECT_EQ(TextAt(block, String("CompanyName")), "\u00C7a\u2603\U0001D11E");
    EXPECT_EQ(TextAt(block, String("LegalCopyright")), "bad \uFFFD half");
    EXPECT_EQ(FindVersionValue(Span(block), String("FileVersion"))->length, 1u);  // just the terminator
}

// Writers that store text lengths in bytes, or a wrong wType, still give their values.
TEST(VersionBlock, ToleratesLengthsInBytesAndWrongTypes)
{
    VersionNode bytes = VersionInfo(EightStrings());
    for (VersionNode& string : bytes.children[0].children[0].children)
        string.valueLength = static_cast<std::uint16_t>(string.value.size());
    const std::string inBytes = Serialize(bytes);
    EXPECT_EQ(FindVersionValue(Span(inBytes), String("FileVersion"))->length, 8u) << "cut to what the node holds";
    EXPECT_EQ(TextAt(inBytes, String("ProductVersion")), "1.0.0.0");

    VersionNode rootAsText = VersionInfo(EightStrings());  // 52 bytes read as 104
    rootAsText.type = 1;
    rootAsText.valueLength = 52;
    EXPECT_EQ(TextAt(Serialize(rootAsText), String("FileVersion")), "1.1.0.3");

    VersionNode rootInWords = VersionInfo(EightStrings());  // 52 bytes read as 26
    rootInWords.valueLength = 26;
    EXPECT_EQ(TextAt(Serialize(rootInWords), String("CompanyName")), "Halvane");

    VersionNode swapped = VersionInfo(EightStrings());
    for (VersionNode& string : swapped.children[0].children[0].children)
        string.type = 0;
    swapped.children[1].children[0].type = 1;
    swapped.children[1].children[0].valueLength = 4;
    const std::string block = Serialize(swapped);
    EXPECT_EQ(TextAt(block, String("FileVersion")), "1.1.0.3");
    const auto translation = FindVersionValue(Span(block), "\\VarFileInfo\\Translation");
    EXPECT_FALSE(translation->isText);
    EXPECT_EQ(translation->length, 4u);
}

TEST(VersionBlock, StaysInsideParentsAndStopsAtBrokenNodes)
{
    // The last string claims more than its table holds and has no terminator: its text
    // ends with the table, and the VarFileInfo after the table is still found.
    VersionNode root = VersionInfo({{u"CompanyName", u"Halvane"}, {u"Comments", u""}, {u"FileVersion", u""}});
    VersionNode& last = root.children[0].children[0].children[2];
    last.value = Utf16(u"1.1.0.3", false);
    last.valueLength = 0xFFFF;
    last.length = 0xFFF0;
    std::string block = Serialize(root);
    EXPECT_EQ(FindVersionValue(Span(block), String("FileVersion"))->length, 7u);
    EXPECT_EQ(TextAt(block, String("FileVersion")), "1.1.0.3");
    EXPECT_TRUE(FindVersionValue(Span(block), "\\VarFileInfo\\Translation"));

    // A node shorter than its header (here length 0, which would point at itself) ends the list.
    root.children[0].children[0].children[1].length = 0;
    block = Serialize(root);
    EXPECT_EQ(TextAt(block, String("CompanyName")), "Halvane");
    EXPECT_EQ(TextAt(block, String("FileVersion")), "<none>");
    PutWord(block, 0, 0);
    EXPECT_FALSE(FindVersionValue(Span(block), "\\"));
    EXPECT_EQ(VersionBlockLength(Span(block)), 0u);
}

TEST(VersionBlock, StopsCleanlyAtEveryCut)
{
    const std::string block = Serialize(VersionInfo(EightStrings()));
    for (std::size_t cut = 0; cut <= block.size(); ++cut) {
        // A copy of exactly `cut` bytes, so that the sanitizers catch any read beyond it.
        const std::vector<std::uint8_t> bytes(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(cut));
        for (const std::string& path : {std::string("\\"), std::string("\\VarFileInfo\\Translation"),
                                        String("ProductVersion"), String("CompanyName")}) {
            if (const auto value = FindVersionValue(bytes, path)) {
                EXPECT_LE(value->offset + value->size, cut) << path;
                ReadVersionText(bytes, *value);
            }
        }
        EXPECT_EQ(VersionBlockLength(bytes), cut < 6 ? 0 : cut);
    }
}

}  // namespace
}  // namespace brevok

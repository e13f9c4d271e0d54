// The VS_VERSIONINFO walker on blocks built byte by byte, well-formed and not.
#include "components/version_block.h"

#include <gtest/gtest.h>

#include <vector>

#include "components/version_blocks.h"

namespace brevok {
namespace {

using version_fixtures::Serialize;
using version_fixtures::StringNode;
using version_fixtures::Utf16;
using version_fixtures::VersionInfo;
using version_fixtures::VersionNode;

std::span<const std::uint8_t> Span(const std::string& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

std::string StandardBlock() {
    return Serialize(VersionInfo({{u"080904E4", version_fixtures::EightStrings()}}, {{0x0809, 0x04E4}}));
}

/// The text at `path`, or "<none>" when the query fails.
std::string TextAt(const std::string& block, std::string_view path) {
    const auto value = FindVersionValue(Span(block), path);
    return value ? ReadVersionText(Span(block), *value) : "<none>";
}

TEST(VersionBlock, AnswersTheThreeKindsOfQuery) {
    const std::string block = StandardBlock();

    const auto fixed = FindVersionValue(Span(block), "\\");
    ASSERT_TRUE(fixed);
    EXPECT_FALSE(fixed->isText);
    EXPECT_EQ(fixed->length, 52u);
    EXPECT_EQ(block.substr(fixed->offset, 4), std::string("\xBD\x04\xEF\xFE", 4));

    const auto translation = FindVersionValue(Span(block), "\\VarFileInfo\\Translation");
    ASSERT_TRUE(translation);
    EXPECT_FALSE(translation->isText);
    EXPECT_EQ(translation->length, 4u);  // bytes
    EXPECT_EQ(block.substr(translation->offset, 4), std::string("\x09\x08\xE4\x04", 4));

    const auto version = FindVersionValue(Span(block), "\\StringFileInfo\\080904E4\\FileVersion");
    ASSERT_TRUE(version);
    EXPECT_TRUE(version->isText);
    EXPECT_EQ(version->length, 8u);  // characters, the terminator included, as stored
    EXPECT_EQ(ReadVersionText(Span(block), *version), "1.1.0.3");
    EXPECT_EQ(VersionBlockLength(Span(block)), block.size());
}

TEST(VersionBlock, SplitsPathsOnBackslashesAndIgnoresCase) {
    const std::string block = StandardBlock();
    EXPECT_EQ(TextAt(block, "\\stringfileinfo\\080904e4\\FILEVERSION"), "1.1.0.3");
    EXPECT_EQ(TextAt(block, "StringFileInfo\\080904E4\\CompanyName"), "Halvane");
    EXPECT_EQ(TextAt(block, "\\\\StringFileInfo\\\\080904E4\\ProductVersion\\"), "1.0.0.0");
    EXPECT_EQ(TextAt(block, "\\StringFileInfo\\080904E4\\FileVer"), "<none>");
    EXPECT_EQ(TextAt(block, "\\StringFileInfo\\080904E4\\FileVersionX"), "<none>");
    EXPECT_EQ(TextAt(block, "\\StringFileInfo\\040904E4\\FileVersion"), "<none>");
    EXPECT_EQ(TextAt(block, "\\StringFileInfo/080904E4/FileVersion"), "<none>");
    // The empty path names the root, like "\".
    const auto root = FindVersionValue(Span(block), "");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->length, 52u);
}

TEST(VersionBlock, AlignsRelativeToTheBlockNotTheMemory) {
    const std::string block = StandardBlock();
    for (std::size_t shift = 1; shift < 4; ++shift) {
        const std::string buffer = std::string(shift, '\x55') + block;
        const auto moved = Span(buffer).subspan(shift);
        const auto value = FindVersionValue(moved, "\\StringFileInfo\\080904E4\\InternalName");
        ASSERT_TRUE(value) << "shift " << shift;
        EXPECT_EQ(ReadVersionText(moved, *value), "tester");
    }
}

TEST(VersionBlock, ReadsTextOfAnyLengthAndOutsideAscii) {
    const std::u16string longText(1000, u'x');
    VersionNode root = VersionInfo({{u"080904E4",
                                     {{u"Comments", longText},
                                      {u"CompanyName", u"\u00C7a\u2603\U0001D11E"},
                                      {u"LegalCopyright", u"bad \xD800 surrogate"}}}},
                                   {});
    const std::string block = Serialize(root);
    EXPECT_EQ(TextAt(block, "\\StringFileInfo\\080904E4\\Comments"), std::string(1000, 'x'));
    EXPECT_EQ(TextAt(block, "\\StringFileInfo\\080904E4\\CompanyName"), "\u00C7a\u2603\U0001D11E");
    EXPECT_EQ(TextAt(block, "\\StringFileInfo\\080904E4\\LegalCopyright"), "bad \uFFFD surrogate");
}

TEST(VersionBlock, ReportsAnEmptyValueWithLengthZero) {
    VersionNode root = VersionInfo({{u"080904E4", {{u"CompanyName", u""}, {u"FileVersion", u"1.1.0.3"}}}}, {});
    auto& company = root.children[0].children[0].children[0];
    company.value.clear();
    const std::string block = Serialize(root);
    const auto value = FindVersionValue(Span(block), "\\StringFileInfo\\080904E4\\CompanyName");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->length, 0u);
    EXPECT_EQ(ReadVersionText(Span(block), *value), "");
    EXPECT_EQ(TextAt(block, "\\StringFileInfo\\080904E4\\FileVersion"), "1.1.0.3");
}

// Writers that store text lengths in bytes, or a wrong wType, still give their strings.
TEST(VersionBlock, ToleratesLengthsInBytesAndWrongTypes) {
    {
        VersionNode root = VersionInfo({{u"080904E4", version_fixtures::EightStrings()}}, {{0x0809, 0x04E4}});
        for (VersionNode& string : root.children[0].children[0].children)
            string.valueLength = static_cast<std::uint16_t>(string.value.size());  // bytes
        const std::string block = Serialize(root);
        const auto value = FindVersionValue(Span(block), "\\StringFileInfo\\080904E4\\FileVersion");
        ASSERT_TRUE(value);
        EXPECT_EQ(value->length, 8u) << "cut to the characters the node holds";
        EXPECT_EQ(ReadVersionText(Span(block), *value), "1.1.0.3");
        EXPECT_EQ(TextAt(block, "\\StringFileInfo\\080904E4\\ProductVersion"), "1.0.0.0");
    }
    {
        // Root marked as text: its 52 bytes of fixed information would be read as 104.
        VersionNode root = VersionInfo({{u"080904E4", version_fixtures::EightStrings()}}, {{0x0809, 0x04E4}});
        root.type = 1;
        root.valueLength = 52;
        const std::string block = Serialize(root);
        EXPECT_EQ(TextAt(block, "\\StringFileInfo\\080904E4\\FileVersion"), "1.1.0.3");
        ASSERT_TRUE(FindVersionValue(Span(block), "\\VarFileInfo\\Translation"));
    }
    {
        // Root binary, but its length given in 16-bit units.
        VersionNode root = VersionInfo({{u"080904E4", version_fixtures::EightStrings()}}, {{0x0809, 0x04E4}});
        root.valueLength = 26;
        const std::string block = Serialize(root);
        EXPECT_EQ(TextAt(block, "\\StringFileInfo\\080904E4\\CompanyName"), "Halvane");
    }
    {
        // Strings marked binary are still text, the translation marked text is still bytes.
        VersionNode root = VersionInfo({{u"080904E4", version_fixtures::EightStrings()}}, {{0x0809, 0x04E4}});
        for (VersionNode& string : root.children[0].children[0].children)
            string.type = 0;
        root.children[1].children[0].type = 1;
        root.children[1].children[0].valueLength = 4;
        const std::string block = Serialize(root);
        const auto version = FindVersionValue(Span(block), "\\StringFileInfo\\080904E4\\FileVersion");
        ASSERT_TRUE(version);
        EXPECT_TRUE(version->isText);
        EXPECT_EQ(ReadVersionText(Span(block), *version), "1.1.0.3");
        const auto translation = FindVersionValue(Span(block), "\\VarFileInfo\\Translation");
        ASSERT_TRUE(translation);
        EXPECT_FALSE(translation->isText);
        EXPECT_EQ(translation->length, 4u);
    }
}

TEST(VersionBlock, BoundsEveryNodeByItsParent) {
    // The last string claims far more than its table holds and has no terminator: its
    // text ends with the table, and the VarFileInfo after the table is still found.
    VersionNode root = VersionInfo({{u"080904E4", {{u"CompanyName", u"Halvane"}, {u"FileVersion", u"1.1.0.3"}}}},
                                   {{0x0809, 0x04E4}});
    VersionNode& last = root.children[0].children[0].children[1];
    last.value = Utf16(u"1.1.0.3", false);
    last.valueLength = 0xFFFF;
    last.length = 0xFFF0;
    const std::string block = Serialize(root);
    const auto value = FindVersionValue(Span(block), "\\StringFileInfo\\080904E4\\FileVersion");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->length, 7u);
    EXPECT_EQ(ReadVersionText(Span(block), *value), "1.1.0.3");
    EXPECT_TRUE(FindVersionValue(Span(block), "\\VarFileInfo\\Translation"));
}

TEST(VersionBlock, StopsCleanlyOnTruncatedBlocks) {
    const std::string block = StandardBlock();
    const char* paths[] = {"\\", "\\VarFileInfo\\Translation", "\\StringFileInfo\\080904E4\\ProductVersion",
                           "\\StringFileInfo\\080904E4\\CompanyName"};
    for (std::size_t cut = 0; cut <= block.size(); ++cut) {
        // A copy of exactly `cut` bytes, so that a read beyond it is caught by the sanitizers.
        const std::vector<std::uint8_t> bytes(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(cut));
        for (const char* path : paths) {
            const auto value = FindVersionValue(bytes, path);
            if (!value)
                continue;
            EXPECT_LE(value->offset + value->size, cut) << path << " cut at " << cut;
            ReadVersionText(bytes, *value);
        }
    }
    // The whole block's wLength beyond the bytes at hand is cut to them.
    EXPECT_EQ(VersionBlockLength(Span(block.substr(0, 40))), 40u);
    EXPECT_EQ(VersionBlockLength(Span(block.substr(0, 5))), 0u);
}

TEST(VersionBlock, EndsTheWalkAtANodeShorterThanItsHeader) {
    VersionNode root = VersionInfo(
        {{u"080904E4", {{u"CompanyName", u"Halvane"}, {u"FileDescription", u"x"}, {u"FileVersion", u"1.1.0.3"}}}},
        {});
    root.children[0].children[0].children[1].length = 0;  // would point at itself forever
    const std::string block = Serialize(root);
    EXPECT_EQ(TextAt(block, "\\StringFileInfo\\080904E4\\CompanyName"), "Halvane");
    EXPECT_EQ(TextAt(block, "\\StringFileInfo\\080904E4\\FileVersion"), "<none>");

    std::string selfLoop = block;
    version_fixtures::PutWord(selfLoop, 0, 0);  // the root itself
    EXPECT_FALSE(FindVersionValue(Span(selfLoop), "\\"));
}

}  // namespace
}  // namespace brevok

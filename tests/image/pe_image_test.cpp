// PE header and resource tree reading on real images, from the whole file and from its head.
#include "image/pe_image.h"

#include <gtest/gtest.h>

#include "rules/little_endian.h"
#include "rules/hex.h"
#include "pe_test_helpers.h"

namespace brevok {
namespace {

using fixtures::BuildPe;
using fixtures::FixtureDir;
using fixtures::PeArch;
using fixtures::PeBuildOptions;
using fixtures::ReadFixtureFile;

const char* const kRc = "1 RCDATA { \"one\" }\n"
                        "Second RCDATA { \"two\" }\n"
                        "LANGUAGE 7, 1\n"
                        "1 RCDATA { \"eins\" }\n";

// Reads the resources the way a version reader does: headers from the head of the file, then
// only the resource section's bytes.
std::vector<std::pair<ResourceEntry, std::string>> ReadByParts(const std::string& bytes)
{
    auto headers = ParsePeHeaders(std::string_view(bytes).substr(0, 1024), bytes.size());
    EXPECT_TRUE(headers.ok()) << headers.error;
    auto where = FindResources(*headers);
    EXPECT_TRUE(where.ok()) << where.error;
    const std::string section = bytes.substr(where->section.offset, where->section.size);
    auto entries = ReadResourceTree(section, where->sectionRva, where->directory.rva);
    EXPECT_TRUE(entries.ok()) << entries.error;
    std::vector<std::pair<ResourceEntry, std::string>> out;
    for (const auto& e : *entries) {
        auto data = ResourceData(section, where->sectionRva, e);
        EXPECT_TRUE(data.ok()) << data.error;
        out.emplace_back(e, std::string(*data));
    }
    return out;
}

TEST(PeImageTest, ReadsHeadersAndTheResourceTreeOfBothFormats)
{
    for (PeArch arch : {PeArch::X64, PeArch::X86}) {
        FixtureDir dir;
        PeBuildOptions options;
        options.arch = arch;
        const std::string path = BuildPe(dir.path(), "app", kRc, options);
        const std::string bytes = ReadFixtureFile(path);
        auto image = ParsePeImage(bytes);
        ASSERT_TRUE(image.ok()) << image.error;
        const PeHeaders& h = image->headers;
        EXPECT_EQ(h.kind, arch == PeArch::X64 ? PeKind::Pe32Plus : PeKind::Pe32);
        EXPECT_EQ(h.machine, arch == PeArch::X64 ? 0x8664 : 0x14C);
        EXPECT_EQ(h.imageBase, arch == PeArch::X64 ? 0x140000000u : 0x400000u);
        EXPECT_EQ(h.sections.size(), h.numberOfSections);
        EXPECT_EQ(h.sections.back().Name(), ".reloc");

        const auto resources = ReadByParts(bytes);
        ASSERT_EQ(resources.size(), 3u);
        // Named entries first, then ids; languages ascending.
        EXPECT_EQ(resources[0].first.name, ResId::Name(u"SECOND"));
        EXPECT_EQ(resources[0].second, "two");
        EXPECT_EQ(resources[1].first.language, 0x407);
        EXPECT_EQ(resources[1].second, "eins");
        EXPECT_EQ(resources[2].first.language, 0x409);
        EXPECT_EQ(resources[2].first.type, ResId::Ordinal(kRtRcData));
        EXPECT_EQ(resources[2].second, "one");

        auto span = RvaToFileSpan(h, resources[2].first.dataRva, resources[2].first.size);
        ASSERT_TRUE(span.ok()) << span.error;
        EXPECT_EQ(bytes.substr(span->offset, span->size), "one");
    }
}

TEST(PeImageTest, HeadersBeyondTheBytesReadAndBadRvasAreNamed)
{
    FixtureDir dir;
    const std::string bytes = ReadFixtureFile(BuildPe(dir.path(), "app", kRc));
    auto partial = ParsePeHeaders(std::string_view(bytes).substr(0, 0x100), bytes.size());
    ASSERT_FALSE(partial.ok());
    EXPECT_NE(partial.error.find("runs past the bytes read"), std::string::npos) << partial.error;

    auto h = ParsePeHeaders(bytes, bytes.size());
    ASSERT_TRUE(h.ok());
    const SectionHeader& text = h->sections[0];
    EXPECT_EQ(RvaToFileSpan(*h, 0x7FFF0000, 4).error, "RVA 0x7FFF0000 (size 0x4) lies in no section");
    if (text.virtualSize > text.sizeOfRawData || text.sizeOfRawData < 0x1000) {
        const std::uint32_t beyond = text.virtualAddress + text.sizeOfRawData;
        if (h->SectionOfRva(beyond) == 0) {
            EXPECT_EQ(RvaToFileSpan(*h, beyond, 1).error,
                      "RVA " + Hex(beyond) + " (size 0x1) lies beyond section 1's raw data (size " +
                          Hex(text.sizeOfRawData) + ")");
        }
    }
}

// Directory tables that overlap each other can reuse the same entries many times over; a
// tree can never have more entries than its bytes hold, so the reader stops there instead of
// listing (here) a quarter of a million leaves from 12 KB.
TEST(PeImageTest, OverlappingTablesCannotMultiplyTheLeaves)
{
    constexpr std::uint32_t kLevel1 = 0x20, kCount = 0x200, kLeaf = 0x200, kRegion = 0x1100;
    std::string tree(kRegion + 8 * kCount + 16 + 8 * kLeaf, '\0');
    byteio::Put16(tree, 14, 1);
    byteio::Put32(tree, 16, kRtRcData);
    byteio::Put32(tree, 20, 0x80000000u | kLevel1);
    byteio::Put16(tree, kLevel1 + 14, kCount);
    for (std::uint32_t k = 0; k < kCount; ++k) {
        byteio::Put32(tree, kLevel1 + 16 + 8 * k, k + 1);
        byteio::Put32(tree, kLevel1 + 20 + 8 * k, 0x80000000u | (kRegion + 8 * k));
    }
    // Language entries (0x409 -> data entry kLeaf); a table read at any of them counts kLeaf entries.
    for (std::size_t at = kRegion; at + 8 <= tree.size(); at += 8) {
        byteio::Put32(tree, at, 0x409);
        byteio::Put32(tree, at + 4, kLeaf);
    }
    auto entries = ReadResourceTree(tree, 0x3000);
    ASSERT_FALSE(entries.ok()) << entries->size() << " leaves";
    EXPECT_EQ(entries.error,
              "the resource directory table at RVA " + Hex(0x3000 + kRegion + 16) +
                  " brings the tree to 2049 entries, more than the resource data (size " + Hex(tree.size()) +
                  ") can hold");
}

TEST(PeImageTest, ChecksumMatchesOsslsigncode)
{
    FixtureDir dir;
    const std::string path = BuildPe(dir.path(), "app", kRc);
    const std::string report = petest::VerifyReport(path);
    const std::string bytes = ReadFixtureFile(path);
    auto h = ParsePeHeaders(bytes, bytes.size());
    ASSERT_TRUE(h.ok());
    char expected[9];
    std::snprintf(expected, sizeof expected, "%08X", ComputePeChecksum(bytes, h->CheckSumOffset()));
    EXPECT_EQ(petest::ReportValue(report, "Calculated PE checksum"), expected) << report;
}

}  // namespace
}  // namespace brevok

// .res reading and writing: round trips through llvm-rc's output and our writer, and the
// exact errors for records that do not fit the file.
#include "image/res_file.h"

#include <gtest/gtest.h>

#include "rules/little_endian.h"
#include "support/pe_fixtures.h"

namespace brevok {
namespace {

using fixtures::CompileRc;
using fixtures::FixtureDir;
using fixtures::ReadFixtureFile;

TEST(ResFileTest, ReadsWhatLlvmRcWritesAndWritesItBackByteForByte)
{
    FixtureDir dir;
    const std::string bytes = ReadFixtureFile(CompileRc(dir.path(), "all",
                                                        "1 RCDATA { \"abc\" }\n"
                                                        "Named RCDATA { \"four\" }\n"
                                                        "LANGUAGE 7, 1\n"
                                                        "MyType Odd { \"12345\" }\n"
                                                        "STRINGTABLE { 1, \"x\" }\n"));
    auto records = ParseResFile(bytes);
    ASSERT_TRUE(records.ok()) << records.error;
    ASSERT_EQ(records->size(), 4u);
    const ResRecord& first = (*records)[0];
    EXPECT_EQ(first.type, ResId::Ordinal(kRtRcData));
    EXPECT_EQ(first.name, ResId::Ordinal(1));
    EXPECT_EQ(first.language, 0x409);
    EXPECT_EQ(first.data, "abc");
    EXPECT_EQ((*records)[1].name, ResId::Name(u"NAMED"));
    EXPECT_EQ((*records)[2].type, ResId::Name(u"ODD"));
    EXPECT_EQ((*records)[2].name, ResId::Name(u"MYTYPE"));
    EXPECT_EQ((*records)[2].language, 0x407);
    EXPECT_EQ((*records)[2].data, "12345");
    EXPECT_EQ((*records)[3].type, ResId::Ordinal(kRtString));
    EXPECT_EQ(WriteResFile(*records), bytes);
}

TEST(ResFileTest, ViewsPointIntoTheBufferAndCarryTheirOffsets)
{
    ResRecord r;
    r.type = ResId::Ordinal(kRtRcData);
    r.name = ResId::Name(u"A");
    r.data = "xyz";
    const std::string bytes = WriteResFile({r, r});
    auto views = ParseResFileViews(bytes);
    ASSERT_TRUE(views.ok()) << views.error;
    ASSERT_EQ(views->size(), 2u);
    EXPECT_EQ((*views)[0].offset, 0x20u);
    EXPECT_EQ((*views)[1].offset % 4, 0u);
    EXPECT_EQ((*views)[1].data.data(), bytes.data() + (*views)[1].offset + 0x20);
}

TEST(ResFileTest, EmptyNamesMakeTheSmallestHeaderAndSurviveAWrite)
{
    ResRecord r;
    r.type = ResId::Name(u"");
    r.name = ResId::Name(u"");
    r.data = "z";
    const std::string bytes = WriteResFile({r});
    EXPECT_EQ(byteio::Get32(bytes, 0x24), 0x1Cu);
    auto parsed = ParseResFile(bytes);
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    EXPECT_EQ((*parsed)[0].type, ResId::Name(u""));
    EXPECT_EQ((*parsed)[0].data, "z");
}

TEST(ResFileTest, NamesSortBeforeOrdinalsCaseInsensitively)
{
    EXPECT_LT(CompareResIds(ResId::Name(u"zeta"), ResId::Ordinal(1)), 0);
    EXPECT_EQ(CompareResIds(ResId::Name(u"abc"), ResId::Name(u"ABC")), 0);
    EXPECT_LT(CompareResIds(ResId::Name(u"AB"), ResId::Name(u"abc")), 0);
    EXPECT_LT(CompareResIds(ResId::Ordinal(2), ResId::Ordinal(10)), 0);
    EXPECT_EQ(DescribeResId(ResId::Ordinal(14)), "#14");
    EXPECT_EQ(DescribeResId(ResId::Name(u"\u00e9T\u20ac")), "\xc3\xa9T\xe2\x82\xac");
}

TEST(ResFileTest, RecordsThatDoNotFitGiveErrorsNamingRecordAndOffset)
{
    ResRecord r;
    r.type = ResId::Ordinal(kRtRcData);
    r.name = ResId::Ordinal(1);
    r.data = "data";
    const std::string good = WriteResFile({r});  // 0x20 + 0x20 + 4 bytes
    auto withField = [&](std::size_t at, std::uint32_t value) {
        std::string b = good;
        byteio::Put32(b, at, value);
        return b;
    };
    std::string unterminated = good;
    for (std::size_t at = 0x28; at < 0x40; at += 4)
        byteio::Put32(unterminated, at, 0x00410041);
    const struct {
        std::string bytes;
        std::string error;
    } cases[] = {
        {"", "not a 32-bit resource file: the file is empty"},
        {good.substr(0x20), "not a 32-bit resource file: the empty first record is missing"},
        {good + "\x01\x02\x03", "resource record 2 at offset 0x44: the record header is truncated (file size 0x47)"},
        {withField(0x20, 5),
         "resource record 1 at offset 0x20: data size 0x5 runs past the end of the file (size 0x44)"},
        {withField(0x20, 0xFFFFFFFF),
         "resource record 1 at offset 0x20: data size 0xFFFFFFFF runs past the end of the file (size 0x44)"},
        {withField(0x24, 0x30),
         "resource record 1 at offset 0x20: header size 0x30 runs past the end of the file (size 0x44)"},
        {withField(0x24, 0x10), "resource record 1 at offset 0x20: header size 0x10 is smaller than the minimum 0x1C"},
        {unterminated, "resource record 1 at offset 0x20: the type or name runs past the header (header size 0x20)"},
    };
    for (const auto& c : cases) {
        auto parsed = ParseResFile(c.bytes);
        EXPECT_FALSE(parsed.ok());
        EXPECT_EQ(parsed.error, c.error);
    }
}

}  // namespace
}  // namespace brevok

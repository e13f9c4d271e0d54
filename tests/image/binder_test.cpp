// Binding .res files into real PE images built by clang and lld-link, held against
// llvm-readobj, llvm-objdump and osslsigncode.
#include "image/binder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "rules/little_endian.h"
#include "rules/hex.h"
#include "image/pe_image.h"
#include "pe_test_helpers.h"

namespace brevok {
namespace {

using fixtures::BuildPe;
using fixtures::CompileRc;
using fixtures::FixtureDir;
using fixtures::PeArch;
using fixtures::PeBuildOptions;
using fixtures::PeFlavour;
using fixtures::ReadFixtureFile;
using fixtures::RunFixtureCommand;
using fixtures::WriteFixtureFile;
using petest::ResourceListing;

PeHeaders HeadersOf(const std::string& path)
{
    const std::string bytes = ReadFixtureFile(path);
    auto h = ParsePeHeaders(bytes, bytes.size());
    EXPECT_TRUE(h.ok()) << h.error;
    return h.ok() ? *h : PeHeaders{};
}

// The layout rules a loader relies on, checked on the bound image, and llvm-objdump's
// reading of it without complaint.
void ExpectConsistent(const std::string& path)
{
    const std::string dump = RunFixtureCommand("llvm-objdump -p -h '" + path + "'");
    EXPECT_EQ(dump.find("warning"), std::string::npos) << dump;
    const PeHeaders h = HeadersOf(path);
    std::uint64_t imageEnd = 0;
    for (std::size_t i = 0; i < h.sections.size(); ++i) {
        const SectionHeader& s = h.sections[i];
        EXPECT_EQ(s.sizeOfRawData % h.fileAlignment, 0u) << "section " << i;
        EXPECT_EQ(s.virtualAddress % h.sectionAlignment, 0u) << "section " << i;
        imageEnd = std::max<std::uint64_t>(imageEnd, s.virtualAddress + s.VirtualExtent());
        for (std::size_t j = i + 1; j < h.sections.size(); ++j) {
            const SectionHeader& t = h.sections[j];
            EXPECT_TRUE(s.virtualAddress + s.VirtualExtent() <= t.virtualAddress ||
                        t.virtualAddress + t.VirtualExtent() <= s.virtualAddress)
                << "sections " << i << " and " << j << " overlap in memory";
            if (s.sizeOfRawData && t.sizeOfRawData) {
                EXPECT_TRUE(s.pointerToRawData + s.sizeOfRawData <= t.pointerToRawData ||
                            t.pointerToRawData + t.sizeOfRawData <= s.pointerToRawData)
                    << "sections " << i << " and " << j << " overlap in the file";
            }
        }
    }
    const std::uint64_t align = h.sectionAlignment;
    EXPECT_EQ(h.sizeOfImage, (imageEnd + align - 1) / align * align);
    auto res = FindResources(h);
    ASSERT_TRUE(res.ok()) << res.error;
    EXPECT_EQ(res->directory.rva, h.sections[res->sectionIndex].virtualAddress);
}

const char* const kMergedRc = "1 RCDATA { \"new one\" }\n"
                              "KEEP RCDATA { \"kept\" }\n"
                              "2 RCDATA { \"two\" }\n"
                              "STRINGTABLE { 1, \"hello\" }\n";

TEST(BinderTest, MergedTreeMatchesTheLinkersForBothFormatsWithAndWithoutResources)
{
    const char* const baseRc = "1 RCDATA { \"old one\" }\nKEEP RCDATA { \"kept\" }\n";
    const char* const bindRc = "1 RCDATA { \"new one\" }\n2 RCDATA { \"two\" }\nSTRINGTABLE { 1, \"hello\" }\n";
    for (PeArch arch : {PeArch::X64, PeArch::X86}) {
        for (bool withResources : {true, false}) {
            SCOPED_TRACE((arch == PeArch::X64 ? "PE32+ " : "PE32 ") + std::string(withResources ? "with" : "without"));
            FixtureDir dir;
            PeBuildOptions options;
            options.arch = arch;
            const std::string exe = BuildPe(dir.path(), "base", withResources ? baseRc : "", options);
            const std::string res = CompileRc(dir.path(), "bind", bindRc);
            const std::string expected = BuildPe(dir.path(), "expected", withResources ? kMergedRc : bindRc, options);

            const ToolOutcome outcome = BindResFile(res, exe);
            ASSERT_TRUE(outcome.ok) << (outcome.lines.empty() ? "" : outcome.lines[0]);
            EXPECT_TRUE(outcome.lines.empty());
            EXPECT_EQ(ResourceListing(exe), ResourceListing(expected));
            ExpectConsistent(exe);
            EXPECT_EQ(HeadersOf(exe).kind, arch == PeArch::X64 ? PeKind::Pe32Plus : PeKind::Pe32);
        }
    }
}

TEST(BinderTest, PlacesTheResourcesInPlaceAtTheEndOrInANewSection)
{
    FixtureDir dir;
    const std::string big = "BIG RCDATA { " + std::string(2000, '1').insert(0, "\"") + "\" }\n";
    const std::string exe = BuildPe(dir.path(), "base", big + "1 RCDATA { \"old\" }\n");
    const PeHeaders before = HeadersOf(exe);
    const auto sizeBefore = std::filesystem::file_size(exe);
    const std::string relocations = RunFixtureCommand("llvm-readobj --coff-basereloc '" + exe + "' | sed 1,2d");

    // Smaller than the section: rewritten where it is, the file keeps its size.
    ASSERT_TRUE(BindResFile(CompileRc(dir.path(), "small", "1 RCDATA { \"new\" }\n"), exe).ok);
    EXPECT_EQ(std::filesystem::file_size(exe), sizeBefore);
    EXPECT_EQ(HeadersOf(exe).sections.size(), before.sections.size());
    EXPECT_EQ(ResourceListing(exe), ResourceListing(BuildPe(dir.path(), "e1", big + "1 RCDATA { \"new\" }\n")));

    // Larger, followed only by .reloc: grown, the relocations moved and their directory updated.
    const std::string large = "2 RCDATA { \"" + std::string(9000, '2') + "\" }\n";
    ASSERT_TRUE(BindResFile(CompileRc(dir.path(), "large", large), exe).ok);
    const PeHeaders grown = HeadersOf(exe);
    EXPECT_EQ(grown.sections.size(), before.sections.size());
    EXPECT_EQ(grown.sections.back().Name(), ".reloc");
    EXPECT_GT(grown.sections.back().virtualAddress, before.sections.back().virtualAddress);
    EXPECT_EQ(grown.Directory(kDirBaseReloc).rva, grown.sections.back().virtualAddress);
    EXPECT_EQ(RunFixtureCommand("llvm-readobj --coff-basereloc '" + exe + "' | sed 1,2d"), relocations);
    EXPECT_EQ(ResourceListing(exe), ResourceListing(BuildPe(dir.path(), "e2", big + "1 RCDATA { \"new\" }\n" + large)));
    ExpectConsistent(exe);

    // A resource section added after .reloc is the last one: a later, larger bind grows it
    // instead of adding yet another section.
    const std::string fresh = BuildPe(dir.path(), "fresh", "");
    ASSERT_TRUE(BindResFile(CompileRc(dir.path(), "first", "1 RCDATA { \"a\" }\n"), fresh).ok);
    const PeHeaders added = HeadersOf(fresh);
    ASSERT_EQ(added.sections.back().Name(), ".rsrc");
    ASSERT_TRUE(BindResFile(CompileRc(dir.path(), "second", large), fresh).ok);
    const PeHeaders regrown = HeadersOf(fresh);
    EXPECT_EQ(regrown.sections.size(), added.sections.size());
    EXPECT_EQ(regrown.sections.back().Name(), ".rsrc");
    EXPECT_EQ(ResourceListing(fresh), ResourceListing(BuildPe(dir.path(), "e3", "1 RCDATA { \"a\" }\n" + large)));
    ExpectConsistent(fresh);
}

TEST(BinderTest, MinGwImageKeepsItsSymbolTableAndOverlayByteForByte)
{
    FixtureDir dir;
    PeBuildOptions options;
    options.flavour = PeFlavour::MinGw;
    const std::string exe = BuildPe(dir.path(), "base", "1 RCDATA { \"old\" }\n", options);
    const std::string symbolsBefore = RunFixtureCommand("llvm-readobj --symbols '" + exe + "' | sed 1,2d");
    std::string overlay;
    for (int i = 0; i < 3000; ++i)
        overlay.push_back(static_cast<char>(i * 7 + 1));
    WriteFixtureFile(exe, ReadFixtureFile(exe) + overlay);
    const PeHeaders before = HeadersOf(exe);

    const std::string rc = "1 RCDATA { \"" + std::string(5000, 'n') + "\" }\n";
    const ToolOutcome outcome = BindResFile(CompileRc(dir.path(), "bind", rc), exe);
    ASSERT_TRUE(outcome.ok) << outcome.lines[0];

    const PeHeaders after = HeadersOf(exe);
    ASSERT_EQ(after.sections.size(), before.sections.size() + 1);  // debug sections follow .reloc
    EXPECT_NE(after.pointerToSymbolTable, before.pointerToSymbolTable);
    // The old resource section stays in place under another name, which its section symbol shows.
    EXPECT_EQ(RunFixtureCommand("llvm-readobj --symbols '" + exe + "' | sed '1,2d; s/[.]oldrsrc/.rsrc/'"),
              symbolsBefore);
    EXPECT_EQ(after.sections[before.sections.size() - 1 - 5].Name(), ".oldrsrc");
    const std::string bytes = ReadFixtureFile(exe);
    EXPECT_EQ(bytes.substr(bytes.size() - overlay.size()), overlay);
    EXPECT_EQ(ResourceListing(exe), ResourceListing(BuildPe(dir.path(), "expected", rc)));
    ExpectConsistent(exe);
}

TEST(BinderTest, SignedImageLosesItsSignatureAndGetsAValidChecksum)
{
    FixtureDir dir;
    const std::string plain = BuildPe(dir.path(), "plain", "1 RCDATA { \"old\" }\n");
    RunFixtureCommand("cd '" + dir.path() +
                      "' && openssl req -x509 -newkey rsa:2048 -nodes -keyout k.pem -out c.pem"
                      " -days 2 -subj /CN=brevok-test && openssl pkcs12 -export -inkey k.pem -in c.pem -out c.p12"
                      " -passout pass:pw");
    const std::string exe = dir / "signed.exe";
    RunFixtureCommand("osslsigncode sign -pkcs12 '" + (dir / "c.p12") + "' -pass pw -in '" + plain + "' -out '" + exe +
                      "'");
    ASSERT_NE(HeadersOf(exe).checkSum, 0u);

    const ToolOutcome outcome = BindResFile(CompileRc(dir.path(), "bind", "1 RCDATA { \"new\" }\n"), exe);
    ASSERT_TRUE(outcome.ok);
    ASSERT_EQ(outcome.lines.size(), 1u);
    EXPECT_EQ(outcome.lines[0],
              "Warning " + exe + ": the image's digital signature is no longer valid and has been removed");
    const std::string report = petest::VerifyReport(exe);
    EXPECT_NE(report.find("No signature found"), std::string::npos) << report;
    const std::string current = petest::ReportValue(report, "Current PE checksum");
    EXPECT_NE(current, "00000000");
    EXPECT_EQ(current, petest::ReportValue(report, "Calculated PE checksum")) << report;
    EXPECT_EQ(HeadersOf(exe).Directory(kDirSecurity).size, 0u);
    ExpectConsistent(exe);
}

TEST(BinderTest, ReplacedIconGroupsLeaveNoOrphansAndCollidingMembersAreRenumbered)
{
    FixtureDir dir;
    for (int i = 0; i < 5; ++i)
        WriteFixtureFile(dir / ("i" + std::to_string(i) + ".ico"), petest::IconFile(static_cast<std::uint8_t>(i * 40)));
    const std::string exe = BuildPe(dir.path(), "base", "");
    auto bind = [&](const std::string& name, const std::string& rc) {
        const ToolOutcome outcome = BindResFile(CompileRc(dir.path(), name, rc), exe);
        ASSERT_TRUE(outcome.ok) << outcome.lines[0];
        EXPECT_TRUE(outcome.lines.empty());
    };
    bind("b1", "APP ICON \"i0.ico\"\nOTHER ICON \"i1.ico\"\n");  // icons 1 and 2
    bind("b2", "APP ICON \"i2.ico\"\n");                         // replaces APP; icon 1 released and reused
    bind("b3", "APP ICON \"i3.ico\"\n");
    bind("b4", "THIRD ICON \"i4.ico\"\n");  // its icon 1 is taken by APP: becomes 3
    const std::string expected =
        BuildPe(dir.path(), "expected", "APP ICON \"i3.ico\"\nOTHER ICON \"i1.ico\"\nTHIRD ICON \"i4.ico\"\n");
    EXPECT_EQ(ResourceListing(exe), ResourceListing(expected));
}

TEST(BinderTest, SameNameInAnotherLanguageIsAddedWithAWarning)
{
    FixtureDir dir;
    const std::string exe = BuildPe(dir.path(), "base", "1 RCDATA { \"english\" }\n");
    const ToolOutcome outcome =
        BindResFile(CompileRc(dir.path(), "bind", "LANGUAGE 7, 1\n1 RCDATA { \"deutsch\" }\n"), exe);
    ASSERT_TRUE(outcome.ok);
    ASSERT_EQ(outcome.lines.size(), 1u);
    EXPECT_EQ(outcome.lines[0],
              "Warning " + exe +
                  ": resource RCDATA #1 language 0x407 added beside language 0x409 already in the image");
    EXPECT_EQ(ResourceListing(exe),
              ResourceListing(BuildPe(dir.path(), "expected",
                                      "1 RCDATA { \"english\" }\nLANGUAGE 7, 1\n1 RCDATA { \"deutsch\" }\n")));
}

// Each corrupt input gives one error line and leaves the executable byte-identical.
TEST(BinderTest, CorruptInputsGiveOneErrorAndLeaveTheExecutableUntouched)
{
    FixtureDir dir;
    const std::string good = ReadFixtureFile(BuildPe(dir.path(), "good", "1 RCDATA { \"data\" }\n"));
    const std::string goodRes = CompileRc(dir.path(), "bind", "2 RCDATA { \"more\" }\n");
    const PeHeaders h = HeadersOf(dir / "good.exe");
    const SectionHeader& last = h.sections.back();

    std::string badRes = ReadFixtureFile(goodRes);
    badRes[0x20] = '\x40';  // record 1's data size: 0x40 bytes where 4 remain
    WriteFixtureFile(dir / "bad.res", badRes);

    std::string loop = good;
    const auto rsrc = FindResources(h);
    ASSERT_TRUE(rsrc.ok());
    const std::size_t rootEntry = rsrc->section.offset + 16;
    loop[rootEntry + 4] = 0, loop[rootEntry + 5] = 0, loop[rootEntry + 6] = 0, loop[rootEntry + 7] = '\x80';

    struct Case {
        std::string exe;
        std::string res;
        std::string error;
    } cases[] = {
        {good.substr(0, 0x80), goodRes,
         "the PE header runs past the end of the file (offset " + Hex(h.peOffset) +
             ", size 0x18, file size 0x80)"},
        {good.substr(0, last.pointerToRawData + 8), goodRes,
         "section " + std::to_string(h.sections.size()) + " raw data runs past the end of the file (offset " +
             Hex(last.pointerToRawData) + ", size " + Hex(last.sizeOfRawData) + ")"},
        {loop, goodRes,
         "the resource directory table at RVA " + Hex(rsrc->directory.rva) +
             " is reached twice (the tree loops)"},
        {good, dir / "bad.res",
         "resource record 1 at offset 0x20: data size 0x40 runs past the end of the file (size 0x44)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        const std::string exe = dir / "target.exe";
        WriteFixtureFile(exe, c.exe);
        const ToolOutcome outcome = BindResFile(c.res, exe);
        EXPECT_FALSE(outcome.ok);
        ASSERT_EQ(outcome.lines.size(), 1u);
        const std::string culprit = c.res == goodRes ? exe : c.res;
        EXPECT_EQ(outcome.lines[0], "Error " + culprit + ": " + c.error);
        EXPECT_EQ(ReadFixtureFile(exe), c.exe);
    }
}

// Full headers grow into the room below the first section; without such room (sections
// aligned like the file) the bind fails and leaves the image alone.
TEST(BinderTest, FullHeadersGrowWhenTheyCanAndFailCleanlyWhenTheyCannot)
{
    FixtureDir dir;
    const std::string res = CompileRc(dir.path(), "bind", "1 RCDATA { \"x\" }\n");
    const std::string roomy = BuildPe(dir.path(), "roomy", "");
    const PeHeaders before = HeadersOf(roomy);
    ASSERT_GT(before.SectionTableEnd() + 40, before.sizeOfHeaders);
    ASSERT_TRUE(BindResFile(res, roomy).ok);
    EXPECT_EQ(HeadersOf(roomy).sizeOfHeaders, before.sizeOfHeaders + before.fileAlignment);
    ExpectConsistent(roomy);

    // A bound import table right after the section table would be overwritten by the new entry.
    PeBuildOptions x86;
    x86.arch = PeArch::X86;
    const std::string bound = BuildPe(dir.path(), "bound", "", x86);
    const PeHeaders b = HeadersOf(bound);
    std::string boundBytes = ReadFixtureFile(bound);
    byteio::Put32(boundBytes, b.DirectoryOffset(11), b.SectionTableEnd());
    byteio::Put32(boundBytes, b.DirectoryOffset(11) + 4, 0x10);
    boundBytes.replace(b.SectionTableEnd(), 0x10,
                       std::string("\x01\x02\x03\x04"
                                   "\x10\x00\x00\x00"
                                   "bound...",
                                   0x10));
    WriteFixtureFile(bound, boundBytes);
    const ToolOutcome refused = BindResFile(res, bound);
    EXPECT_FALSE(refused.ok);
    ASSERT_EQ(refused.lines.size(), 1u);
    EXPECT_EQ(refused.lines[0],
              "Error " + bound +
                  ": there is no room in the headers for another section (data "
                  "directory 11 at RVA " +
                  Hex(b.SectionTableEnd()) +
                  ", size 0x10, follows the "
                  "section table, which ends at " +
                  Hex(b.SectionTableEnd()) + ")");
    EXPECT_EQ(ReadFixtureFile(bound), boundBytes);

    PeBuildOptions packed;
    packed.extraLinkArgs = "/align:512 /filealign:512";
    const std::string path = BuildPe(dir.path(), "packed", "", packed);
    const PeHeaders h = HeadersOf(path);
    const std::string bytes = ReadFixtureFile(path);
    const ToolOutcome outcome = BindResFile(res, path);
    EXPECT_FALSE(outcome.ok);
    ASSERT_EQ(outcome.lines.size(), 1u);
    EXPECT_EQ(outcome.lines[0],
              "Error " + path +
                  ": there is no room in the headers for another section (the section "
                  "table ends at " +
                  Hex(h.SectionTableEnd()) + ", the headers end at " + Hex(h.sizeOfHeaders) + ")");
    EXPECT_EQ(ReadFixtureFile(path), bytes);
}

// When the headers grow, every file offset kept elsewhere moves with the data: the debug
// directory's PointerToRawData and the COFF symbol table.
TEST(BinderTest, GrownHeadersMoveDebugDataPointersAndTheSymbolTable)
{
    FixtureDir dir;
    PeBuildOptions options;
    options.flavour = PeFlavour::MinGw;
    for (int i = 0; i < 7; ++i)  // 16 sections: the section table ends exactly at the headers' end
        options.extraSource += "__attribute__((section(\".s" + std::to_string(i) + "\"))) int v" + std::to_string(i) +
            " = " + std::to_string(i + 1) + ";\n";
    const std::string exe = BuildPe(dir.path(), "base", "", options);
    const PeHeaders before = HeadersOf(exe);
    ASSERT_GT(before.SectionTableEnd() + 40, before.sizeOfHeaders);
    ASSERT_NE(before.Directory(kDirDebug).size, 0u);
    const std::string symbols = RunFixtureCommand("llvm-readobj --symbols '" + exe + "' | sed 1,2d");

    ASSERT_TRUE(BindResFile(CompileRc(dir.path(), "bind", "1 RCDATA { \"x\" }\n"), exe).ok);
    const PeHeaders after = HeadersOf(exe);
    EXPECT_EQ(after.sizeOfHeaders, before.sizeOfHeaders + after.fileAlignment);
    EXPECT_EQ(RunFixtureCommand("llvm-readobj --symbols '" + exe + "' | sed 1,2d"), symbols);
    const std::string bytes = ReadFixtureFile(exe);
    auto debug = RvaToFileSpan(after, after.Directory(kDirDebug).rva, after.Directory(kDirDebug).size);
    ASSERT_TRUE(debug.ok()) << debug.error;
    for (std::uint64_t at = debug->offset; at + 28 <= debug->offset + debug->size; at += 28) {
        auto data = RvaToFileSpan(after, byteio::Get32(bytes, at + 20), byteio::Get32(bytes, at + 16));
        ASSERT_TRUE(data.ok()) << data.error;
        EXPECT_EQ(byteio::Get32(bytes, at + 24), data->offset);
    }
    ExpectConsistent(exe);
}

ResRecordView RecordOf(const ResId& name, std::string_view data)
{
    ResRecordView r;
    r.type = ResId::Ordinal(kRtRcData);
    r.name = name;
    r.language = 0x409;
    r.data = data;
    r.offset = 0x20;
    return r;
}

// Where a field of the output cannot hold a value (a 16-bit string length or section count,
// a 32-bit address), the bind fails instead of writing the value cut short.
TEST(BinderTest, ValuesBeyondTheFormatsFieldsFailInsteadOfWrapping)
{
    FixtureDir dir;
    PeBuildOptions fixed;
    fixed.extraLinkArgs = "/fixed";  // no .reloc: the resource section is the last one
    const std::string path = BuildPe(dir.path(), "fixed", "1 RCDATA { \"old\" }\n", fixed);
    std::string bytes = ReadFixtureFile(path);
    const PeHeaders h = HeadersOf(path);

    const std::u16string longName(0x10000, u'N');
    auto bound = BindResources(bytes, {RecordOf(ResId::Name(longName), "x")});
    EXPECT_EQ(bound.error,
              "the resource file's record at offset 0x20 has a name of 65536 characters, more than a "
              "resource directory can hold (65535)");

    // The resource section moved to the top of the address space has no room to grow.
    auto where = FindResources(h);
    ASSERT_TRUE(where.ok()) << where.error;
    ASSERT_EQ(where->sectionIndex + 1u, h.sections.size());
    const std::uint32_t top = 0xFFFF0000u;
    const std::uint32_t shift = top - where->sectionRva;
    auto entries =
        ReadResourceTree(std::string_view(bytes).substr(where->section.offset, where->section.size), where->sectionRva);
    ASSERT_TRUE(entries.ok()) << entries.error;
    for (const ResourceEntry& e : *entries)
        for (std::uint64_t at = where->section.offset; at + 8 <= where->section.offset + where->section.size; at += 4)
            if (byteio::Get32(bytes, at) == e.dataRva && byteio::Get32(bytes, at + 4) == e.size)
                byteio::Put32(bytes, at, e.dataRva + shift);
    byteio::Put32(bytes, h.sectionTableOffset + 40 * where->sectionIndex + 12, top);
    byteio::Put32(bytes, h.DirectoryOffset(kDirResource), top);
    const std::string large(0x20000, 'L');
    bound = BindResources(bytes, {RecordOf(ResId::Ordinal(2), large)});
    EXPECT_EQ(bound.error, "the resources do not fit the 4 GB address space");

    // 65535 sections leave no number for one more.
    std::string many(0x40, '\0');
    many[0] = 'M', many[1] = 'Z';
    byteio::Put32(many, 0x3C, 0x40);
    const std::uint32_t table = 0x40 + 24 + 240;
    const std::uint32_t headerSize = (table + 40 * 0x10000 + 0x1FF) / 0x200 * 0x200;
    many.resize(headerSize, '\0');
    many.replace(0x40, 4, std::string("PE\0\0", 4));
    byteio::Put16(many, 0x44, 0x8664);
    byteio::Put16(many, 0x46, 0xFFFF);
    byteio::Put16(many, 0x54, 240);
    byteio::Put16(many, 0x58, 0x20B);
    byteio::Put32(many, 0x58 + 32, 0x1000);
    byteio::Put32(many, 0x58 + 36, 0x200);
    byteio::Put32(many, 0x58 + 60, headerSize);
    byteio::Put32(many, 0x58 + 108, 16);
    for (std::uint32_t i = 0; i < 0xFFFF; ++i) {
        byteio::Put32(many, table + 40 * i + 8, 0x1000);
        byteio::Put32(many, table + 40 * i + 12, 0x10000000u + 0x1000 * i);
    }
    ASSERT_TRUE(ParsePeImage(many).ok()) << ParsePeImage(many).error;
    bound = BindResources(many, {RecordOf(ResId::Ordinal(1), "x")});
    EXPECT_EQ(bound.error, "the image has 65535 sections, the most a COFF header can count (65535)");
}

TEST(BinderTest, MissingFilesAreReportedWithTheSystemsText)
{
    FixtureDir dir;
    const ToolOutcome outcome = BindResFile(dir / "none.res", dir / "none.exe");
    EXPECT_FALSE(outcome.ok);
    ASSERT_EQ(outcome.lines.size(), 1u);
    EXPECT_EQ(outcome.lines[0], "Error Cannot open file " + (dir / "none.res"));
}

}  // namespace
}  // namespace brevok

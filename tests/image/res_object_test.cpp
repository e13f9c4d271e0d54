// .res files turned into COFF objects: held byte for byte against llvm-cvtres for every
// machine, linked by GNU ld, ld.lld and lld-link into images whose resources llvm-readobj
// lists as it lists those of windres's objects, read back through the Windows loader under
// Wine; malformed and oversized inputs refused with the old output left as it was.
#include "image/res_object.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "image/res_file.h"
#include "pe_test_helpers.h"
#include "rules/little_endian.h"

namespace brevok {
namespace {

using fixtures::CompileRc;
using fixtures::FileExistsForTest;
using fixtures::FixtureDir;
using fixtures::ReadFixtureFile;
using fixtures::RunFixtureCommand;
using fixtures::WriteFixtureFile;

// A 2 x 1 24-bit bitmap file.
std::string BitmapFile()
{
    std::string info;
    auto put = [&info](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            info.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    put(40, 4), put(2, 4), put(1, 4), put(1, 2), put(24, 2), put(0, 4), put(8, 4), put(0, 4), put(0, 4), put(0, 4),
        put(0, 4);
    info += std::string("\x10\x20\x30\x40\x50\x60\0\0", 8);
    std::string file = "BM";
    const std::uint32_t size = static_cast<std::uint32_t>(14 + info.size());
    for (std::uint32_t v : {size, 0u, 14u + 40u})
        for (int i = 0; i < 4; ++i)
            file.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    return file + info;
}

// Bytes no two pieces of which are alike, so that a piece copied to the wrong place shows.
std::string Pattern(std::size_t size)
{
    std::string out(size, '\0');
    std::uint32_t x = 2463534242u;
    for (auto& c : out) {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        c = static_cast<char>(x);
    }
    return out;
}

constexpr std::size_t kBigSize = 1536 * 1024 + 3;  // more than one piece of the copy, odd

// A .res (llvm-rc's, records in script order, not in directory order) with icons under a
// number and a name, a bitmap, a string table, a version resource, a named type under two
// names and two languages (one name written in lower case) and data past 1 MB.
std::string SampleRes(const FixtureDir& dir)
{
    WriteFixtureFile(dir / "one.ico", petest::IconFile(0x40));
    WriteFixtureFile(dir / "two.ico", petest::IconFile(0x80));
    WriteFixtureFile(dir / "logo.bmp", BitmapFile());
    WriteFixtureFile(dir / "thing.bin", "thing data");
    WriteFixtureFile(dir / "big.bin", Pattern(kBigSize));
    return CompileRc(dir.path(), "sample",
                     "zeta MYTYPE \"thing.bin\"\n"
                     "1 ICON \"one.ico\"\n"
                     "AppIcon ICON \"two.ico\"\n"
                     "10 BITMAP \"logo.bmp\"\n"
                     "STRINGTABLE { 1, \"First string\"\n 2, \"Second\"\n 100, \"Hundred\" }\n"
                     "1 VERSIONINFO FILEVERSION 1,2,3,4 {\n"
                     " BLOCK \"StringFileInfo\" { BLOCK \"040904b0\" { VALUE \"FileDescription\", \"Probe\" } }\n"
                     " BLOCK \"VarFileInfo\" { VALUE \"Translation\", 0x409, 1200 } }\n"
                     "Big RCDATA \"big.bin\"\n"
                     "Thing MYTYPE \"thing.bin\"\n"
                     "LANGUAGE 7, 1\n"
                     "Thing MYTYPE { \"german thing\" }\n");
}

std::string WriteObject(const std::string& res, const std::string& object, CoffMachine machine)
{
    const Status written = WriteResObject(res, object, machine);
    EXPECT_TRUE(written.ok()) << written.error;
    return object;
}

struct MachineCase {
    CoffMachine machine;
    const char* cvtresName;     // llvm-cvtres's and lld-link's /machine:
    const char* relocation;     // what llvm-objdump -r calls the relocations
};

constexpr MachineCase kMachines[] = {
    {CoffMachine::I386, "x86", "IMAGE_REL_I386_DIR32NB"},
    {CoffMachine::X64, "x64", "IMAGE_REL_AMD64_ADDR32NB"},
    {CoffMachine::Arm64, "arm64", "IMAGE_REL_ARM64_ADDR32NB"},
    {CoffMachine::ArmNt, "arm", "IMAGE_REL_ARM_ADDR32NB"},
};

std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(ResObjectTest, EveryMachineGetsLlvmCvtresBytesAndLldLinkTakesThem)
{
    FixtureDir dir;
    const std::string res = SampleRes(dir);
    const std::size_t records = ParseResFile(ReadFixtureFile(res))->size();
    for (const MachineCase& m : kMachines) {
        SCOPED_TRACE(m.cvtresName);
        const std::string ours = WriteObject(res, dir / (std::string("ours_") + m.cvtresName + ".obj"), m.machine);
        const std::string theirs = dir / (std::string("cvtres_") + m.cvtresName + ".obj");
        RunFixtureCommand(std::string("llvm-cvtres /machine:") + m.cvtresName + " '/out:" + theirs + "' '" + res + "'");
        std::string a = ReadFixtureFile(ours);
        std::string b = ReadFixtureFile(theirs);
        ASSERT_EQ(a.size(), b.size());
        EXPECT_EQ(Get16(a, 0), CoffMachineCode(m.machine));
        // llvm-cvtres stamps the time (we write 0, for reproducible builds) and leaves the string
        // table's length 0 (we write 4, the field counting itself, as GNU windres writes it).
        EXPECT_EQ(Get32(a, 4), 0u);
        EXPECT_EQ(Get32(a, a.size() - 4), 4u);
        a.replace(4, 4, 4, '\0'), b.replace(4, 4, 4, '\0');
        a.replace(a.size() - 4, 4, 4, '\0'), b.replace(b.size() - 4, 4, 4, '\0');
        EXPECT_TRUE(a == b) << "the objects differ";

        const std::string relocations = RunFixtureCommand("llvm-objdump -r '" + ours + "'");
        EXPECT_EQ(Count(relocations, m.relocation), records) << relocations;
        const std::string ourDll = dir / (std::string("ours_") + m.cvtresName + ".dll");
        const std::string theirDll = dir / (std::string("cvtres_") + m.cvtresName + ".dll");
        for (const auto& [object, dll] : {std::pair{ours, ourDll}, std::pair{theirs, theirDll}})
            RunFixtureCommand(std::string("lld-link /machine:") + m.cvtresName + " /noentry /dll '/out:" + dll + "' '" +
                              object + "'");
        const std::string listing = petest::ResourceListing(ourDll);
        EXPECT_EQ(Count(listing, "Data ["), records) << listing;
        EXPECT_EQ(listing, petest::ResourceListing(theirDll));
    }
}

struct MingwCase {
    CoffMachine machine;
    const char* prefix;  // the mingw-w64 toolchain's
};

TEST(ResObjectTest, GnuLdAndLldLinkItAsTheyLinkWindresObjects)
{
    FixtureDir dir;
    const std::string res = SampleRes(dir);
    WriteFixtureFile(dir / "main.c", "int main(void) { return 0; }\n");
    for (const MingwCase& m : {MingwCase{CoffMachine::I386, "i686-w64-mingw32"},
                               MingwCase{CoffMachine::X64, "x86_64-w64-mingw32"}}) {
        SCOPED_TRACE(m.prefix);
        const std::string prefix = m.prefix;
        const std::string ours = WriteObject(res, dir / (prefix + "_ours.o"), m.machine);
        const std::string windres = dir / (prefix + "_windres.o");
        RunFixtureCommand(prefix + "-windres -J res -O coff '" + res + "' '" + windres + "'");
        auto link = [&](const std::string& object, const std::string& name, const std::string& linker) {
            const std::string exe = dir / (prefix + "_" + name + ".exe");
            RunFixtureCommand(prefix + "-gcc " + linker + " -o '" + exe + "' '" + (dir / "main.c") + "' '" + object + "'");
            return petest::ResourceListing(exe);
        };
        const std::string expected = link(windres, "windres", "");
        ASSERT_NE(expected.find("DataSize: " + std::to_string(kBigSize)), std::string::npos) << expected;
        EXPECT_EQ(link(ours, "ld", ""), expected);
        EXPECT_EQ(link(ours, "lld", "-fuse-ld=lld"), expected);
    }
}

// The resources a 64-bit program linked with our object finds through FindResourceEx,
// LoadResource and LoadString under Wine.
TEST(ResObjectTest, TheWindowsLoaderFindsEveryResourceOfALinkedProgram)
{
    FixtureDir dir;
    const std::string res = SampleRes(dir);
    const std::string object = WriteObject(res, dir / "probe_res.o", CoffMachine::X64);
    WriteFixtureFile(dir / "probe.c", R"(#include <windows.h>
#include <stdio.h>
static void show(const wchar_t *type, const wchar_t *name, WORD language)
{
    HRSRC found = FindResourceExW(NULL, type, name, language);
    if (!found) { printf("missing\n"); return; }
    const unsigned char *data = LockResource(LoadResource(NULL, found));
    DWORD size = SizeofResource(NULL, found), sum = 0;
    for (DWORD i = 0; i < size; ++i) sum = sum * 31 + data[i];
    printf("%lu %08lx\n", (unsigned long)size, (unsigned long)sum);
}
int main(void)
{
    wchar_t text[64];
    printf("probe\n");
    show(L"MYTYPE", L"thing", 0x409);
    show(L"MYTYPE", L"THING", 0x407);
    show(L"MYTYPE", L"Zeta", 0x409);
    show(MAKEINTRESOURCEW(10), L"BIG", 0x409);
    show(MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(10), 0x409);
    printf("%d\n", LoadStringW(NULL, 100, text, 64) == 7 && lstrcmpW(text, L"Hundred") == 0);
    printf("%d\n", LoadIconW(GetModuleHandleW(NULL), L"APPICON") != NULL);
    return 0;
}
)");
    const std::string exe = dir / "probe.exe";
    RunFixtureCommand("x86_64-w64-mingw32-gcc -o '" + exe + "' '" + (dir / "probe.c") + "' '" + object + "' -luser32");
    const std::string script = std::string(BREVOK_SOURCE_DIR) + "/scripts/wine-env.sh";
    // A prefix of its own in the build folder, made on the first run and kept: never ~/.wine.
    const std::string prefix = std::string(BREVOK_BIN_DIR) + "/../tests/wine-res-object";
    std::string got = RunFixtureCommand("cd '" + dir.path() + "' && . '" + script + "' > /dev/null && WINEPREFIX='" +
                                        prefix + "' WINEDEBUG=-all wine '" + exe + "' 2> /dev/null");
    // Wine says on its first run that it made its configuration.
    got.erase(0, got.find("probe\r\n"));
    auto line = [](const std::string& data) {
        std::uint32_t sum = 0;
        for (unsigned char c : data)
            sum = sum * 31 + c;
        char hex[16];
        std::snprintf(hex, sizeof hex, "%08x", sum);
        return std::to_string(data.size()) + " " + hex + "\r\n";
    };
    EXPECT_EQ(got, "probe\r\n" + line("thing data") + line("german thing") + line("thing data") + line(Pattern(kBigSize)) +
                       line(BitmapFile().substr(14)) + "1\r\n1\r\n");
}

ResRecord Record(ResId type, ResId name, std::string data, std::uint16_t language = 0x409)
{
    ResRecord r;
    r.type = std::move(type);
    r.name = std::move(name);
    r.language = language;
    r.data = std::move(data);
    return r;
}

struct BadInput {
    const char* what;
    std::function<void(const std::string& resPath)> make;
    const char* error;
};

TEST(ResObjectTest, BadInputsAreRefusedAndTheOldObjectStays)
{
    const ResRecord one = Record(ResId::Ordinal(kRtRcData), ResId::Ordinal(1), "abc");
    const BadInput cases[] = {
        {"no file", [](const std::string&) { }, "Cannot open file"},
        {"an empty file", [](const std::string& p) { WriteFixtureFile(p, ""); }, "the file is empty"},
        {"no empty opening record", [&](const std::string& p) { WriteFixtureFile(p, WriteResFile({one}).substr(0x20)); },
         "not a 32-bit resource file"},
        {"a truncated header",
         [&](const std::string& p) { WriteFixtureFile(p, WriteResFile({one}).substr(0, 0x20 + 12)); },
         "runs past the end of the file"},
        {"data past the end",
         [&](const std::string& p) {
             std::string bytes = WriteResFile({one});
             Put32(bytes, 0x20, 0x1000);
             WriteFixtureFile(p, bytes);
         },
         "data size 0x1000 runs past the end of the file"},
        {"the same resource twice",
         [&](const std::string& p) {
             WriteFixtureFile(p, WriteResFile({one, Record(ResId::Name(u"x"), ResId::Name(u"a"), "1"),
                                      Record(ResId::Name(u"X"), ResId::Name(u"A"), "2")}));
         },
         "resource X A (language 0x409) is given twice (records 2 and 3)"},
        {"more resources than relocations can count",
         [&](const std::string& p) {
             std::vector<ResRecord> many;
             for (std::uint32_t i = 0; i < 0x10000; ++i)
                 many.push_back(Record(ResId::Ordinal(static_cast<std::uint16_t>(1 + i / 0x8000)),
                                       ResId::Ordinal(static_cast<std::uint16_t>(i % 0x8000)), ""));
             WriteFixtureFile(p, WriteResFile(many));
         },
         "holds 65536 resources"},
        {"a name longer than 65535 characters",
         [&](const std::string& p) {
             WriteFixtureFile(p, WriteResFile({Record(ResId::Ordinal(kRtRcData), ResId::Name(std::u16string(0x10000, u'N')), "")}));
         },
         "a resource name of 65536 characters"},
        {"a .res of 4 GB",
         [&](const std::string& p) {
             WriteFixtureFile(p, WriteResFile({one}));
             std::filesystem::resize_file(p, std::uint64_t{1} << 32);  // sparse: takes no room
         },
         "the file takes 0x100000000 bytes"},
    };
    for (const BadInput& c : cases) {
        SCOPED_TRACE(c.what);
        FixtureDir dir;
        const std::string res = dir / "in.res";
        const std::string object = dir / "out.o";
        c.make(res);
        WriteFixtureFile(object, "old object");
        const Status written = WriteResObject(res, object, CoffMachine::X64);
        ASSERT_FALSE(written.ok());
        EXPECT_NE(written.error.find(c.error), std::string::npos) << written.error;
        EXPECT_EQ(ReadFixtureFile(object), "old object");
        std::size_t files = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
            ++files;
        EXPECT_EQ(files, FileExistsForTest(res) ? 2u : 1u) << "a temporary file was left behind";
    }
}

TEST(ResObjectTest, AnObjectThatCannotBeCreatedIsReportedByItsPath)
{
    FixtureDir dir;
    const std::string res = dir / "in.res";
    WriteFixtureFile(res, WriteResFile({Record(ResId::Ordinal(kRtRcData), ResId::Ordinal(1), "abc")}));
    const std::string object = dir / "missing/out.o";
    const Status written = WriteResObject(res, object, CoffMachine::I386);
    ASSERT_FALSE(written.ok());
    EXPECT_EQ(written.error, "Cannot create file " + object);
}

}  // namespace
}  // namespace brevok

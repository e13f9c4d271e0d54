// The REGEDIT4 file store: format, kept unknown data, set-aside of unreadable files, locking.
#include "registry/registry_file.h"

#include "platform/files.h"
#include "rules/paths.h"
#include "support/save_faults.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

using namespace brevok;
using brevok::testing::FaultyWriteLayer;
using brevok::testing::NamesIn;
using brevok::testing::ScratchFolder;

namespace {

RegistryTree TreeOf(const Parsed<RegistryTree>& parsed)
{
    if (!parsed)
        ADD_FAILURE() << "line " << parsed.line << ": " << parsed.error;
    return parsed ? *parsed : RegistryTree{};
}

std::string Dword(std::uint32_t n)
{
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<char>(n >> (8 * i));
    return bytes;
}

constexpr const char* kKey = "HKEY_CURRENT_USER\\Software\\Halvane\\BrevComp";

}  // namespace

TEST(RegistryText, ReadsEveryValueFormAndWritesItBackTheSame)
{
    const std::string text = "REGEDIT4\r\n\r\n"
                             "; written by hand\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Halvane\\BrevComp]\r\n"
                             "\"Install\"=\"C:\\\\Work \\\"A\\\"\\\\\"\r\n"
                             "@=\"default\"\r\n"
                             "\"Count\"=dword:0000002A\r\n"
                             "\"Bin\"=hex:01,ff,\\\r\n"
                             "  00\r\n"
                             "\"Expand\"=hex(2):25,41,25,00\r\n"
                             "\"Multi\"=hex(7):61,00,00,00\r\n"
                             "\"Empty\"=hex:\r\n"
                             "[HKEY_LOCAL_MACHINE\\Other]\r\n"
                             "\"x\"=\"y\"\r\n";
    const RegistryTree tree = TreeOf(ParseRegistryText(text));
    EXPECT_EQ(*tree.FindValue(kKey, "Install"), MakeStringValue("C:\\Work \"A\"\\"));
    EXPECT_EQ(*tree.FindValue(kKey, ""), MakeStringValue("default"));
    EXPECT_EQ(*tree.FindValue(kKey, "count"), (RegistryValue{kRegDword, Dword(42)}));
    EXPECT_EQ(*tree.FindValue(kKey, "Bin"), (RegistryValue{kRegBinary, std::string("\x01\xff\x00", 3)}));
    EXPECT_EQ(*tree.FindValue(kKey, "Expand"), (RegistryValue{kRegExpandSz, std::string("%A%\0", 4)}));
    EXPECT_EQ(tree.FindValue(kKey, "Multi")->type, 7u);
    EXPECT_EQ(*tree.FindValue(kKey, "Empty"), (RegistryValue{kRegBinary, ""}));
    EXPECT_TRUE(tree.HasKey("hkey_current_user\\software"));  // implied by the listed key
    EXPECT_FALSE(tree.HasKey("HKEY_CURRENT_USER\\Soft"));

    const std::string written = WriteRegistryText(tree);
    EXPECT_TRUE(written.starts_with("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Halvane\\BrevComp]\n"
                                    "\"Install\"=\"C:\\\\Work \\\"A\\\"\\\\\"\n@=\"default\"\n"))
        << written;
    EXPECT_NE(written.find("\"Count\"=dword:0000002a\n"), std::string::npos);
    EXPECT_NE(written.find("\"Expand\"=hex(2):25,41,25,00\n"), std::string::npos);
    const RegistryTree again = TreeOf(ParseRegistryText(written));
    ASSERT_EQ(again.keys.size(), tree.keys.size());
    for (std::size_t i = 0; i < tree.keys.size(); ++i) {
        EXPECT_EQ(again.keys[i].path, tree.keys[i].path);
        EXPECT_EQ(again.keys[i].values, tree.keys[i].values);
    }
}

TEST(RegistryText, TextsThatQuotingCannotCarryGoAsHexAndComeBackByteForByte)
{
    RegistryTree tree;
    auto& key = tree.AddKey(kKey);
    const std::vector<RegistryValue> values = {MakeStringValue("line\r\nbreak"),
                                               MakeStringValue(std::string("nul\0inside", 10)),
                                               {kRegSz, "no final nul"},
                                               {kRegSz, ""},
                                               MakeStringValue("\xff\xfe utf-8 \xc3\xa9"),
                                               {kRegDword, "abc"},
                                               {kRegBinary, std::string(300, '\x5a')}};
    for (std::size_t i = 0; i < values.size(); ++i)
        key.values.emplace_back("v" + std::to_string(i), values[i]);
    const std::string written = WriteRegistryText(tree);
    for (const auto& line : {std::string_view("\"v0\"=hex(1):"), std::string_view("\"v4\"=\"\xff\xfe")})
        EXPECT_NE(written.find(line), std::string::npos) << line;
    std::size_t longest = 0;
    for (std::size_t start = 0, end; start < written.size(); start = end + 1) {
        end = written.find('\n', start);
        longest = std::max(longest, end - start);
    }
    EXPECT_LE(longest, 80u);  // long hex lists are continued
    const RegistryTree again = TreeOf(ParseRegistryText(written));
    ASSERT_EQ(again.keys.size(), 3u);  // Software and Halvane are listed before their child
    EXPECT_EQ(again.keys[0].path, "HKEY_CURRENT_USER\\Software");
    EXPECT_EQ(again.keys[2].values, key.values);
}

TEST(RegistryText, MalformedFilesNameTheLineAndTheFault)
{
    struct Case {
        std::string text;
        std::size_t line;
        std::string fragment;
    };
    const std::vector<Case> cases = {
        {"REGEDIT5\n", 1, "REGEDIT4"},
        {"Windows Registry Editor Version 5.00\r\n", 1, "REGEDIT4"},
        {"REGEDIT4\n\"a\"=\"b\"\n", 2, "before the first [key]"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\X\n", 2, "]"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\\\X]\n", 2, "not a key path"},
        {"REGEDIT4\n[-HKEY_CURRENT_USER\\X]\n", 2, "deletion"},
        {"REGEDIT4\n[K]\n\"a\"=-\n", 3, "deletion"},
        {"REGEDIT4\n[K]\n\"a\"=\"C:\\dir\"\n", 3, "backslash"},
        {"REGEDIT4\n[K]\n\"a\"=\"open\n", 3, "closing quote"},
        {"REGEDIT4\n[K]\n\"a\"=\"x\" trailing\n", 3, "after the closing quote"},
        {"REGEDIT4\n[K]\n\"a\"\"b\"\n", 3, "\"=\""},
        {"REGEDIT4\n[K]\n\"a\"=dword:123456789\n", 3, "dword"},
        {"REGEDIT4\n[K]\n\"a\"=dword:\n", 3, "dword"},
        {"REGEDIT4\n[K]\n\"a\"=hex:01,2g\n", 3, "\"2g\""},
        {"REGEDIT4\n[K]\n\"a\"=hex:01,,02\n", 3, "hex byte"},
        {"REGEDIT4\n[K]\n\"a\"=hex:100\n", 3, "hex byte"},
        {"REGEDIT4\n[K]\n\"a\"=hex(:01\n", 3, "hex(N)"},
        {"REGEDIT4\n[K]\n\"a\"=hex:01,\\\n", 3, "no line follows"},
        {"REGEDIT4\n[K]\n\"a\"=str\n", 3, "unknown value data"},
        {"REGEDIT4\n[K]\njunk\n", 3, "a line must be"},
    };
    for (const auto& c : cases) {
        const auto error = ParseRegistryText(c.text);
        ASSERT_FALSE(error.ok()) << c.text;
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_NE(error.error.find(c.fragment), std::string::npos) << c.text << " -> " << error.error;
    }
    // An empty file is an empty registry, not a fault.
    EXPECT_TRUE(ParseRegistryText(" \r\n").ok());
}

TEST(RegistryFileStore, KeysAndValuesLiveInTheFileAndUnknownOnesAreKept)
{
    const ScratchFolder dir;
    const std::string sep(1, FolderSeparator());
    const std::string path = dir / ("sub" + sep + "dir" + sep + "registry.reg");  // missing folders are made
    {
        RegistryFile registry(path);
        EXPECT_EQ(registry.OpenUserKey("Software"), nullptr);
        EXPECT_FALSE(FileExists(path));  // reading creates nothing
        const auto software = registry.CreateUserKey("Software");
        ASSERT_NE(software, nullptr);
        EXPECT_EQ(software->OpenSubKey("Halvane\\BrevComp"), nullptr);
        EXPECT_EQ(software->CreateSubKey("\\bad"), nullptr);
        EXPECT_EQ(software->CreateSubKey("a\\\\b"), nullptr);
        const auto key = software->CreateSubKey("Halvane\\BrevComp");
        ASSERT_NE(key, nullptr);
        ASSERT_TRUE(key->WriteString("Install", "C:\\Work\\"));
        ASSERT_TRUE(key->WriteValue("Count", {kRegDword, Dword(7)}));
        EXPECT_FALSE(key->WriteString("bad\nname", "x"));
        EXPECT_EQ(key->QueryValue("INSTALL")->size, 9u);
        EXPECT_EQ(key->QueryValue("Count")->type, kRegDword);
        EXPECT_FALSE(key->QueryValue("Missing"));
        EXPECT_NE(registry.OpenUserKey("software\\halvane"), nullptr);
    }
    EXPECT_EQ(ReadFileBytes(path),
              "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n\n[HKEY_CURRENT_USER\\Software\\Halvane]\n\n"
              "[HKEY_CURRENT_USER\\Software\\Halvane\\BrevComp]\n\"Install\"=\"C:\\\\Work\\\\\"\n"
              "\"Count\"=dword:00000007\n\n");

    // A hand-edited file with keys, values and types the program does not know: a write
    // changes only its own value.
    const std::string handWritten =
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Other]\n\"Keep\"=hex(b):01,02,03,04,05,06,07,08\n\n"
        "[HKEY_CURRENT_USER\\Software\\Halvane\\BrevComp]\n\"Mine\"=\"old\"\n\"Theirs\"=\"t\"\n\n";
    WriteFileAtomically(path, handWritten);
    RegistryFile registry(path);
    ASSERT_TRUE(registry.CreateUserKey("Software\\Halvane\\BrevComp")->WriteString("mine", "new"));
    std::string expected = handWritten;
    expected.replace(expected.find("\"Mine\"=\"old\""), 12, "\"Mine\"=\"new\"");
    EXPECT_EQ(ReadFileBytes(path), expected);
    EXPECT_EQ(registry.TakeNotice(), "");
}

TEST(RegistryFileStore, AnUnreadableFileIsSetAsideToldOnceAndNeverOverwritten)
{
    const ScratchFolder dir;
    const std::string path = dir / "registry.reg";
    const std::string bad = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n\"Install\"=\"C:\\Work\"\n";
    dir.Write("registry.reg", bad);
    RegistryFile registry(path);
    EXPECT_EQ(registry.OpenUserKey("Software"), nullptr);  // carries on as empty

    const auto names = NamesIn(dir.Path());
    ASSERT_EQ(names.size(), 2u);  // the lock file and the set-aside file, nothing else
    EXPECT_TRUE(names[0].starts_with("registry.reg.bad-")) << names[0];
    EXPECT_EQ(names[0].size(), std::string("registry.reg.bad-YYYYMMDD-HHMMSS").size());
    EXPECT_EQ(ReadFileBytes(dir / names[0]), bad);

    const std::string notice = registry.TakeNotice();
    EXPECT_NE(notice.find(path + " could not be read (line 4: "), std::string::npos) << notice;
    EXPECT_NE(notice.find(dir / names[0]), std::string::npos) << notice;
    EXPECT_EQ(registry.TakeNotice(), "");

    ASSERT_TRUE(registry.CreateUserKey("Software")->WriteString("Install", "x"));
    EXPECT_EQ(ReadFileBytes(dir / names[0]), bad);
    EXPECT_EQ(NamesIn(dir.Path()).size(), 3u);

    // A bad file that cannot be moved aside stays untouched, and the store writes nothing.
    const ScratchFolder other;
    const std::string stuckPath = other.Write("registry.reg", bad);
    const FaultyWriteLayer noRename(FaultyWriteLayer::Step::Rename);
    RegistryFile stuck(stuckPath, noRename);
    EXPECT_EQ(stuck.CreateUserKey("Software"), nullptr);
    EXPECT_EQ(stuck.CreateUserKey("Software"), nullptr);
    EXPECT_EQ(ReadFileBytes(stuckPath), bad);
    const std::string stuckNotice = stuck.TakeNotice();
    EXPECT_NE(stuckNotice.find("could not be renamed aside"), std::string::npos) << stuckNotice;
    EXPECT_EQ(stuckNotice.find('\r'), stuckNotice.rfind('\r'));  // told once
}

TEST(RegistryFileStore, AFailedWriteLeavesTheFileAsItWas)
{
    const ScratchFolder dir;
    const std::string path = dir / "registry.reg";
    ASSERT_TRUE(RegistryFile(path).CreateUserKey("Software")->WriteString("A", "1"));
    const std::string before = ReadFileBytes(path);
    const FaultyWriteLayer failing(FaultyWriteLayer::Step::Write);
    RegistryFile registry(path, failing);
    EXPECT_EQ(registry.CreateUserKey("Software\\New"), nullptr);
    const auto software = registry.CreateUserKey("Software");  // exists: nothing to write
    ASSERT_NE(software, nullptr);
    EXPECT_FALSE(software->WriteString("A", "2"));
    EXPECT_TRUE(software->WriteString("A", "1"));  // unchanged: nothing to write
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(NamesIn(dir.Path()), (std::vector<std::string>{"registry.reg", "registry.reg.lock"}));
}

TEST(RegistryFileStore, ConcurrentWritersUnderTheLockLoseNothing)
{
    const ScratchFolder dir;
    const std::string path = dir / "registry.reg";
    constexpr int kWriters = 4;
    constexpr int kValues = 15;
    std::vector<std::thread> threads;
    for (int w = 0; w < kWriters; ++w) {
        threads.emplace_back([&, w] {
            RegistryFile registry(path);  // its own store, as another program would have
            const auto key = registry.CreateUserKey("Software\\Writer" + std::to_string(w));
            for (int v = 0; v < kValues; ++v)
                EXPECT_TRUE(key && key->WriteString("v" + std::to_string(v), std::to_string(w * 100 + v)));
        });
    }
    for (auto& t : threads)
        t.join();
    const RegistryTree tree = TreeOf(ParseRegistryText(ReadFileBytes(path)));
    for (int w = 0; w < kWriters; ++w) {
        for (int v = 0; v < kValues; ++v) {
            const auto* value =
                tree.FindValue("HKEY_CURRENT_USER\\Software\\Writer" + std::to_string(w), "v" + std::to_string(v));
            ASSERT_NE(value, nullptr) << w << " " << v;
            EXPECT_EQ(*value, MakeStringValue(std::to_string(w * 100 + v)));
        }
    }
}

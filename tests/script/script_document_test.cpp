// The script document: its file format byte for byte, change notices and the modified mark.
#include "script/script_document.h"

#include "rules/errors.h"
#include "platform/files.h"
#include "support/save_faults.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

using namespace brevok;
using brevok::testing::ErrorText;
using brevok::testing::FaultyWriteLayer;
using brevok::testing::ScratchFolder;
using Lines = std::vector<std::string>;

namespace {

struct ParseCase {
    std::string bytes;
    Lines lines;
};

const std::vector<ParseCase>& ParseCases()
{
    static const std::vector<ParseCase> cases = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"\r\n", {""}},
        {"\n\n", {"", ""}},
        {"\r\n\r\n x \r\n\r\n", {"", "", " x ", ""}},
        {std::string("a\nb\0c\nd", 7), {"a", "b"}},
        {std::string("a\r\0\nb", 5), {"a"}},
        {std::string("\0a", 2), {}},
        {"\xef\xbb\xbf"
         "a\tb\xff\n",
         {"\xef\xbb\xbf"
          "a\tb\xff"}},  // a BOM is just bytes of line 1
    };
    return cases;
}

}  // namespace

TEST(ScriptFormat, LineEndsAndTheNulByte)
{
    for (const auto& c : ParseCases())
        EXPECT_EQ(ParseScriptText(c.bytes), c.lines) << ::testing::PrintToString(c.bytes);
}

TEST(ScriptFormat, PiecesCutAnywhereGiveTheSameLines)
{
    for (const auto& c : ParseCases()) {
        for (std::size_t cut = 0; cut <= c.bytes.size(); ++cut) {
            LineSplitter splitter = ScriptLineSplitter();
            const std::string_view bytes = c.bytes;
            if (splitter.Feed(bytes.substr(0, cut)))
                splitter.Feed(bytes.substr(cut));
            EXPECT_EQ(splitter.Finish(), c.lines) << ::testing::PrintToString(c.bytes) << " cut at " << cut;
        }
        LineSplitter bytewise = ScriptLineSplitter();
        for (const char ch : c.bytes) {
            bytewise.Feed(std::string_view(&ch, 1));
            bytewise.Feed("");  // an empty piece changes nothing, not even a pending CR
        }
        EXPECT_EQ(bytewise.Finish(), c.lines) << ::testing::PrintToString(c.bytes) << " byte by byte";
    }
}

TEST(ScriptFile, RoundTripsByteForByte)
{
    const ScratchFolder dir;
    const std::string path = dir / "app.rc";
    // Every byte but CR, LF and NUL can be in a line; a CR LF straddles the read pieces.
    std::string all;
    for (int b = 1; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            all.push_back(static_cast<char>(b));
    }
    const std::string longLine((std::size_t{1} << 20) - 1, 'L');
    const Lines lines = {"\xef\xbb\xbf"
                         "first",
                         "",
                         all,
                         "  indented\t",
                         longLine,
                         "last"};

    ScriptDocument doc;
    doc.Reset(lines);
    SaveScriptLines(doc, path);
    std::string expected;
    for (const auto& line : lines)
        expected += line + "\r\n";
    EXPECT_EQ(ReadFileBytes(path), expected);

    ScriptDocument loaded;
    LoadScriptLines(loaded, path);
    EXPECT_EQ(loaded.Lines(), lines);
    SaveScriptLines(loaded, path);
    EXPECT_EQ(ReadFileBytes(path), expected);

    // Foreign line ends are read and written back as CR LF; no lines is a 0-byte file.
    dir.Write("unix.rc", std::string("one\ntwo\rthree\n\rfour\0gone", 24));
    LoadScriptLines(loaded, dir / "unix.rc");
    SaveScriptLines(loaded, dir / "unix.rc");
    EXPECT_EQ(ReadFileBytes(dir / "unix.rc"), "one\r\ntwo\r\nthree\r\n\r\nfour\r\n");
    loaded.Clear();
    SaveScriptLines(loaded, path);
    EXPECT_EQ(ReadFileBytes(path), "");
    loaded.Append("x");
    LoadScriptLines(loaded, path);
    EXPECT_TRUE(loaded.Empty());
}

TEST(ScriptFile, EditsOfALoadedFileAreSavedAsTheLinesRead)
{
    // Edits go to the buffer's end and, past 64 KB of dropped lines, the buffer is compacted;
    // after each kind the lines and the saved bytes must still be the document's own, which
    // a plain list of strings keeps alongside.
    const ScratchFolder dir;
    const std::string path = dir / "app.rc";
    std::string file;
    Lines model;
    for (int i = 0; i < 3000; ++i) {
        model.push_back("Line" + std::to_string(i) + std::string(60, 'x'));
        file += model.back() + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
    }
    dir.Write("app.rc", file);
    ScriptDocument doc;
    LoadScriptLines(doc, path);
    const auto check = [&](const char* after) {
        ASSERT_EQ(doc.Lines(), model) << after;
        SaveScriptLines(doc, path);
        std::string expected;
        for (const auto& line : model)
            expected += line + "\r\n";
        EXPECT_EQ(ReadFileBytes(path), expected) << after;
    };
    check("loading lines ending in CR LF, LF and CR");
    doc.Replace(5, "short");
    model[5] = "short";
    doc.Remove(7);
    model.erase(model.begin() + 7);
    doc.Append("appended");
    model.push_back("appended");
    doc.Replace(0, doc.Line(1));  // a line of the document itself
    model[0] = model[1];
    check("a few edits");
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i = 0; i < model.size(); ++i) {
            model[i] += "+";
            doc.Replace(i, model[i]);
        }
    }
    check("every line replaced twice, which compacts the buffer");
    LoadScriptLines(doc, path);
    check("loading the saved file");
}

TEST(ScriptFile, FailuresKeepTheFileAndTheLines)
{
    const ScratchFolder dir;
    const std::string missing = dir / "missing.rc";
    ScriptDocument doc;
    doc.Reset({"kept"});
    EXPECT_EQ(ErrorText([&] { LoadScriptLines(doc, missing); }), "Cannot open file " + missing);
    EXPECT_EQ(doc.Lines(), Lines{"kept"});

    const std::string path = dir.Write("app.rc", "old\r\n");
    doc.Append("more");
    const FaultyWriteLayer failing(FaultyWriteLayer::Step::Write);
    EXPECT_EQ(ErrorText([&] { SaveScriptLines(doc, path, failing); }), "Stream write error");
    EXPECT_EQ(ReadFileBytes(path), "old\r\n");
    EXPECT_EQ(doc.Lines(), (Lines{"kept", "more"}));
    EXPECT_TRUE(doc.Modified());  // not saved, so still changed

    const std::string noFolder = dir / "gone/app.rc";
    EXPECT_EQ(ErrorText([&] { SaveScriptLines(doc, noFolder); }), "Cannot create file " + noFolder);
    EXPECT_TRUE(doc.Modified());
}

TEST(ScriptDocument, TellsListenersAndTracksChangesSinceLoadOrSave)
{
    const ScratchFolder dir;
    const std::string path = dir.Write("app.rc", "a\r\nb\r\n");
    ScriptDocument doc;
    std::vector<std::pair<ScriptChange::Kind, std::size_t>> seen;
    const int id = doc.AddListener([&](const ScriptChange& c) { seen.emplace_back(c.kind, c.index); });
    int otherCalls = 0;
    doc.AddListener([&](const ScriptChange&) { ++otherCalls; });

    using K = ScriptChange::Kind;
    LoadScriptLines(doc, path);
    EXPECT_FALSE(doc.Modified());
    doc.Append("c");
    EXPECT_TRUE(doc.Modified());
    SaveScriptLines(doc, path);
    EXPECT_FALSE(doc.Modified());
    doc.Replace(0, "A");
    EXPECT_TRUE(doc.Modified());
    LoadScriptLines(doc, path);  // loading forgets unsaved changes
    EXPECT_FALSE(doc.Modified());
    doc.Remove(1);
    EXPECT_THROW(doc.Remove(5), std::out_of_range);
    EXPECT_THROW(doc.Replace(5, "x"), std::out_of_range);
    EXPECT_EQ(doc.Lines(), (Lines{"a", "c"}));
    doc.MarkSaved();
    doc.MarkModified();  // typing in the list marks it without changing a line
    EXPECT_TRUE(doc.Modified());
    doc.Clear();
    EXPECT_FALSE(doc.Modified());

    const std::vector<std::pair<K, std::size_t>> expected = {{K::Reset, 0}, {K::Inserted, 2}, {K::Replaced, 0},
                                                             {K::Reset, 0}, {K::Removed, 1},  {K::Reset, 0}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(otherCalls, 6);
    doc.RemoveListener(id);
    doc.Append("z");
    EXPECT_EQ(seen.size(), expected.size());
    EXPECT_EQ(otherCalls, 7);
}

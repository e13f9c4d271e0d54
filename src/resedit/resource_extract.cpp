// Extracting resources as files and a script, and checking that the script compiles back.
#include "resedit/resource_extract.h"

#include <map>
#include <set>

#include "image/res_file.h"
#include "image/resource_merge.h"
#include "rules/errors.h"
#include "platform/files.h"
#include "rccompiler/icon_files.h"
#include "rccompiler/rc_tokens.h"
#include "rcdriver/pipeline.h"
#include "resedit/string_block.h"
#include "resedit/version_tree.h"
#include "rules/ascii.h"
#include "rules/hex.h"
#include "rules/little_endian.h"
#include "rules/unicode.h"

namespace brevok {

using byteio::Append16;
using byteio::Append32;
using byteio::Get16;
using byteio::Get32;

namespace {


bool IsOrdinal(const ResId& id, std::uint16_t value)
{
    return id.isOrdinal && id.ordinal == value;
}

bool IsGroup(const ResId& type)
{
    return IsOrdinal(type, kRtGroupIcon) || IsOrdinal(type, kRtGroupCursor);
}

std::uint16_t MemberType(const ResId& groupType)
{
    return IsOrdinal(groupType, kRtGroupIcon) ? kRtIcon : kRtCursor;
}

// A name or type as a script word: a number, or a name the compiler reads back unchanged as
// an identifier (it upper-cases identifiers; BEGIN and END are no names). Ordinal 0 has none:
// "0" is read as a name, as rc.exe reads it.
std::string ScriptWord(const ResId& id)
{
    if (id.isOrdinal)
        return id.ordinal == 0 ? std::string() : std::to_string(id.ordinal);
    std::string word;
    for (char16_t c : id.name) {
        if (c >= 0x80 || (c >= u'a' && c <= u'z') || !IsIdentifierPart(static_cast<char>(c)))
            return {};
        word += static_cast<char>(c);
    }
    if (word.empty() || !IsIdentifierStart(word[0]) || word == "BEGIN" || word == "END")
        return {};
    return word;
}

// A name or type as part of a file name: letters, digits and underscores only.
std::string FileTag(const ResId& id)
{
    if (id.isOrdinal)
        return std::to_string(id.ordinal);
    std::string tag;
    for (char16_t c : id.name)
        tag += (c < 0x80 && IsAsciiAlnum(static_cast<char>(c))) ? static_cast<char>(c) : '_';
    return tag;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = AsciiLower(c);
    return text;
}

std::string TypeTag(const ResId& type)
{
    if (!type.isOrdinal)
        return FileTag(type);
    switch (type.ordinal) {
    case kRtVersion: return "version";
    case kRtString: return "string";
    case kRtManifest: return "manifest";
    case kRtGroupIcon: return "icon";
    case kRtGroupCursor: return "cursor";
    case kRtBitmap: return "bitmap";
    default: {
        const std::string keyword = DescribeResType(type);
        return keyword[0] == '#' ? "type" + std::to_string(type.ordinal) : Lower(keyword);
    }
    }
}

const ResourceLeaf* FindMember(const std::vector<ResourceLeaf>& leaves, std::uint16_t type, std::uint16_t id,
                               std::uint16_t language)
{
    const ResourceLeaf* any = nullptr;
    for (const ResourceLeaf& leaf : leaves) {
        if (!IsOrdinal(leaf.type, type) || !IsOrdinal(leaf.name, id))
            continue;
        if (leaf.language == language)
            return &leaf;
        if (!any)
            any = &leaf;
    }
    return any;
}

// An .ico or .cur file from a group directory and its member images; none when the group is
// malformed or names an image the program does not have. A cursor's images start with their
// hot spot, which the file keeps in its directory entry instead.
std::optional<std::string> IconFile(const std::vector<ResourceLeaf>& leaves, const ResourceLeaf& group)
{
    const bool cursor = IsOrdinal(group.type, kRtGroupCursor);
    auto ids = GroupMembers(group.data);
    if (!ids)
        return std::nullopt;
    std::vector<std::string_view> images;
    for (std::uint16_t id : *ids) {
        const ResourceLeaf* member = FindMember(leaves, MemberType(group.type), id, group.language);
        if (!member || (cursor && member->data.size() < 4))
            return std::nullopt;
        images.push_back(member->data);
    }
    std::string file;
    Append16(file, 0);
    Append16(file, cursor ? 2 : 1);
    Append16(file, static_cast<std::uint16_t>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const std::string_view entry = group.data.substr(kGroupHeaderSize + kGroupEntrySize * i, kGroupEntrySize);
        const std::string_view image = cursor ? images[i].substr(4) : images[i];
        if (cursor) {
            // GRPCURSORDIR's entry: width and doubled height in 16 bits; the file's: bytes.
            file += static_cast<char>(Get16(entry, 0) & 0xFF);
            file += static_cast<char>((Get16(entry, 2) / 2) & 0xFF);
            Append16(file, 0);
            Append16(file, Get16(images[i], 0));
            Append16(file, Get16(images[i], 2));
        } else {
            file += entry.substr(0, 8);
        }
        Append32(file, static_cast<std::uint32_t>(image.size()));
        Append32(file, offset);
        offset += static_cast<std::uint32_t>(image.size());
    }
    for (std::size_t i = 0; i < images.size(); ++i)
        file += cursor ? images[i].substr(4) : images[i];
    return file;
}

// A .bmp file: the BITMAPFILEHEADER a BITMAP resource drops, then the resource.
std::optional<std::string> BitmapFile(std::string_view dib)
{
    if (dib.size() < 16)
        return std::nullopt;
    const std::uint32_t headerSize = Get32(dib, 0);
    std::uint64_t bits = headerSize;
    if (headerSize == 12) {
        const std::uint16_t bitCount = Get16(dib, 10);
        bits += bitCount <= 8 ? 3u << bitCount : 0;
    } else if (dib.size() >= 40 && headerSize >= 40) {
        const std::uint16_t bitCount = Get16(dib, 14);
        const std::uint32_t used = Get32(dib, 32);
        bits += 4ull * (used ? used : (bitCount <= 8 ? 1u << bitCount : 0));
        if (headerSize == 40 && Get32(dib, 16) == 3)  // BI_BITFIELDS: three masks follow
            bits += 12;
    } else {
        return std::nullopt;
    }
    std::string file = "BM";
    Append32(file, static_cast<std::uint32_t>(kBitmapFileHeaderSize + dib.size()));
    Append32(file, 0);
    Append32(file, static_cast<std::uint32_t>(std::min<std::uint64_t>(kBitmapFileHeaderSize + bits, 0xFFFFFFFF)));
    file += dib;
    return file;
}

// A string literal the compiler reads back as `text`: plain when it is printable ASCII, else
// a wide string with every other character as a four-digit escape.
std::string Literal(std::u16string_view text)
{
    bool plain = true;
    for (char16_t c : text)
        plain = plain && c >= 0x20 && c < 0x7F;
    std::string out = plain ? "\"" : "L\"";
    for (char16_t c : text) {
        if (c == u'"')
            out += "\"\"";
        else if (c == u'\\')
            out += "\\\\";
        else if (c >= 0x20 && c < 0x7F)
            out += static_cast<char>(c);
        else
            out += "\\x" + HexDigits(c, HexLetters::Upper, 4);
    }
    return out + "\"";
}

std::u16string Utf16Of(std::string_view bytes, bool toFirstZero)
{
    std::u16string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char16_t c = Get16(bytes, i);
        if (c == 0 && toFirstZero)
            break;
        text.push_back(c);
    }
    return text;
}

std::string Version(std::string_view fixed, std::size_t at)
{
    const std::uint32_t ms = Get32(fixed, at);
    const std::uint32_t ls = Get32(fixed, at + 4);
    return std::to_string(ms >> 16) + "," + std::to_string(ms & 0xFFFF) + "," + std::to_string(ls >> 16) + "," +
           std::to_string(ls & 0xFFFF);
}

// A node below the root: StringFileInfo, VarFileInfo and the string tables as blocks, the
// strings as text values, the variables (Translation) as 16-bit numbers.
void WriteVersionNode(const VersionNode& node, int depth, bool inStrings, std::string& out)
{
    const std::string indent(4 * depth, ' ');
    const std::string key = Literal(node.key);
    const bool isBlock = depth == 1 || (depth == 2 && inStrings);
    if (isBlock) {
        out += indent + "BLOCK " + key + "\r\n" + indent + "BEGIN\r\n";
        for (const VersionNode& child : node.children)
            WriteVersionNode(child, depth + 1, inStrings || node.key == u"StringFileInfo", out);
        out += indent + "END\r\n";
        return;
    }
    if (inStrings) {
        out += indent + "VALUE " + key + ", " + Literal(Utf16Of(node.value, true)) + "\r\n";
        return;
    }
    out += indent + "VALUE " + key;
    for (std::size_t i = 0; i + 1 < node.value.size(); i += 2)
        out += ", 0x" + HexDigits(Get16(node.value, i), HexLetters::Upper, 1);
    out += "\r\n";
}

// A VERSIONINFO statement for the resource; none when its fixed information cannot be said.
std::optional<std::string> VersionStatement(const std::string& name, std::string_view data)
{
    Parsed<VersionTree> tree = VersionTree::Parse(data);
    if (!tree)
        return std::nullopt;
    const VersionNode& root = tree->Root();
    const std::string& fixed = root.value;
    if (root.key != u"VS_VERSION_INFO" || fixed.size() != 52 || Get32(fixed, 0) != 0xFEEF04BD)
        return std::nullopt;
    auto flag = [&](const char* word, std::size_t at) {
        return std::string(word) + " 0x" + HexDigits(Get32(fixed, at), HexLetters::Upper, 1) + "L\r\n";
    };
    std::string out = name + " VERSIONINFO\r\n";
    out += "FILEVERSION " + Version(fixed, 8) + "\r\n";
    out += "PRODUCTVERSION " + Version(fixed, 16) + "\r\n";
    out += flag("FILEFLAGSMASK", 24) + flag("FILEFLAGS", 28) + flag("FILEOS", 32) + flag("FILETYPE", 36) +
           flag("FILESUBTYPE", 40);
    out += "BEGIN\r\n";
    for (const VersionNode& child : root.children)
        WriteVersionNode(child, 1, false, out);
    return out + "END\r\n";
}

// A STRINGTABLE statement for one block; none when the block is named by a string.
std::optional<std::string> StringStatement(const ResourceLeaf& leaf)
{
    if (!leaf.name.isOrdinal || leaf.name.ordinal == 0)
        return std::nullopt;
    const StringBlock block = ReadStringBlock(leaf.data);
    std::string out = "STRINGTABLE\r\nBEGIN\r\n";
    for (std::size_t i = 0; i < block.size(); ++i) {
        if (!block[i].empty())
            out += "    " + std::to_string((leaf.name.ordinal - 1) * 16 + i) + ", " + Literal(block[i]) + "\r\n";
    }
    return out + "END\r\n";
}

std::string LanguageStatement(std::uint16_t language)
{
    return "LANGUAGE 0x" + HexDigits(language & 0x3FF, HexLetters::Upper, 1) + ", 0x" +
           HexDigits(language >> 10, HexLetters::Upper, 1) + "\r\n";
}

std::string KeyOf(const ResId& type, const ResId& name, std::uint16_t language)
{
    return DescribeResType(type) + " " + DescribeResId(name) + " language " + HexDigits(language, HexLetters::Upper, 4);
}

// Each resource as a compiler gives it back, by key: a group as its entries with their
// images' bytes in place of the member ids; the images a group lists not on their own.
std::map<std::string, std::string> Normalized(const std::vector<ResourceLeaf>& leaves)
{
    std::set<std::pair<std::uint16_t, std::uint16_t>> members;
    for (const ResourceLeaf& leaf : leaves)
        if (IsGroup(leaf.type))
            for (std::uint16_t id : GroupMembers(leaf.data).value_or(std::vector<std::uint16_t>{}))
                members.insert({MemberType(leaf.type), id});
    std::map<std::string, std::string> out;
    for (const ResourceLeaf& leaf : leaves) {
        if (leaf.type.isOrdinal && leaf.name.isOrdinal && members.count({leaf.type.ordinal, leaf.name.ordinal}))
            continue;
        std::string content(leaf.data);
        if (auto ids = IsGroup(leaf.type) ? GroupMembers(leaf.data) : std::nullopt) {
            content = leaf.data.substr(0, kGroupHeaderSize);
            for (std::size_t i = 0; i < ids->size(); ++i) {
                content += leaf.data.substr(kGroupHeaderSize + kGroupEntrySize * i, kGroupEntrySize - 2);
                const ResourceLeaf* m = FindMember(leaves, MemberType(leaf.type), (*ids)[i], leaf.language);
                content += m ? std::string(m->data) : std::string("(missing image)");
            }
        }
        out[KeyOf(leaf.type, leaf.name, leaf.language)] = std::move(content);
    }
    return out;
}

void WriteWholeFile(const std::string& path, std::string_view bytes)
{
    AtomicFileWriter writer(path);
    writer.Write(bytes);
    writer.Commit();
}

class Extractor {
public:
    Extractor(const std::vector<ResourceLeaf>& leaves, std::string folder, ExtractStyle style)
        : leaves_(leaves), folder_(std::move(folder)), style_(style)
    { }

    Extraction Run(const std::string& programName);

private:
    void Add(const ResourceLeaf& leaf, const std::set<std::pair<std::uint16_t, std::uint16_t>>& members);
    void AsFile(ExtractedItem& item, const ResourceLeaf& leaf, std::string_view bytes, const std::string& extension,
                std::string typeWord);
    std::string FileName(const ResourceLeaf& leaf, const std::string& extension);
    std::string Script(const std::string& programName) const;
    std::map<std::string, std::string> CompileBack(const std::string& script, std::vector<std::string>& notes) const;

    const std::vector<ResourceLeaf>& leaves_;
    std::string folder_;
    ExtractStyle style_;
    std::vector<ExtractedItem> items_;
    std::vector<const ResourceLeaf*> sources_;
    std::set<std::string> fileNames_;
    std::vector<std::string> notes_;
};

std::string Extractor::FileName(const ResourceLeaf& leaf, const std::string& extension)
{
    std::size_t languages = 0;
    for (const ResourceLeaf& other : leaves_)
        languages += other.type == leaf.type && other.name == leaf.name;
    std::string base = TypeTag(leaf.type) + "_" + FileTag(leaf.name);
    if (languages > 1)
        base += "_" + HexDigits(leaf.language, HexLetters::Lower, 4);
    std::string name = base + extension;
    // Files for the window's list go beside the user's own: none of those is overwritten.
    auto taken = [&](const std::string& candidate) {
        return fileNames_.count(Lower(candidate)) ||
               (style_ == ExtractStyle::FilesOnly && PathExists(folder_ + "/" + candidate));
    };
    for (int n = 2; taken(name); ++n)
        name = base + "_" + std::to_string(n) + extension;
    fileNames_.insert(Lower(name));
    return name;
}

void Extractor::AsFile(ExtractedItem& item, const ResourceLeaf& leaf, std::string_view bytes,
                       const std::string& extension, std::string typeWord)
{
    item.file = FileName(leaf, extension);
    item.typeWord = std::move(typeWord);
    WriteWholeFile(folder_ + "/" + item.file, bytes);
    if (item.nameWord.empty() || item.typeWord.empty()) {
        notes_.push_back("resource " + KeyOf(leaf.type, leaf.name, leaf.language) + " is in " + item.file +
                         ", but a script cannot name it (its name or type is not a plain word)");
        item.statement.clear();
        return;
    }
    item.statement = item.nameWord + " " + item.typeWord + " \"" + item.file + "\"\r\n";
}

void Extractor::Add(const ResourceLeaf& leaf, const std::set<std::pair<std::uint16_t, std::uint16_t>>& members)
{
    if (leaf.type.isOrdinal && leaf.name.isOrdinal && members.count({leaf.type.ordinal, leaf.name.ordinal}))
        return;  // written inside its group's file
    ExtractedItem item{leaf.type, leaf.name, leaf.language, {}, ScriptWord(leaf.name), {}, {}};
    sources_.push_back(&leaf);
    const std::string typed = ScriptWord(leaf.type);
    if (IsGroup(leaf.type)) {
        const bool cursor = IsOrdinal(leaf.type, kRtGroupCursor);
        if (auto file = IconFile(leaves_, leaf))
            AsFile(item, leaf, *file, cursor ? ".cur" : ".ico", cursor ? "CURSOR" : "ICON");
        else
            AsFile(item, leaf, leaf.data, ".bin", typed);
    } else if (IsOrdinal(leaf.type, kRtBitmap)) {
        if (auto file = BitmapFile(leaf.data))
            AsFile(item, leaf, *file, ".bmp", "BITMAP");
        else
            AsFile(item, leaf, leaf.data, ".bin", typed);
    } else if (IsOrdinal(leaf.type, kRtManifest)) {
        AsFile(item, leaf, leaf.data, ".manifest", typed);
    } else {
        std::optional<std::string> statement;
        if (style_ == ExtractStyle::Statements && IsOrdinal(leaf.type, kRtVersion) && !item.nameWord.empty())
            statement = VersionStatement(item.nameWord, leaf.data);
        else if (style_ == ExtractStyle::Statements && IsOrdinal(leaf.type, kRtString))
            statement = StringStatement(leaf);
        if (statement)
            item.statement = std::move(*statement);
        else
            AsFile(item, leaf, leaf.data, ".bin", typed);
    }
    items_.push_back(std::move(item));
}

std::string Extractor::Script(const std::string& programName) const
{
    std::string out = "// The resources of " + programName + ", extracted by brc32 --extract.\r\n";
    std::optional<std::uint16_t> language;
    for (const ExtractedItem& item : items_) {
        if (item.statement.empty())
            continue;
        if (language != item.language) {
            out += "\r\n" + LanguageStatement(item.language);
            language = item.language;
        }
        out += item.statement;
    }
    return out;
}

std::map<std::string, std::string> Extractor::CompileBack(const std::string& script, std::vector<std::string>& notes) const
{
    const std::string res = folder_ + "/.resources.check.res";
    const ToolOutcome compiled = CompileResourceScript(script, res);
    std::map<std::string, std::string> out;
    if (!compiled.ok) {
        notes.insert(notes.end(), compiled.lines.begin(), compiled.lines.end());
        return out;
    }
    const std::string bytes = ReadFileBytes(res);
    DeleteFileQuietly(res);
    auto records = ParseResFileViews(bytes);
    if (!records) {
        notes.push_back("the compiled script cannot be read back: " + records.error);
        return out;
    }
    std::vector<ResourceLeaf> leaves;
    for (const ResRecordView& r : *records)
        leaves.push_back({r.type, r.name, r.language, 0, r.data});
    return Normalized(leaves);
}

Extraction Extractor::Run(const std::string& programName)
{
    if (!CreateFolders(folder_))
        throw CannotCreateFile(folder_);
    std::set<std::pair<std::uint16_t, std::uint16_t>> members;
    for (const ResourceLeaf& leaf : leaves_)
        if (IsGroup(leaf.type) && IconFile(leaves_, leaf))
            for (std::uint16_t id : GroupMembers(leaf.data).value_or(std::vector<std::uint16_t>{}))
                members.insert({MemberType(leaf.type), id});
    for (const ResourceLeaf& leaf : leaves_)
        Add(leaf, members);
    if (style_ == ExtractStyle::FilesOnly)
        return Extraction{std::move(items_), std::move(notes_)};
    const std::map<std::string, std::string> expected = Normalized(leaves_);
    const std::string script = folder_ + "/" + kExtractedScriptName;
    // A statement the compiler does not give back byte for byte becomes its typed file; a
    // second compile shows what still differs.
    for (int round = 0; round < 2; ++round) {
        WriteWholeFile(script, Script(programName));
        std::vector<std::string> compileNotes;
        const std::map<std::string, std::string> actual = CompileBack(script, compileNotes);
        bool changed = false;
        std::vector<std::string> differences = compileNotes;
        for (std::size_t i = 0; i < items_.size(); ++i) {
            ExtractedItem& item = items_[i];
            if (item.statement.empty())
                continue;
            const std::string key = KeyOf(item.type, item.name, item.language);
            auto want = expected.find(key);
            auto got = actual.find(key);
            if (want != expected.end() && got != actual.end() && want->second == got->second)
                continue;
            if (item.file.empty() && compileNotes.empty()) {
                AsFile(item, *sources_[i], sources_[i]->data, ".bin", ScriptWord(item.type));
                changed = true;
                continue;
            }
            if (compileNotes.empty())
                differences.push_back("resource " + key + " compiles back to other bytes");
        }
        if (!changed) {
            notes_.insert(notes_.end(), differences.begin(), differences.end());
            break;
        }
    }
    return Extraction{std::move(items_), std::move(notes_)};
}

}  // namespace

Extraction ExtractResources(const std::vector<ResourceLeaf>& leaves, const std::string& folder,
                            const std::string& programName, ExtractStyle style)
{
    return Extractor(leaves, folder, style).Run(programName);
}

std::vector<std::string> CompareResources(const std::vector<ResourceLeaf>& expected,
                                          const std::vector<ResourceLeaf>& actual)
{
    const auto want = Normalized(expected);
    const auto got = Normalized(actual);
    std::vector<std::string> out;
    for (const auto& [key, bytes] : want) {
        auto it = got.find(key);
        if (it == got.end())
            out.push_back("resource " + key + " is missing");
        else if (it->second != bytes)
            out.push_back("resource " + key + " differs");
    }
    for (const auto& [key, bytes] : got)
        if (!want.count(key))
            out.push_back("resource " + key + " is extra");
    return out;
}

}  // namespace brevok

// Test helper: version resources for the version reader's tests, byte by byte (also the
// malformed ones some writers produce) or as VERSIONINFO statements, and ELF files that
// carry a .res image in their ".rsrc" section.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/pe_fixtures.h"

namespace brevok::version_fixtures {

/// One node of a version block; lengths are worked out unless set.
struct VersionNode {
    std::u16string key;
    std::uint16_t type = 1;
    std::string value;                         // raw bytes
    std::optional<std::uint16_t> valueLength;  // default: characters for type 1, else bytes
    std::optional<std::uint16_t> length;       // default: the node's real size
    std::vector<VersionNode> children;
};

inline void PutWord(std::string& out, std::size_t at, std::uint16_t v)
{
    out[at] = static_cast<char>(v & 0xFF);
    out[at + 1] = static_cast<char>(v >> 8);
}

inline std::string Utf16(const std::u16string& text, bool terminator = true)
{
    std::string out;
    for (char16_t c : text)
        out += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return terminator ? out + std::string(2, '\0') : out;
}

/// The node's bytes at offset `base` of its block (padding counts from the block's start).
inline std::string Serialize(const VersionNode& node, std::size_t base = 0)
{
    std::string out(6, '\0');
    out += Utf16(node.key);
    const auto pad = [&] { out.resize(out.size() + (4 - (base + out.size()) % 4) % 4, '\0'); };
    pad();
    out += node.value;
    for (const VersionNode& child : node.children) {
        pad();
        out += Serialize(child, base + out.size());
    }
    PutWord(out, 0, node.length.value_or(static_cast<std::uint16_t>(out.size())));
    PutWord(out, 2,
            node.valueLength.value_or(static_cast<std::uint16_t>(node.value.size() / (node.type == 1 ? 2 : 1))));
    PutWord(out, 4, node.type);
    return out;
}

using Strings16 = std::vector<std::pair<std::u16string, std::u16string>>;

inline Strings16 EightStrings()
{
    return {{u"CompanyName", u"Halvane"},     {u"FileDescription", u"Test program"}, {u"FileVersion", u"1.1.0.3"},
            {u"InternalName", u"tester"},     {u"LegalCopyright", u"(C) Halvane"},   {u"OriginalFilename", u"t.exe"},
            {u"ProductName", u"Brevok Test"}, {u"ProductVersion", u"1.0.0.0"}};
}

/// VS_VERSIONINFO with a VS_FIXEDFILEINFO, one string table 080904E4 and, unless told
/// otherwise, the translation 0x0809/0x04E4. Children: [0] StringFileInfo > [0] table >
/// strings; [1] VarFileInfo > [0] Translation.
inline VersionNode VersionInfo(const Strings16& strings, bool translation = true)
{
    std::string fixed(52, '\0');
    PutWord(fixed, 0, 0x04BD);
    PutWord(fixed, 2, 0xFEEF);
    VersionNode table{u"080904E4", 1, {}, {}, {}, {}};
    for (const auto& [key, text] : strings)
        table.children.push_back({key, 1, Utf16(text), {}, {}, {}});
    VersionNode root{u"VS_VERSION_INFO", 0, fixed, {}, {}, {{u"StringFileInfo", 1, {}, {}, {}, {table}}}};
    if (translation)
        root.children.push_back({u"VarFileInfo", 1, {}, {}, {}, {{u"Translation", 0, "\x09\x08\xE4\x04", {}, {}, {}}}});
    return root;
}

/// Script text declaring `block` raw as resource 1 of type 16 (RT_VERSION), so that any
/// block reaches a real PE file unchanged.
inline std::string RawVersionScript(std::string block)
{
    block.resize((block.size() + 1) / 2 * 2, '\0');
    std::string text = "1 16\nBEGIN\n";
    for (std::size_t i = 0; i < block.size(); i += 2)
        text += (i ? ", " : "") +
            std::to_string(static_cast<unsigned char>(block[i]) | (static_cast<unsigned char>(block[i + 1]) << 8));
    return text + "\nEND\n";
}

using KeyValues = std::vector<std::pair<std::string, std::string>>;

inline KeyValues EightKeys()
{
    return {{"CompanyName", "Halvane"},     {"FileDescription", "Test program"}, {"FileVersion", "2.3.4.5"},
            {"InternalName", "tester"},     {"LegalCopyright", "(C) Halvane"},   {"OriginalFilename", "t.exe"},
            {"ProductName", "Brevok Test"}, {"ProductVersion", "1.0.0.0"}};
}

/// A VERSIONINFO statement for llvm-rc: string tables (name, values) and the translation
/// pairs ("0x0809, 0x04E4"; empty for no VarFileInfo).
inline std::string VersionScript(const std::vector<std::pair<std::string, KeyValues>>& tables,
                                 const std::string& translation = "0x0809, 0x04E4",
                                 const std::string& head = "1 VERSIONINFO")
{
    std::string text = head + "\nFILEVERSION 2,3,4,5\nBEGIN\n BLOCK \"StringFileInfo\"\n BEGIN\n";
    for (const auto& [name, values] : tables) {
        text += "  BLOCK \"" + name + "\"\n  BEGIN\n";
        for (const auto& [key, value] : values)
            text += "   VALUE \"" + key + "\", \"" + value + "\"\n";
        text += "  END\n";
    }
    text += " END\n";
    if (!translation.empty())
        text += " BLOCK \"VarFileInfo\"\n BEGIN\n  VALUE \"Translation\", " + translation + "\n END\n";
    return text + "END\n";
}

/// An ELF file whose ".rsrc" section holds `resFile`: a program built by cc (`bfdTarget`
/// empty), or an object of the BFD target given ("elf32-big", ...).
inline std::string ElfWithResources(const std::string& dir, const std::string& name, const std::string& resFile,
                                    const std::string& bfdTarget = "")
{
    const std::string out = dir + "/" + name;
    if (!bfdTarget.empty()) {
        fixtures::RunFixtureCommand("objcopy -I binary -O " + bfdTarget + " --rename-section .data=.rsrc '" + resFile +
                                    "' '" + out + "'");
        return out;
    }
    fixtures::WriteFixtureFile(out + ".c", "int main(void) { return 0; }\n");
    fixtures::RunFixtureCommand("cc '" + out + ".c' -o '" + out + "_plain'");
    fixtures::RunFixtureCommand("objcopy --add-section .rsrc='" + resFile + "' '" + out + "_plain' '" + out + "'");
    return out;
}

}  // namespace brevok::version_fixtures

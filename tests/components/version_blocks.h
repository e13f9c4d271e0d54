// Test helper: builds VS_VERSIONINFO blocks byte by byte, including the malformed ones
// some writers produce, and turns them into resource-script text for real PE files.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace brevok::version_fixtures {

/// One node of a version block. Lengths are worked out unless set explicitly.
struct VersionNode {
    std::u16string key;
    std::uint16_t type = 1;
    std::string value;                          // raw bytes of the value
    std::optional<std::uint16_t> valueLength;   // stored wValueLength (default: characters or bytes)
    std::optional<std::uint16_t> length;        // stored wLength (default: the node's real size)
    std::vector<VersionNode> children;
};

inline void PutWord(std::string& out, std::size_t at, std::uint16_t v) {
    out[at] = static_cast<char>(v & 0xFF);
    out[at + 1] = static_cast<char>(v >> 8);
}

inline void PadTo4(std::string& out, std::size_t base) {
    while ((base + out.size()) % 4 != 0)
        out += '\0';
}

/// UTF-16LE of `text`, with its terminator unless told otherwise.
inline std::string Utf16(const std::u16string& text, bool terminator = true) {
    std::string out;
    for (char16_t c : text) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    if (terminator)
        out.append(2, '\0');
    return out;
}

/// The node's bytes as they appear at offset `base` of the block (padding counts from the
/// block's start). The last child is not padded at its end, as writers do.
inline std::string Serialize(const VersionNode& node, std::size_t base = 0) {
    std::string out(6, '\0');
    out += Utf16(node.key);
    PadTo4(out, base);
    out += node.value;
    for (const VersionNode& child : node.children) {
        PadTo4(out, base);
        out += Serialize(child, base + out.size());
    }
    const std::uint16_t valueLength = node.valueLength.value_or(
        static_cast<std::uint16_t>(node.type == 1 ? node.value.size() / 2 : node.value.size()));
    PutWord(out, 0, node.length.value_or(static_cast<std::uint16_t>(out.size())));
    PutWord(out, 2, valueLength);
    PutWord(out, 4, node.type);
    return out;
}

inline VersionNode StringNode(const std::u16string& key, const std::u16string& text) {
    return VersionNode{key, 1, Utf16(text), std::nullopt, std::nullopt, {}};
}

/// VS_FIXEDFILEINFO with its signature and the file version 1.1.0.3.
inline std::string FixedFileInfo() {
    std::string info(52, '\0');
    PutWord(info, 0, 0x04BD);
    PutWord(info, 2, 0xFEEF);
    PutWord(info, 6, 1);   // structure version 1.0
    PutWord(info, 10, 1);  // file version MS: 1.1
    PutWord(info, 8, 1);
    PutWord(info, 12, 3);  // file version LS: 0.3
    return info;
}

using StringTable = std::pair<std::u16string, std::vector<std::pair<std::u16string, std::u16string>>>;

/// A whole VS_VERSIONINFO: the fixed file information, the string tables given (name such
/// as u"080904E4", then key/value pairs), and a translation array of `translations`
/// (language, code page pairs; none gives no VarFileInfo).
inline VersionNode VersionInfo(const std::vector<StringTable>& tables,
                               const std::vector<std::pair<std::uint16_t, std::uint16_t>>& translations) {
    VersionNode root{u"VS_VERSION_INFO", 0, FixedFileInfo(), std::nullopt, std::nullopt, {}};
    VersionNode stringFileInfo{u"StringFileInfo", 1, {}, std::nullopt, std::nullopt, {}};
    for (const auto& [name, strings] : tables) {
        VersionNode table{name, 1, {}, std::nullopt, std::nullopt, {}};
        for (const auto& [key, text] : strings)
            table.children.push_back(StringNode(key, text));
        stringFileInfo.children.push_back(table);
    }
    root.children.push_back(stringFileInfo);
    if (!translations.empty()) {
        std::string pairs(4 * translations.size(), '\0');
        for (std::size_t i = 0; i < translations.size(); ++i) {
            PutWord(pairs, 4 * i, translations[i].first);
            PutWord(pairs, 4 * i + 2, translations[i].second);
        }
        VersionNode var{u"Translation", 0, pairs, std::nullopt, std::nullopt, {}};
        root.children.push_back(VersionNode{u"VarFileInfo", 1, {}, std::nullopt, std::nullopt, {var}});
    }
    return root;
}

/// The eight standard keys with plain values.
inline std::vector<std::pair<std::u16string, std::u16string>> EightStrings() {
    return {{u"CompanyName", u"Halvane"},
            {u"FileDescription", u"Test program"},
            {u"FileVersion", u"1.1.0.3"},
            {u"InternalName", u"tester"},
            {u"LegalCopyright", u"(C) Halvane"},
            {u"OriginalFilename", u"tester.exe"},
            {u"ProductName", u"Brevok Test"},
            {u"ProductVersion", u"1.0.0.0"}};
}

/// Resource-script text declaring `block` as resource 1 of type 16 (RT_VERSION) in raw
/// form, so that a malformed block reaches a real PE file unchanged.
inline std::string RawVersionScript(std::string block, const std::string& language = "LANGUAGE 9, 1") {
    if (block.size() % 2 != 0)
        block += '\0';
    std::string text = language + "\n1 16\nBEGIN\n";
    for (std::size_t i = 0; i < block.size(); i += 2) {
        const unsigned word = static_cast<unsigned char>(block[i]) | (static_cast<unsigned char>(block[i + 1]) << 8);
        text += (i == 0 ? "  " : ", ") + std::to_string(word);
    }
    return text + "\nEND\n";
}

}  // namespace brevok::version_fixtures

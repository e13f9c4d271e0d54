// The REGEDIT4 text of a registry: read bounds-checked into a tree, written back.
#include "registry/registry_text.h"

#include "rules/hex.h"
#include "rules/little_endian.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>

namespace brevok {
namespace {


constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::size_t kHexLineWidth = 76;

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when `path` is `ancestor` itself or a key below it.
bool IsWithin(std::string_view path, std::string_view ancestor)
{
    if (path.size() == ancestor.size())
        return SameRegistryName(path, ancestor);
    return path.size() > ancestor.size() && path[ancestor.size()] == '\\' &&
        SameRegistryName(path.substr(0, ancestor.size()), ancestor);
}

std::string_view TrimLeft(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    return s;
}

std::string_view TrimRight(std::string_view s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Parses 1 to `maxDigits` hex digits making up all of `text`.
std::optional<std::uint32_t> ParseHexNumber(std::string_view text, std::size_t maxDigits)
{
    if (text.empty() || text.size() > maxDigits)
        return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : text) {
        const int d = HexDigit(c);
        if (d < 0)
            return std::nullopt;
        value = (value << 4) | static_cast<std::uint32_t>(d);
    }
    return value;
}

// The text lines of a registry file with their numbers; a CR before the LF is dropped.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) { }

    bool Next(std::string_view& line)
    {
        if (pos_ >= text_.size())
            return false;
        const auto end = std::min(text_.find('\n', pos_), text_.size());
        line = text_.substr(pos_, end - pos_);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        pos_ = end + 1;
        ++number_;
        return true;
    }
    std::size_t Number() const { return number_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t number_ = 0;
};

struct ParseFailure {
    std::string message;
};

// Reads a quoted text at the start of `rest` (which begins with '"'); leaves `rest` after
// the closing quote.
std::string ReadQuoted(std::string_view& rest)
{
    std::string out;
    std::size_t i = 1;
    for (; i < rest.size() && rest[i] != '"'; ++i) {
        if (rest[i] != '\\') {
            out.push_back(rest[i]);
            continue;
        }
        if (i + 1 >= rest.size() || (rest[i + 1] != '\\' && rest[i + 1] != '"'))
            throw ParseFailure{"a backslash in a quoted text must be followed by \\ or \""};
        out.push_back(rest[++i]);
    }
    if (i >= rest.size())
        throw ParseFailure{"a quoted text has no closing quote"};
    rest.remove_prefix(i + 1);
    return out;
}

// Reads a comma-separated list of hex bytes; a trailing "\" continues it on the next line.
std::string ReadHexList(std::string_view first, LineReader& lines)
{
    std::string joined;
    std::string_view part = TrimRight(first);
    while (!part.empty() && part.back() == '\\') {
        joined.append(part.substr(0, part.size() - 1));
        std::string_view next;
        if (!lines.Next(next))
            throw ParseFailure{"a hex list ends in \"\\\" but no line follows"};
        part = TrimRight(TrimLeft(next));
    }
    joined.append(part);

    std::string bytes;
    std::string_view list = TrimRight(TrimLeft(joined));
    if (list.empty())
        return bytes;
    for (;;) {
        const auto comma = list.find(',');
        const auto item = TrimRight(TrimLeft(list.substr(0, comma)));
        const auto value = ParseHexNumber(item, 2);
        if (!value)
            throw ParseFailure{"\"" + std::string(item) + "\" is not a hex byte"};
        bytes.push_back(static_cast<char>(*value));
        if (comma == std::string_view::npos)
            return bytes;
        list.remove_prefix(comma + 1);
    }
}

RegistryValue ReadValueData(std::string_view data, LineReader& lines)
{
    if (!data.empty() && data.front() == '"') {
        std::string text = ReadQuoted(data);
        if (!TrimLeft(data).empty())
            throw ParseFailure{"text after the closing quote of a value"};
        return MakeStringValue(text);
    }
    if (data.starts_with("dword:")) {
        const auto number = ParseHexNumber(TrimRight(data.substr(6)), 8);
        if (!number)
            throw ParseFailure{"a dword needs 1 to 8 hex digits"};
        std::string bytes(4, '\0');
        for (int i = 0; i < 4; ++i)
            bytes[static_cast<std::size_t>(i)] = static_cast<char>((*number >> (8 * i)) & 0xFF);
        return {kRegDword, bytes};
    }
    if (data.starts_with("hex:"))
        return {kRegBinary, ReadHexList(data.substr(4), lines)};
    if (data.starts_with("hex(")) {
        const auto close = data.find("):");
        const auto type = close == std::string_view::npos ? std::nullopt : ParseHexNumber(data.substr(4, close - 4), 8);
        if (!type)
            throw ParseFailure{"hex(N): needs a type number of 1 to 8 hex digits"};
        return {*type, ReadHexList(data.substr(close + 2), lines)};
    }
    if (data == "-")
        throw ParseFailure{"a value deletion (=-) is not part of a stored registry"};
    throw ParseFailure{"unknown value data (expected \"text\", dword:, hex: or hex(N):)"};
}

void ReadValueLine(std::string_view line, RegistryFileKey* key, LineReader& lines)
{
    if (!key)
        throw ParseFailure{"a value comes before the first [key]"};
    std::string name;
    std::string_view rest = line;
    if (rest.front() == '@')
        rest.remove_prefix(1);
    else
        name = ReadQuoted(rest);
    rest = TrimLeft(rest);
    if (rest.empty() || rest.front() != '=')
        throw ParseFailure{"a value name must be followed by \"=\""};
    rest = TrimLeft(rest.substr(1));
    RegistryValue value = ReadValueData(rest, lines);
    // Later lines for the same name win, as on import.
    for (auto& [existing, old] : key->values) {
        if (SameRegistryName(existing, name)) {
            old = std::move(value);
            return;
        }
    }
    key->values.emplace_back(std::move(name), std::move(value));
}

RegistryFileKey* ReadKeyLine(std::string_view line, RegistryTree& tree)
{
    const auto close = line.rfind(']');
    if (close == std::string_view::npos || !TrimLeft(line.substr(close + 1)).empty())
        throw ParseFailure{"a key line must end with \"]\""};
    const auto path = line.substr(1, close - 1);
    if (!path.empty() && path.front() == '-')
        throw ParseFailure{"a key deletion ([-key]) is not part of a stored registry"};
    if (path.empty() || path.front() == '\\' || path.back() == '\\' || path.find("\\\\") != std::string_view::npos)
        throw ParseFailure{"\"" + std::string(path) + "\" is not a key path"};
    for (auto& key : tree.keys) {
        if (SameRegistryName(key.path, path))
            return &key;
    }
    tree.keys.push_back({std::string(path), {}});
    return &tree.keys.back();
}

void AppendQuoted(std::string& out, std::string_view text)
{
    out.push_back('"');
    for (const char c : text) {
        if (c == '\\' || c == '"')
            out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
}

// A REG_SZ that reads back byte for byte from the quoted form: one final NUL, no NUL or line
// break before it.
bool IsQuotableText(const RegistryValue& value)
{
    const auto& d = value.data;
    return value.type == kRegSz && !d.empty() && d.back() == '\0' &&
        d.find_first_of(std::string_view("\0\r\n", 3)) == d.size() - 1;
}

void AppendHexList(std::string& out, std::string_view bytes, std::size_t column)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out += HexDigits(static_cast<unsigned char>(bytes[i]), HexLetters::Lower, 2);
        column += 2;
        if (i + 1 == bytes.size())
            break;
        out.push_back(',');
        ++column;
        if (column + 3 > kHexLineWidth) {
            out.append("\\\n  ");
            column = 2;
        }
    }
}

void AppendValue(std::string& out, const std::string& name, const RegistryValue& value)
{
    const auto start = out.size();
    if (name.empty())
        out.push_back('@');
    else
        AppendQuoted(out, name);
    out.push_back('=');
    if (IsQuotableText(value)) {
        AppendQuoted(out, std::string_view(value.data).substr(0, value.data.size() - 1));
    } else if (value.type == kRegDword && value.data.size() == 4) {
        const std::uint32_t n = byteio::Get32(value.data, 0);
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", static_cast<unsigned>(n));
        out.append(buf);
    } else {
        if (value.type == kRegBinary) {
            out.append("hex:");
        } else {
            char buf[24];
            std::snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(value.type));
            out.append(buf);
        }
        AppendHexList(out, value.data, out.size() - start);
    }
    out.push_back('\n');
}

}  // namespace

bool SameRegistryName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
        std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

bool IsStorableRegistryName(std::string_view name)
{
    return name.find_first_of("\r\n") == std::string_view::npos;
}

bool RegistryTree::HasKey(std::string_view path) const
{
    return std::any_of(keys.begin(), keys.end(), [&](const RegistryFileKey& k) { return IsWithin(k.path, path); });
}

const RegistryFileKey* RegistryTree::FindKey(std::string_view path) const
{
    for (const auto& key : keys) {
        if (SameRegistryName(key.path, path))
            return &key;
    }
    return nullptr;
}

RegistryFileKey& RegistryTree::AddKey(std::string_view path)
{
    for (auto& key : keys) {
        if (SameRegistryName(key.path, path))
            return key;
    }
    // List the missing folders first, as an export would; the root itself is never listed.
    for (auto sep = path.find('\\'); sep != std::string_view::npos; sep = path.find('\\', sep + 1)) {
        const auto parent = path.substr(0, sep);
        if (sep > 0 && path.find('\\') < sep && !HasKey(parent))
            keys.push_back({std::string(parent), {}});
    }
    keys.push_back({std::string(path), {}});
    return keys.back();
}

const RegistryValue* RegistryTree::FindValue(std::string_view keyPath, std::string_view name) const
{
    const auto* key = FindKey(keyPath);
    if (!key)
        return nullptr;
    for (const auto& [existing, value] : key->values) {
        if (SameRegistryName(existing, name))
            return &value;
    }
    return nullptr;
}

Parsed<RegistryTree> ParseRegistryText(std::string_view text)
{
    RegistryTree tree;
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos)
        return Parsed<RegistryTree>::Ok(std::move(tree));  // an empty file holds no keys
    LineReader lines(text);
    try {
        std::string_view line;
        lines.Next(line);
        if (TrimRight(line) != kHeader)
            throw ParseFailure{"the first line must be \"REGEDIT4\""};
        RegistryFileKey* key = nullptr;
        while (lines.Next(line)) {
            const auto trimmed = TrimLeft(TrimRight(line));
            if (trimmed.empty() || trimmed.front() == ';')
                continue;
            const std::size_t number = lines.Number();
            try {
                if (trimmed.front() == '[')
                    key = ReadKeyLine(trimmed, tree);
                else if (trimmed.front() == '"' || trimmed.front() == '@')
                    ReadValueLine(trimmed, key, lines);
                else
                    throw ParseFailure{"a line must be a [key], a \"value\"=, @= or a ; comment"};
            } catch (ParseFailure& failure) {
                return Parsed<RegistryTree>::Fail(std::move(failure.message), number);
            }
        }
    } catch (ParseFailure& failure) {
        return Parsed<RegistryTree>::Fail(std::move(failure.message), 1);
    }
    return Parsed<RegistryTree>::Ok(std::move(tree));
}

std::string WriteRegistryText(const RegistryTree& tree)
{
    std::string out(kHeader);
    out.append("\n\n");
    for (const auto& key : tree.keys) {
        out.push_back('[');
        out.append(key.path);
        out.append("]\n");
        for (const auto& [name, value] : key.values)
            AppendValue(out, name, value);
        out.push_back('\n');
    }
    return out;
}

}  // namespace brevok

// Resource statements into the bytes of their .res records, as rc.exe lays them out
// (Microsoft's DLGTEMPLATE(EX), MENUITEMTEMPLATE, ACCELTABLEENTRY, string bundle and
// VS_VERSIONINFO formats), held against zig rc byte for byte.
#include "rccompiler/rc_records.h"

#include "rccompiler/data_files.h"
#include "rules/ascii.h"
#include "rules/hex.h"
#include "rules/little_endian.h"
#include "rules/unicode.h"
#include "rules/text_encoding.h"

#include <map>
#include <set>
#include <optional>

namespace brevok {

namespace {

struct WriteError {
    std::string text;
};

[[noreturn]] void Fail(const std::string& text)
{
    throw WriteError{text};
}

void CheckFits(std::uint32_t value, int bits, const std::string& field)
{
    if (bits < 32 && (value >> bits) != 0)
        Fail(field + " (" + std::to_string(value) + ") does not fit in " + std::to_string(bits) + " bits.");
}

/// A record's data as it is built: little-endian fields (the low bits of each value given).
class Bytes {
public:
    void U8(std::uint32_t v) { out_ += static_cast<char>(v & 0xFF); }
    void U16(std::uint32_t v) { byteio::Append16(out_, static_cast<std::uint16_t>(v)); }
    void U32(std::uint32_t v) { byteio::Append32(out_, v); }
    void Pad(std::size_t to) { out_.resize(byteio::AlignUp(out_.size(), to), '\0'); }
    void Set16(std::size_t at, std::uint32_t v) { byteio::Put16(out_, at, static_cast<std::uint16_t>(v)); }
    std::size_t Size() const { return out_.size(); }
    void Append(std::string_view bytes) { out_.append(bytes); }
    std::string Take() { return std::move(out_); }

private:
    std::string out_;
};

enum class Nulls { UserResource, CutAtNull, CutAtDoubleNull };

std::uint16_t Cp1252(unsigned char c)
{
    return static_cast<std::uint16_t>(CodePageCharacter(kDefaultCodePage, c));
}

bool IsHex(char16_t c)
{
    return c < 0x80 && HexDigit(static_cast<char>(c)) >= 0;
}

/// A string token or identifier as llvm-rc's processString reads it: quotes and an L
/// stripped, the code page converted, "" and the escapes read; an identifier upper-cased.
/// Appends to `out`; `isLong` says whether an L marked it. `narrowInCodePage`: a narrow string
/// of a user-defined resource is to be written in a code page, so a character above 0xFF is
/// no error.
void ProcessString(std::string_view token, Nulls nulls, int codePage, std::u16string& out, bool& isLong,
                   bool narrowInCodePage = false)
{
    const bool quoted = token.find('"') != std::string_view::npos;
    isLong = false;
    if (quoted) {
        isLong = !token.empty() && (token[0] == 'L' || token[0] == 'l');
        if (isLong)
            token.remove_prefix(1);
        token = token.substr(1, token.size() - 2);
    }
    std::u16string chars;
    if (codePage == kUtf8CodePage) {
        chars = Utf8ToUtf16(token);
    } else {
        for (char c : token)
            chars += static_cast<char16_t>(Cp1252(static_cast<unsigned char>(c)));
    }
    if (!quoted) {
        for (char16_t& c : chars)
            c = AsciiUpper(c);
        out = chars;
        return;
    }
    const auto add = [&](char16_t c) {
        if (!isLong && nulls == Nulls::UserResource && c > 0xFF && !narrowInCodePage)
            Fail("Non-8-bit codepoint (" + std::to_string(c) + ") can't occur in a user-defined narrow string");
        out += c;
    };
    const auto addEscaped = [&](char16_t c) {
        if (!isLong) {
            if (c > 0xFF)
                Fail("Non-8-bit escaped char (" + std::to_string(c) + ") can't occur in narrow string");
            if (codePage == kUtf8CodePage) {
                if (c >= 0x80)
                    Fail("Unable to interpret single byte (" + std::to_string(c) + ") as UTF-8");
            } else {
                c = Cp1252(static_cast<unsigned char>(c));
            }
        }
        add(c);
    };
    std::size_t pos = 0;
    while (pos < chars.size()) {
        const char16_t c = chars[pos++];
        if (c == '"') {
            if (pos == chars.size() || chars[pos] != '"')
                Fail("Expected \"\"");
            ++pos;
            add('"');
            continue;
        }
        if (c != '\\') {
            add(c);
            continue;
        }
        const char16_t type = pos < chars.size() ? chars[pos] : 0;
        ++pos;
        if (type == 'x' || type == 'X') {
            char16_t value = 0;
            for (std::size_t left = isLong ? 4 : 2; left > 0 && pos < chars.size() && IsHex(chars[pos]); --left)
                value = static_cast<char16_t>((value << 4) | HexDigit(static_cast<char>(chars[pos++])));
            addEscaped(value);
        } else if (type >= '0' && type < '8') {
            char16_t value = type - '0';
            for (std::size_t left = isLong ? 6 : 2;
                 left > 0 && pos < chars.size() && chars[pos] >= '0' && chars[pos] < '8'; --left)
                value = static_cast<char16_t>((value << 3) | (chars[pos++] - '0'));
            addEscaped(value);
        } else if (type == 'a' || type == 'A') {
            add('\b');
        } else if (type == 'n') {
            add('\n');
        } else if (type == 'r') {
            add('\r');
        } else if (type == 't' || type == 'T') {
            add('\t');
        } else if (type == '\\') {
            add('\\');
        } else if (type == '"') {
            if (pos >= chars.size() || chars[pos] != '"')
                Fail("Expected \\\"\"");
            ++pos;
            add('"');
        } else if (!isLong) {
            add('\\');
            add(type);
        }
    }
    if (nulls == Nulls::CutAtNull) {
        const std::size_t zero = out.find(u'\0');
        if (zero != std::u16string::npos)
            out.resize(zero);
    } else if (nulls == Nulls::CutAtDoubleNull) {
        const std::size_t pair = out.find(std::u16string(2, u'\0'));
        if (pair != std::u16string::npos)
            out.resize(pair);
        if (!out.empty() && out.back() == u'\0')
            out.pop_back();
    }
}

class Writer {
public:
    Writer(int codePage, std::uint16_t language, const RecordChoices& choices)
        : codePage_(codePage), narrowCodePage_(codePage), language_(language), choices_(choices)
    { }

    RcRecords Run(const std::vector<RcResource>& resources);

private:
    void CString(Bytes& out, std::string_view token, bool terminator = true)
    {
        std::u16string chars;
        bool isLong = false;
        ProcessString(token, Nulls::CutAtNull, codePage_, chars, isLong);
        for (char16_t c : chars)
            out.U16(c);
        if (terminator)
            out.U16(0);
    }

    void IntOrString(Bytes& out, const RcValue& value)
    {
        if (!value.isInt)
            return CString(out, value.text);
        out.U16(0xFFFF);
        out.U16(value.number.value);
    }

    /// A control's class: one of the six predefined window classes as its ordinal.
    void ControlClass(Bytes& out, const RcValue& value)
    {
        if (!value.isInt) {
            std::u16string chars;
            bool isLong = false;
            ProcessString(value.text, Nulls::CutAtNull, codePage_, chars, isLong);
            if (const std::optional<std::uint16_t> ordinal = PredefinedControlClass(chars))
                return IntOrString(out, Ordinal(*ordinal));
        }
        IntOrString(out, value);
    }

    /// `value` keeps its low `bits` in the record, as rc.exe keeps them; a warning names what
    /// that loses. `orNegative`: a coordinate or size, whose -32768 to -1 lose nothing.
    void Truncate(std::uint32_t value, int bits, const std::string& field, bool orNegative = false)
    {
        const auto number = static_cast<std::int32_t>(value);
        if ((value >> bits) == 0 || (orNegative && number < 0 && number >= -32768))
            return;
        const std::uint32_t kept = value & ((1u << bits) - 1);
        Warn(field + " (" + (orNegative ? std::to_string(number) : std::to_string(value)) + ") does not fit in " +
             std::to_string(bits) + " bits; rc.exe keeps its low bits: " + std::to_string(kept));
    }
    void Truncate16(std::uint32_t value, const std::string& field, bool orNegative = false)
    {
        Truncate(value, 16, field, orNegative);
    }

    void Warn(std::string text)
    {
        warnings_.push_back({{}, line_, Diagnostic::Severity::Warning, std::move(text)});
    }

    ResId Id(const RcValue& value, const char* field)
    {
        if (value.isInt) {
            Truncate16(value.number.value, field);
            return ResId::Ordinal(static_cast<std::uint16_t>(value.number.value));
        }
        std::u16string chars;
        bool isLong = false;
        ProcessString(value.text, Nulls::CutAtNull, codePage_, chars, isLong);
        return ResId::Name(chars);
    }

    Record Statement(const RcResource& resource, const RcValue& type)
    {
        Record statement;
        statement.line = resource.line + 1;
        statement.type = Id(type, "Resource type");
        statement.name = Id(resource.name, "Resource ID");
        statement.nameText = resource.name.isInt ? std::to_string(resource.name.number.value) : resource.name.text;
        statement.typeText = resource.typeText;
        statement.memoryFlags = resource.memoryFlags;
        statement.language = resource.options.language.value_or(language_);
        statement.version = resource.options.version.value_or(0);
        statement.characteristics = resource.options.characteristics.value_or(0);
        statement.kind = RecordKind::Inline;
        return statement;
    }

    static RcValue Ordinal(std::uint32_t id) { return RcValue{true, {id, false}, {}}; }

    std::string Accelerators(const RcResource& resource);
    std::string Dialog(const RcResource& resource);
    void Control(Bytes& out, const RcControl& control, bool extended);
    std::string Menu(const RcResource& resource);
    std::string MenuEx(const RcResource& resource);
    void MenuExItems(Bytes& out, const std::vector<RcMenuItem>& items);
    void MenuItems(Bytes& out, const std::vector<RcMenuItem>& items);
    std::string UserData(const RcResource& resource);
    std::string UserItems(const std::vector<RcValue>& items);
    std::string VersionInfo(const RcResource& resource);
    std::string Toolbar(const RcResource& resource);
    std::string DlgInclude(const RcResource& resource);
    void VersionBlock(Bytes& out, const std::string& name, const std::vector<RcVersionEntry>& entries);
    void VersionValue(Bytes& out, const RcVersionEntry& value);
    void StringTable(const RcResource& resource);
    void FileResource(const RcResource& resource, RcRecords& written);

    /// True when narrow strings of user-defined resources are written in narrowCodePage_.
    bool NarrowInCodePage() const { return codePage_ == kUtf8CodePage && narrowCodePage_ != kUtf8CodePage; }

    int codePage_;
    /// That of the statement being written.
    int narrowCodePage_;
    std::uint16_t language_;
    const RecordChoices& choices_;
    /// The 1-based line of the statement being written, and the warnings given so far.
    std::size_t line_ = 0;
    std::vector<Diagnostic> warnings_;

    struct Bundle {
        Record statement;
        std::optional<std::vector<std::string>> strings[16];
    };
    std::vector<std::pair<std::uint32_t, std::uint16_t>> bundleOrder_;
    std::map<std::pair<std::uint32_t, std::uint16_t>, Bundle> bundles_;
};

std::string Writer::Accelerators(const RcResource& resource)
{
    Bytes out;
    for (std::size_t i = 0; i < resource.accelerators.size(); ++i) {
        const RcAccelerator& accelerator = resource.accelerators[i];
        const std::string prefix = "Accelerator ID " + std::to_string(accelerator.id) + ": ";
        const bool ascii = accelerator.flags & 0x8000;
        const bool virtKey = accelerator.flags & 0x0001;
        std::uint16_t flags = accelerator.flags & ~0x8000;
        if (i + 1 == resource.accelerators.size())
            flags |= 0x80;
        Truncate16(accelerator.id, "ACCELERATORS entry ID");
        if (ascii && virtKey)
            Fail(prefix + "Accelerator can't be both ASCII and VIRTKEY");
        // llvm-rc refuses ALT, SHIFT or CONTROL on an ASCII key; rc.exe and windres keep the
        // flags, and so do we.
        std::uint32_t code = 0;
        if (accelerator.event.isInt) {
            if (!ascii && !virtKey)
                Fail(prefix + "Accelerator with a numeric event must be either ASCII or VIRTKEY");
            Truncate16(accelerator.event.number.value, "Numeric event key ID");
            code = accelerator.event.number.value;
        } else {
            std::string_view text = accelerator.event.text;
            if (!text.empty() && (text[0] == 'L' || text[0] == 'l'))
                text.remove_prefix(1);
            text = text.substr(1, text.size() - 2);
            if (text.empty() || text.size() > 2)
                Fail(prefix + "Accelerator string events should have length 1 or 2");
            if (text[0] == '^') {
                if (text.size() == 1)
                    Fail(prefix + "No character following '^' in accelerator event");
                if (virtKey)
                    Fail(prefix + "VIRTKEY accelerator events can't be preceded by '^'");
                const char c = text[1];
                if (c >= 'a' && c <= 'z')
                    code = c - 'a' + 1;
                else if (c >= 'A' && c <= 'Z')
                    code = c - 'A' + 1;
                else
                    Fail(prefix + "Control character accelerator event should be alphabetic");
            } else {
                if (text.size() == 2)
                    Fail(prefix + "Event string should be one-character, possibly preceded by '^'");
                auto c = static_cast<unsigned char>(text[0]);
                if (virtKey && !IsAsciiAlnum(static_cast<char>(c)))
                    Fail(prefix + "Non-alphanumeric characters cannot describe virtual keys");
                if (c > 0x7F)
                    Fail(prefix + "Non-ASCII description of accelerator");
                code = virtKey ? static_cast<unsigned char>(AsciiUpper(static_cast<char>(c))) : c;
            }
        }
        out.U16(flags);
        out.U16(code);
        out.U16(accelerator.id);
        out.U16(0);
    }
    return out.Take();
}

void Writer::Control(Bytes& out, const RcControl& control, bool extended)
{
    out.Pad(4);
    std::uint32_t style = control.defaultStyle;
    if (control.style) {
        style &= ~control.style->notMask;
        style |= control.style->value.value;
    }
    const std::uint32_t exStyle = control.exStyle.value_or(0);
    if (extended) {
        out.U32(control.helpId.value_or(0));
        out.U32(exStyle);
        out.U32(style);
    } else {
        out.U32(style);
        out.U32(exStyle);
    }
    Truncate16(control.x, "Dialog control x-coordinate", true);
    Truncate16(control.y, "Dialog control y-coordinate", true);
    Truncate16(control.width, "Dialog control width", true);
    Truncate16(control.height, "Dialog control height", true);
    out.U16(control.x);
    out.U16(control.y);
    out.U16(control.width);
    out.U16(control.height);
    if (extended) {
        out.U32(control.id);
    } else {
        if (control.id != 0xFFFFFFFF)
            Truncate16(control.id, "Control ID in simple DIALOG resource");
        out.U16(control.id);
    }
    ControlClass(out, control.controlClass);
    if (control.title.isInt)
        Truncate16(control.title.number.value, "Control reference ID");
    IntOrString(out, control.title);
    // The creation data: its size, then its bytes, written as user-defined data are.
    const std::string data = UserItems(control.data);
    CheckFits(static_cast<std::uint32_t>(data.size()), 16, "Control data size");
    out.U16(static_cast<std::uint32_t>(data.size()));
    out.Append(data);
}

std::string Writer::Dialog(const RcResource& resource)
{
    const RcOptions& options = resource.options;
    std::uint32_t style = options.style.value_or(0x80880000);
    if (options.font)
        style |= 0x40;
    else
        style &= ~0x40u;
    if (!options.caption.empty())
        style |= 0x00C00000;
    Bytes out;
    const std::uint32_t exStyle = options.exStyle.value_or(0);
    if (!resource.extended) {
        if ((style >> 16) == 0xFFFF)
            Fail("16 higher bits of DIALOG resource style cannot be equal to 0xFFFF");
        out.U32(style);
        out.U32(exStyle);
    } else {
        out.U16(1);
        out.U16(0xFFFF);
        out.U32(resource.helpId);
        out.U32(exStyle);
        out.U32(style);
    }
    CheckFits(static_cast<std::uint32_t>(resource.controls.size()), 16, "Number of dialog controls");
    Truncate16(resource.x, "Dialog x-coordinate", true);
    Truncate16(resource.y, "Dialog y-coordinate", true);
    Truncate16(resource.width, "Dialog width", true);
    Truncate16(resource.height, "Dialog height", true);
    out.U16(static_cast<std::uint32_t>(resource.controls.size()));
    out.U16(resource.x);
    out.U16(resource.y);
    out.U16(resource.width);
    out.U16(resource.height);
    IntOrString(out, options.menu.value_or(RcValue{false, {}, {}}));
    IntOrString(out, options.windowClass.value_or(RcValue{false, {}, {}}));
    CString(out, options.caption);
    if (options.font) {
        Truncate16(options.font->size, "Font size");
        Truncate16(options.font->weight, "Font weight");
        Truncate(options.font->charset, 8, "Font charset");
        out.U16(options.font->size);
        if (resource.extended) {
            out.U16(options.font->weight);
            out.U8(options.font->italic ? 1 : 0);
            out.U8(options.font->charset);
        }
        CString(out, options.font->name);
    }
    // rc.exe warns of a control ID used twice, by its value as written: 16 bits in a DIALOG.
    std::set<std::uint32_t> ids;
    for (const RcControl& control : resource.controls) {
        const std::uint32_t id = resource.extended ? control.id : control.id & 0xFFFF;
        if (!ids.insert(id).second && choices_.warnDuplicateControlIds)
            warnings_.push_back({{}, control.line + 1, Diagnostic::Severity::Warning,
                                 "control with id " + std::to_string(id) + " already defined for this dialog"});
        try {
            Control(out, control, resource.extended);
        } catch (const WriteError& error) {
            Fail("Error in " + control.type + " control (ID " + std::to_string(control.id) + "): " + error.text);
        }
    }
    return out.Take();
}

void Writer::MenuItems(Bytes& out, const std::vector<RcMenuItem>& items)
{
    for (std::size_t i = 0; i < items.size(); ++i) {
        const RcMenuItem& item = items[i];
        std::uint16_t flags = item.flags;
        if (item.kind == RcMenuItem::Kind::Popup)
            flags |= 0x10;
        if (item.kind == RcMenuItem::Kind::Separator)
            flags = 0;
        if (i + 1 == items.size())
            flags |= 0x80;
        out.U16(flags);
        if (item.kind == RcMenuItem::Kind::Separator) {
            out.U32(0);
        } else if (item.kind == RcMenuItem::Kind::Item) {
            if (item.id != 0xFFFFFFFF)
                Truncate16(item.id, "MENUITEM action ID");
            out.U16(item.id);
            CString(out, item.caption);
        } else {
            CString(out, item.caption);
            MenuItems(out, item.children);
        }
    }
}

std::string Writer::Menu(const RcResource& resource)
{
    Bytes out;
    out.U32(0);
    MenuItems(out, resource.menu);
    return out.Take();
}

// MENUEX_TEMPLATE_HEADER (version 1, offset 4) and MENUEX_TEMPLATE_ITEMs, each on a DWORD
// boundary, a popup's help id too, as windres writes them.
void Writer::MenuExItems(Bytes& out, const std::vector<RcMenuItem>& items)
{
    for (std::size_t i = 0; i < items.size(); ++i) {
        const RcMenuItem& item = items[i];
        std::uint16_t flags = item.kind == RcMenuItem::Kind::Popup ? 0x01 : 0;
        if (i + 1 == items.size())
            flags |= 0x80;
        out.Pad(4);
        out.U32(item.type);
        out.U32(item.state);
        out.U32(item.id);
        out.U16(flags);
        CString(out, item.caption);
        if (item.kind == RcMenuItem::Kind::Popup) {
            out.Pad(4);
            out.U32(item.helpId);
            MenuExItems(out, item.children);
        }
    }
}

std::string Writer::MenuEx(const RcResource& resource)
{
    Bytes out;
    out.U16(1);
    out.U16(4);
    out.U32(0);
    MenuExItems(out, resource.menu);
    out.Pad(4);  // as rc.exe ends it
    return out.Take();
}

std::string Writer::UserData(const RcResource& resource)
{
    return UserItems(resource.data);
}

std::string Writer::UserItems(const std::vector<RcValue>& items)
{
    Bytes out;
    for (const RcValue& item : items) {
        if (item.isInt) {
            if (!item.number.isLong)
                Truncate16(item.number.value, "Number in user-defined resource");
            item.number.isLong ? out.U32(item.number.value) : out.U16(item.number.value);
            continue;
        }
        std::u16string chars;
        bool isLong = false;
        ProcessString(item.text, Nulls::UserResource, codePage_, chars, isLong, NarrowInCodePage());
        if (!isLong && NarrowInCodePage()) {
            out.Append(ConvertCodePage(Utf16ToUtf8(chars), kUtf8CodePage, narrowCodePage_));
            continue;
        }
        for (char16_t c : chars) {
            if (isLong) {
                out.U16(c);
                continue;
            }
            CheckFits(c, 8, "Character in narrow string in user-defined resource");
            out.U8(c);
        }
    }
    return out.Take();
}

void Writer::VersionValue(Bytes& out, const RcVersionEntry& value)
{
    bool hasStrings = false;
    bool hasInts = false;
    for (const RcValue& item : value.values)
        (item.isInt ? hasInts : hasStrings) = true;
    // Strings and numbers in one value: rc.exe gets the byte count wrong; the value is written
    // as binary data of its real size, as zig rc writes it.
    if (hasStrings && hasInts)
        Warn("VALUE " + value.key + " mixes strings and numbers: rc.exe would write a wrong length for it; "
             "it is written as binary data of its real length");
    out.Pad(4);
    const std::size_t lengthAt = out.Size();
    out.U16(0);
    out.U16(0);
    out.U16(hasInts ? 0 : 1);
    CString(out, value.key);
    out.Pad(4);
    const std::size_t dataAt = out.Size();
    // A lone empty string ("" or "\0") is no data at all, as rc.exe writes it.
    bool loneEmpty = false;
    if (value.values.size() == 1 && !value.values[0].isInt) {
        std::u16string chars;
        bool isLong = false;
        ProcessString(value.values[0].text, Nulls::CutAtNull, codePage_, chars, isLong);
        loneEmpty = chars.empty();
    }
    for (std::size_t i = 0; i < value.values.size() && !loneEmpty; ++i) {
        const RcValue& item = value.values[i];
        if (item.isInt) {
            if (!item.number.isLong)
                Truncate16(item.number.value, "VERSIONINFO integer value");
            item.number.isLong ? out.U32(item.number.value) : out.U16(item.number.value);
            continue;
        }
        CString(out, item.text, i + 1 == value.values.size() || value.commaBefore[i + 1]);
    }
    std::size_t valueLength = out.Size() - dataAt;
    if (!hasInts)
        valueLength /= 2;
    out.Set16(lengthAt, static_cast<std::uint32_t>(out.Size() - lengthAt));
    out.Set16(lengthAt + 2, static_cast<std::uint32_t>(valueLength));
}

void Writer::VersionBlock(Bytes& out, const std::string& name, const std::vector<RcVersionEntry>& entries)
{
    out.Pad(4);
    const std::size_t lengthAt = out.Size();
    if (!name.empty()) {
        out.U16(0);
        out.U16(0);
        out.U16(1);
        CString(out, name);
        out.Pad(4);
    }
    for (const RcVersionEntry& entry : entries) {
        if (entry.isBlock)
            VersionBlock(out, entry.key, entry.children);
        else
            VersionValue(out, entry);
    }
    if (!name.empty())
        out.Set16(lengthAt, static_cast<std::uint32_t>(out.Size() - lengthAt));
}

std::string Writer::VersionInfo(const RcResource& resource)
{
    Bytes out;
    out.U16(0);
    out.U16(52);
    out.U16(0);
    CString(out, "\"VS_VERSION_INFO\"");
    out.Pad(4);
    const auto field = [&](int index, std::size_t part) {
        const std::vector<std::uint32_t>& values = resource.fixed[index];
        return values.empty() ? 0u : values[part];
    };
    for (int version = 0; version < 2; ++version) {
        for (std::size_t part = 0; part < 4; ++part)
            Truncate16(field(version, part), version == 0 ? "FILEVERSION fields" : "PRODUCTVERSION fields");
    }
    out.U32(0xFEEF04BD);
    out.U32(0x10000);
    out.U32((field(0, 0) << 16) | field(0, 1));
    out.U32((field(0, 2) << 16) | field(0, 3));
    out.U32((field(1, 0) << 16) | field(1, 1));
    out.U32((field(1, 2) << 16) | field(1, 3));
    for (int index = 2; index < 7; ++index)
        out.U32(field(index, 0));
    out.U32(0);
    out.U32(0);
    out.Pad(4);
    VersionBlock(out, {}, resource.versionEntries);
    out.Set16(0, static_cast<std::uint32_t>(out.Size()));
    return out.Take();
}

// rc.exe's TOOLBARDATA (version 1, then WORDs), which MFC reads. windres writes these fields
// as 32-bit values, a layout MFC does not read; we write rc.exe's.
std::string Writer::Toolbar(const RcResource& resource)
{
    Bytes out;
    Truncate16(resource.width, "TOOLBAR width");
    Truncate16(resource.height, "TOOLBAR height");
    CheckFits(static_cast<std::uint32_t>(resource.buttons.size()), 16, "Number of TOOLBAR buttons");
    out.U16(1);
    out.U16(resource.width);
    out.U16(resource.height);
    out.U16(static_cast<std::uint32_t>(resource.buttons.size()));
    for (std::uint32_t id : resource.buttons) {
        Truncate16(id, "TOOLBAR button ID");
        out.U16(id);
    }
    return out.Take();
}

void Writer::StringTable(const RcResource& resource)
{
    const std::uint16_t language = resource.options.language.value_or(language_);
    for (const auto& [id, parts] : resource.strings) {
        Truncate16(id, "String ID");
        const auto key = std::make_pair(id >> 4, language);
        auto found = bundles_.find(key);
        if (found == bundles_.end()) {
            Bundle bundle;
            bundle.statement = Statement(resource, Ordinal(6));
            bundle.statement.name = ResId::Ordinal(static_cast<std::uint16_t>((id >> 4) + 1));
            bundle.statement.nameText = std::to_string((id >> 4) + 1);
            bundle.statement.language = language;
            found = bundles_.emplace(key, std::move(bundle)).first;
            bundleOrder_.push_back(key);
        }
        std::optional<std::vector<std::string>>& slot = found->second.strings[id & 15];
        if (slot)
            Fail("Multiple STRINGTABLE strings located under ID " + std::to_string(id));
        slot = parts;
    }
}

void Writer::FileResource(const RcResource& resource, RcRecords& written)
{
    RcValue type = resource.type;
    RecordKind kind = RecordKind::Data;
    if (resource.kind == RcKind::Bitmap) {
        kind = RecordKind::Bitmap;
        type = Ordinal(2);
    } else if (resource.kind == RcKind::Icon) {
        kind = RecordKind::Icon;
        type = Ordinal(14);
    } else if (resource.kind == RcKind::Cursor) {
        kind = RecordKind::Cursor;
        type = Ordinal(12);
    } else if (resource.kind == RcKind::Html) {
        type = Ordinal(23);
    }
    Record statement = Statement(resource, type);
    statement.kind = kind;
    statement.path = PathOfFileName(resource.file);
    statement.codePage = codePage_;
    written.records.push_back(std::move(statement));
}

std::string Writer::DlgInclude(const RcResource& resource)
{
    std::string_view name = resource.file;
    if (name[0] == 'L' || name[0] == 'l')
        name.remove_prefix(1);  // narrow all the same
    return UserItems({RcValue{false, {}, std::string(name)}}) + '\0';
}

RcRecords Writer::Run(const std::vector<RcResource>& resources)
{
    RcRecords written;
    for (const RcResource& resource : resources) {
        line_ = resource.line + 1;
        narrowCodePage_ = codePage_;
        for (const NarrowCodePage& from : choices_.narrowCodePages)
            if (from.line <= resource.line)
                narrowCodePage_ = from.codePage;
        try {
            switch (resource.kind) {
            case RcKind::Language:
                language_ = resource.language;
                continue;
            case RcKind::StringTable:
                StringTable(resource);
                continue;
            case RcKind::Bitmap:
            case RcKind::Cursor:
            case RcKind::Icon:
            case RcKind::Html:
                FileResource(resource, written);
                continue;
            case RcKind::User:
                if (resource.isFile) {
                    FileResource(resource, written);
                    continue;
                }
                break;
            default:
                break;
            }
            const RcValue type = resource.kind == RcKind::Accelerators             ? Ordinal(9)
                : resource.kind == RcKind::Dialog                                  ? Ordinal(5)
                : resource.kind == RcKind::Menu || resource.kind == RcKind::MenuEx ? Ordinal(4)
                : resource.kind == RcKind::VersionInfo                             ? Ordinal(16)
                : resource.kind == RcKind::Toolbar                                 ? Ordinal(241)
                : resource.kind == RcKind::DlgInclude                              ? Ordinal(17)
                                                                                   : resource.type;
            Record statement = Statement(resource, type);
            statement.data = resource.kind == RcKind::Accelerators ? Accelerators(resource)
                : resource.kind == RcKind::Dialog                  ? Dialog(resource)
                : resource.kind == RcKind::Menu                    ? Menu(resource)
                : resource.kind == RcKind::MenuEx                  ? MenuEx(resource)
                : resource.kind == RcKind::VersionInfo             ? VersionInfo(resource)
                : resource.kind == RcKind::Toolbar                 ? Toolbar(resource)
                : resource.kind == RcKind::DlgInclude              ? DlgInclude(resource)
                                                                   : UserData(resource);
            written.records.push_back(std::move(statement));
        } catch (const WriteError& error) {
            const std::string name =
                resource.name.isInt ? std::to_string(resource.name.number.value) : resource.name.text;
            written.problems.push_back(LineError(resource.line + 1,
                                                 resource.kind == RcKind::StringTable
                                                     ? "STRINGTABLE statement: " + error.text
                                                     : resource.typeText + " statement (ID " + name + "): " + error.text));
        }
    }
    for (const auto& key : bundleOrder_) {
        Bundle& bundle = bundles_.at(key);
        try {
            Bytes out;
            for (const auto& slot : bundle.strings) {
                std::u16string chars;
                if (slot) {
                    bool isLong = false;
                    for (const std::string& part : *slot)
                        ProcessString(part, Nulls::CutAtDoubleNull, codePage_, chars, isLong);
                    if (choices_.nullTerminateStrings)
                        chars.push_back(u'\0');
                }
                CheckFits(static_cast<std::uint32_t>(chars.size()), 16, "STRINGTABLE string size");
                out.U16(static_cast<std::uint32_t>(chars.size()));
                for (char16_t c : chars)
                    out.U16(c);
            }
            bundle.statement.data = out.Take();
            written.records.push_back(std::move(bundle.statement));
        } catch (const WriteError& error) {
            written.problems.push_back(LineError(
                bundle.statement.line, "STRINGTABLE statement (ID " + bundle.statement.nameText + "): " + error.text));
        }
    }
    written.problems.insert(written.problems.end(), warnings_.begin(), warnings_.end());
    return written;
}

}  // namespace

std::optional<std::uint16_t> PredefinedControlClass(std::u16string_view name)
{
    static constexpr std::pair<std::string_view, std::uint16_t> kClasses[] = {
        {"BUTTON", 0x80}, {"EDIT", 0x81}, {"STATIC", 0x82}, {"LISTBOX", 0x83}, {"SCROLLBAR", 0x84}, {"COMBOBOX", 0x85},
    };
    for (const auto& [word, ordinal] : kClasses)
        if (name.size() == word.size() &&
            std::equal(name.begin(), name.end(), word.begin(),
                       [](char16_t a, char b) { return AsciiUpper(a) == static_cast<char16_t>(b); }))
            return ordinal;
    return std::nullopt;
}

RcRecords MakeRecords(const std::vector<RcResource>& resources, int codePage, std::uint16_t language,
                      const RecordChoices& choices)
{
    return Writer(codePage, language, choices).Run(resources);
}

}  // namespace brevok

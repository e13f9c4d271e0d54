// The resource-script parser: statements read with llvm-rc's grammar, its integer
// expressions (+ - | & with no precedence, unary - ~ NOT) and its defaults.
#include "rccompiler/rc_parser.h"

#include "image/res_file.h"
#include "rules/ascii.h"
#include "rules/integer_literal.h"

#include <algorithm>
#include <cstdlib>

namespace brevok {

namespace {

struct ParseError {
    std::size_t line;
    std::string text;
};

std::string Upper(std::string_view text)
{
    return AsciiUpper(text);
}


struct ControlType {
    const char* name;
    std::uint32_t style;
    std::uint16_t controlClass;
    bool hasTitle;
};

constexpr ControlType kControlTypes[] = {
    {"LTEXT", 0x50020000, 0x82, true},
    {"CTEXT", 0x50020001, 0x82, true},
    {"RTEXT", 0x50020002, 0x82, true},
    {"ICON", 0x50000003, 0x82, true},
    {"PUSHBUTTON", 0x50010000, 0x80, true},
    {"DEFPUSHBUTTON", 0x50010001, 0x80, true},
    {"AUTO3STATE", 0x50010006, 0x80, true},
    {"AUTOCHECKBOX", 0x50010003, 0x80, true},
    {"AUTORADIOBUTTON", 0x50000009, 0x80, true},
    {"CHECKBOX", 0x50010002, 0x80, true},
    {"GROUPBOX", 0x50000007, 0x80, true},
    {"RADIOBUTTON", 0x50000004, 0x80, true},
    {"STATE3", 0x50010005, 0x80, true},
    {"PUSHBOX", 0x5001000A, 0x80, true},
    {"EDITTEXT", 0x50810000, 0x81, false},
    {"COMBOBOX", 0x50000000, 0x85, false},
    {"LISTBOX", 0x50800001, 0x83, false},
    {"SCROLLBAR", 0x50000000, 0x84, false},
    {"CONTROL", 0x50000000, 0, true},
};

class Parser {
public:
    explicit Parser(const std::vector<RcToken>& tokens) : tokens_(tokens) { }

    RcParse All()
    {
        RcParse result;
        while (pos_ < tokens_.size()) {
            const std::size_t start = pos_;
            try {
                result.resources.push_back(Resource());
            } catch (const ParseError& error) {
                result.errors.push_back(LineError(error.line + 1, error.text));
                if (result.errors.size() >= kMaxErrors)
                    break;
                Resync(start, error.line);
            }
        }
        result.warnings = std::move(warnings_);
        return result;
    }

    /// After an error in the statement that starts at `start`, moves to the next statement:
    /// past the end of the block the statement opened, or else to the first token on a
    /// later line than the error.
    void Resync(std::size_t start, std::size_t errorLine)
    {
        int depth = 0;
        bool opened = false;
        std::size_t i = start;
        for (; i < tokens_.size(); ++i) {
            const RcToken& token = tokens_[i];
            if (!opened && i > start && token.line > errorLine && depth == 0)
                break;
            if (token.kind == RcTokenKind::BlockBegin) {
                ++depth;
                opened = true;
            } else if (token.kind == RcTokenKind::BlockEnd && depth > 0 && --depth == 0 && token.line >= errorLine) {
                ++i;
                break;
            }
        }
        pos_ = std::max(i, start + 1);
    }

    static constexpr std::size_t kMaxErrors = 100;

private:
    bool AtEnd() const { return pos_ >= tokens_.size(); }
    bool Next(RcTokenKind kind) const { return !AtEnd() && tokens_[pos_].kind == kind; }
    const RcToken& Read() { return tokens_[pos_++]; }

    bool NextIs(std::string_view word) const
    {
        return Next(RcTokenKind::Identifier) && Upper(tokens_[pos_].text) == word;
    }

    [[noreturn]] void Expected(const std::string& what, bool alreadyRead = false)
    {
        const std::size_t at = alreadyRead ? pos_ - 1 : pos_;
        if (at >= tokens_.size())
            throw ParseError{tokens_.empty() ? 0 : tokens_.back().line, "expected " + what + ", got <EOF>"};
        throw ParseError{tokens_[at].line, "expected " + what + ", got " + std::string(tokens_[at].text)};
    }

    void Consume(RcTokenKind kind, const char* what)
    {
        if (!Next(kind))
            Expected(what);
        ++pos_;
    }

    bool ConsumeOptional(RcTokenKind kind)
    {
        if (!Next(kind))
            return false;
        ++pos_;
        return true;
    }

    /// The value of an Int token as rc.exe reads it, with a warning where that reading is not
    /// what the text seems to say.
    RcInt IntValue(const RcToken& token)
    {
        const IntegerLiteral literal = ReadIntegerLiteral(token.text);
        if (std::optional<std::string> warning = IntegerLiteralWarning(token.text, literal))
            Warn(token.line, std::move(*warning));
        return {literal.value, literal.isLong};
    }

    void Warn(std::size_t line, std::string text)
    {
        warnings_.push_back({{}, line + 1, Diagnostic::Severity::Warning, std::move(text)});
    }

    // Integer expressions.
    RcStyle Expression()
    {
        RcStyle result = Term();
        while (Next(RcTokenKind::Plus) || Next(RcTokenKind::Minus) || Next(RcTokenKind::Pipe) ||
               Next(RcTokenKind::Amp)) {
            const RcTokenKind op = Read().kind;
            const RcStyle right = Term();
            result.value.value &= ~right.notMask;
            switch (op) {
            case RcTokenKind::Plus:
                result.value.value += right.value.value;
                break;
            case RcTokenKind::Minus:
                result.value.value -= right.value.value;
                break;
            case RcTokenKind::Pipe:
                result.value.value |= right.value.value;
                break;
            default:
                result.value.value &= right.value.value;
                break;
            }
            result.value.isLong = result.value.isLong || right.value.isLong;
            result.notMask |= right.notMask;
        }
        return result;
    }

    /// * and /, which llvm-rc lacks, bind tighter than + - | & (as in C and windres).
    RcStyle Term()
    {
        RcStyle result = Unary();
        while (Next(RcTokenKind::Star) || Next(RcTokenKind::Slash)) {
            const RcToken& op = Read();
            const RcStyle right = Unary();
            if (op.kind == RcTokenKind::Star) {
                result.value.value *= right.value.value;
            } else {
                if (right.value.value == 0)
                    throw ParseError{op.line, "division by zero in an integer expression"};
                result.value.value /= right.value.value;
            }
            result.value.isLong = result.value.isLong || right.value.isLong;
        }
        return result;
    }

    RcStyle Unary()
    {
        constexpr const char* kWhat = "'-', '~', integer or '('";
        if (++depth_ > 256)
            throw ParseError{AtEnd() ? 0 : tokens_[pos_].line, "integer expression nested deeper than 256 levels"};
        struct Leave {
            int& depth;
            ~Leave() { --depth; }
        } leave{depth_};
        if (AtEnd())
            Expected(kWhat);
        const RcToken& token = tokens_[pos_];
        switch (token.kind) {
        case RcTokenKind::Minus: {
            ++pos_;
            RcStyle inner = Unary();
            inner.value.value = 0u - inner.value.value;
            return inner;
        }
        case RcTokenKind::Tilde: {
            ++pos_;
            RcStyle inner = Unary();
            return {{~inner.value.value, inner.value.isLong}, 0};
        }
        case RcTokenKind::Int:
            ++pos_;
            return {IntValue(token), 0};
        case RcTokenKind::LeftParen: {
            ++pos_;
            const RcStyle inner = Expression();
            Consume(RcTokenKind::RightParen, "')'");
            return inner;
        }
        case RcTokenKind::Identifier: {
            ++pos_;
            if (Upper(token.text) != "NOT")
                Expected(kWhat, true);
            const RcStyle inner = Unary();
            return {{0, false}, inner.value.value};
        }
        default:
            Expected(kWhat);
        }
    }

    RcInt Int() { return Expression().value; }

    std::vector<RcInt> IntsWithCommas(std::size_t least, std::size_t most)
    {
        std::vector<RcInt> values;
        for (std::size_t i = 0; i < most; ++i) {
            try {
                if (i > 0)
                    Consume(RcTokenKind::Comma, "','");
                values.push_back(Int());
            } catch (const ParseError&) {
                // Like llvm-rc, what was read of the missing value stays read.
                if (values.size() < least)
                    throw;
                break;
            }
        }
        return values;
    }

    std::string String()
    {
        if (!Next(RcTokenKind::String))
            Expected("string");
        return std::string(Read().text);
    }

    RcValue IntOrString()
    {
        if (!Next(RcTokenKind::Int) && !Next(RcTokenKind::String))
            Expected("int or string");
        return Value(Read());
    }

    /// A resource's name or type, or a statement's first word: a number token is an ordinal
    /// or, where rc.exe reads it so ("1L", "0"), a name.
    RcValue TypeOrName()
    {
        if (!Next(RcTokenKind::Int) && !Next(RcTokenKind::Identifier))
            Expected("int or identifier");
        const RcToken& token = Read();
        if (token.kind != RcTokenKind::Int)
            return Value(token);
        const std::optional<NameOrdinal> ordinal = ReadNameOrdinal(token.text);
        if (!ordinal)
            return RcValue{false, {}, std::string(token.text)};
        if (!ordinal->lost.empty())
            Warn(token.line, ordinal->lost);
        return RcValue{true, {ordinal->value, false}, {}};
    }

    RcValue Value(const RcToken& token)
    {
        RcValue value;
        value.isInt = token.kind == RcTokenKind::Int;
        if (value.isInt)
            value.number = IntValue(token);
        else
            value.text = std::string(token.text);
        return value;
    }

    std::string Filename()
    {
        if (!Next(RcTokenKind::String) && !Next(RcTokenKind::Identifier))
            Expected("string");
        return std::string(Read().text);
    }

    std::uint16_t Flags(std::initializer_list<std::pair<const char*, std::uint16_t>> known, const std::string& names)
    {
        std::uint16_t flags = 0;
        while (ConsumeOptional(RcTokenKind::Comma)) {
            // rc.exe takes a comma that ends a menu line ("MENUITEM "&Open", 1," before the next
            // MENUITEM); llvm-rc does not. We do.
            if (NextIs("MENUITEM") || NextIs("POPUP") || Next(RcTokenKind::BlockEnd))
                break;
            if (!Next(RcTokenKind::Identifier))
                Expected("identifier");
            const std::string word = Upper(Read().text);
            const auto found = std::find_if(known.begin(), known.end(), [&](const auto& k) { return word == k.first; });
            if (found == known.end())
                Expected(names, true);
            flags |= found->second;
        }
        return flags;
    }

    std::uint16_t MemoryFlags(std::uint16_t flags)
    {
        while (Next(RcTokenKind::Identifier)) {
            const std::string word = Upper(tokens_[pos_].text);
            if (word == "PRELOAD")
                flags |= kMemoryPreload;
            else if (word == "LOADONCALL")
                flags &= ~kMemoryPreload;
            else if (word == "FIXED")
                flags &= ~(kMemoryMoveable | kMemoryDiscardable);
            else if (word == "MOVEABLE")
                flags |= kMemoryMoveable;
            else if (word == "DISCARDABLE")
                flags |= kMemoryDiscardable | kMemoryMoveable | kMemoryPure;
            else if (word == "PURE" || word == "SHARED")
                flags |= kMemoryPure;
            else if (word == "IMPURE" || word == "NONSHARED")
                flags &= ~(kMemoryPure | kMemoryDiscardable);
            else
                return flags;
            ++pos_;
        }
        return flags;
    }

    std::uint16_t Language()
    {
        const std::vector<RcInt> args = IntsWithCommas(2, 2);
        if (args[0].value >> 10)
            throw ParseError{tokens_[pos_ - 1].line,
                             "Primary language ID (" + std::to_string(args[0].value) + ") does not fit in 10 bits."};
        if (args[1].value >> 6)
            throw ParseError{tokens_[pos_ - 1].line,
                             "Sublanguage ID (" + std::to_string(args[1].value) + ") does not fit in 6 bits."};
        return static_cast<std::uint16_t>(args[0].value | (args[1].value << 10));
    }

    enum class OptionKind { Basic, Dialog, DialogEx };

    RcOptions Options(OptionKind kind)
    {
        RcOptions options;
        while (!Next(RcTokenKind::BlockBegin)) {
            if (!Next(RcTokenKind::Identifier))
                Expected("identifier");
            const std::string word = Upper(Read().text);
            if (word == "CHARACTERISTICS") {
                options.characteristics = Int().value;
            } else if (word == "LANGUAGE") {
                options.language = Language();
            } else if (word == "VERSION") {
                options.version = Int().value;
            } else if (kind != OptionKind::Basic && word == "CAPTION") {
                options.caption = String();
            } else if (kind != OptionKind::Basic && word == "CLASS") {
                options.windowClass = IntOrString();
            } else if (kind != OptionKind::Basic && word == "EXSTYLE") {
                options.exStyle = Int().value;
            } else if (kind != OptionKind::Basic && word == "FONT") {
                RcOptions::Font font;
                font.size = Int().value;
                Consume(RcTokenKind::Comma, "','");
                font.name = String();
                if (kind == OptionKind::DialogEx && ConsumeOptional(RcTokenKind::Comma)) {
                    const std::vector<RcInt> args = IntsWithCommas(0, 3);
                    if (args.size() >= 1)
                        font.weight = args[0].value;
                    if (args.size() >= 2)
                        font.italic = args[1].value != 0;
                    if (args.size() >= 3)
                        font.charset = args[2].value;
                }
                options.font = font;
            } else if (kind != OptionKind::Basic && word == "STYLE") {
                options.style = Int().value;
            } else if (kind != OptionKind::Basic && word == "MENU") {
                options.menu = IntOrString();
            } else {
                Expected("optional statement type, BEGIN or '{'", true);
            }
        }
        return options;
    }

    RcResource Resource()
    {
        RcResource resource;
        resource.line = tokens_[pos_].line;
        const RcValue first = TypeOrName();
        const std::string firstWord = first.isInt ? std::string() : Upper(first.text);
        if (firstWord == "LANGUAGE") {
            resource.kind = RcKind::Language;
            resource.language = Language();
            return resource;
        }
        if (firstWord == "STRINGTABLE") {
            resource.kind = RcKind::StringTable;
            resource.typeText = "STRINGTABLE";
            resource.memoryFlags = MemoryFlags(kMemoryDiscardable | kMemoryPure | kMemoryMoveable);
            resource.options = Options(OptionKind::Basic);
            Consume(RcTokenKind::BlockBegin, "'{'");
            while (!ConsumeOptional(RcTokenKind::BlockEnd)) {
                const std::uint32_t id = Int().value;
                ConsumeOptional(RcTokenKind::Comma);
                std::vector<std::string> parts{String()};
                while (Next(RcTokenKind::String))
                    parts.emplace_back(Read().text);
                resource.strings.emplace_back(id, std::move(parts));
            }
            return resource;
        }
        resource.name = first;
        const RcValue type = TypeOrName();
        resource.typeText = type.isInt ? std::to_string(type.number.value) : std::string(type.text);
        const std::string word = type.isInt ? std::string() : Upper(type.text);
        if (word == "ACCELERATORS")
            Accelerators(resource);
        else if (word == "BITMAP" || word == "CURSOR" || word == "ICON" || word == "HTML")
            FileResource(resource, word);
        else if (word == "DIALOG" || word == "DIALOGEX")
            Dialog(resource, word == "DIALOGEX");
        else if (word == "MENU" || word == "MENUEX")
            Menu(resource, word == "MENUEX");
        else if (word == "VERSIONINFO")
            VersionInfo(resource);
        else if (word == "TOOLBAR")
            Toolbar(resource, type);
        else if (word == "DLGINCLUDE")
            DlgInclude(resource);
        else
            UserDefined(resource, PredefinedType(word, type));
        return resource;
    }

    void Accelerators(RcResource& resource)
    {
        resource.kind = RcKind::Accelerators;
        resource.memoryFlags = MemoryFlags(kMemoryPure | kMemoryMoveable);
        resource.options = Options(OptionKind::Basic);
        Consume(RcTokenKind::BlockBegin, "'{'");
        while (!ConsumeOptional(RcTokenKind::BlockEnd)) {
            RcAccelerator accelerator;
            accelerator.event = IntOrString();
            Consume(RcTokenKind::Comma, "','");
            accelerator.id = Int().value;
            accelerator.flags = Flags({{"ASCII", 0x8000},
                                       {"VIRTKEY", 0x0001},
                                       {"NOINVERT", 0x0002},
                                       {"ALT", 0x0010},
                                       {"SHIFT", 0x0004},
                                       {"CONTROL", 0x0008}},
                                      "ASCII/VIRTKEY/NOINVERT/ALT/SHIFT/CONTROL");
            resource.accelerators.push_back(std::move(accelerator));
        }
    }

    void FileResource(RcResource& resource, const std::string& word)
    {
        resource.kind = word == "BITMAP" ? RcKind::Bitmap
            : word == "CURSOR"           ? RcKind::Cursor
            : word == "ICON"             ? RcKind::Icon
                                         : RcKind::Html;
        const bool image = resource.kind == RcKind::Cursor || resource.kind == RcKind::Icon;
        resource.memoryFlags = MemoryFlags(image ? kMemoryDiscardable | kMemoryMoveable : kMemoryPure | kMemoryMoveable);
        resource.isFile = true;
        resource.file = Filename();
    }

    void Dialog(RcResource& resource, bool extended)
    {
        resource.kind = RcKind::Dialog;
        resource.extended = extended;
        resource.memoryFlags = MemoryFlags(kMemoryDiscardable | kMemoryPure | kMemoryMoveable);
        const std::vector<RcInt> place = IntsWithCommas(4, 4);
        resource.x = place[0].value;
        resource.y = place[1].value;
        resource.width = place[2].value;
        resource.height = place[3].value;
        if (extended && ConsumeOptional(RcTokenKind::Comma))
            resource.helpId = Int().value;
        resource.options = Options(extended ? OptionKind::DialogEx : OptionKind::Dialog);
        Consume(RcTokenKind::BlockBegin, "'{'");
        while (!ConsumeOptional(RcTokenKind::BlockEnd))
            resource.controls.push_back(Control(extended));
    }

    RcControl Control(bool extended)
    {
        if (!Next(RcTokenKind::Identifier))
            Expected("identifier");
        RcControl control;
        control.type = Upper(Read().text);
        const auto* type = std::find_if(std::begin(kControlTypes), std::end(kControlTypes),
                                        [&](const ControlType& t) { return control.type == t.name; });
        if (type == std::end(kControlTypes))
            Expected("control type, END or '}'", true);
        control.defaultStyle = type->style;
        control.title = RcValue{false, {}, {}};
        // llvm-rc wants a comma after the title and the id; rc.exe does without, as scripts
        // of its time show ("CTEXT "Cursor" -1, 0, 5, 144, 8"), and so do we.
        if (type->hasTitle) {
            control.title = IntOrString();
            ConsumeOptional(RcTokenKind::Comma);
        }
        control.line = AtEnd() ? 0 : tokens_[pos_].line;
        control.id = Int().value;
        ConsumeOptional(RcTokenKind::Comma);
        const bool generic = control.type == "CONTROL";
        if (generic) {
            control.controlClass = ControlClass();
            Consume(RcTokenKind::Comma, "','");
            control.style = Expression();
            Consume(RcTokenKind::Comma, "','");
        } else {
            control.controlClass = RcValue{true, {type->controlClass, false}, {}};
        }
        const std::vector<RcInt> place = IntsWithCommas(4, 4);
        control.x = place[0].value;
        control.y = place[1].value;
        control.width = place[2].value;
        control.height = place[3].value;
        if (!generic && ConsumeOptional(RcTokenKind::Comma))
            control.style = Expression();
        if (ConsumeOptional(RcTokenKind::Comma))
            control.exStyle = Int().value;
        if (ConsumeOptional(RcTokenKind::Comma))
            control.helpId = Int().value;
        // DIALOGEX: creation data for the control, { 1, "text" }, which llvm-rc lacks.
        if (extended && Next(RcTokenKind::BlockBegin)) {
            ++pos_;
            while (!ConsumeOptional(RcTokenKind::BlockEnd)) {
                control.data.push_back(IntOrString());
                while (ConsumeOptional(RcTokenKind::Comma)) { }
            }
        }
        return control;
    }

    /// A CONTROL's class: a string, one of the six predefined classes as a bare word (BUTTON,
    /// EDIT, STATIC, LISTBOX, SCROLLBAR, COMBOBOX), or a number, which rc.exe miscompiles and
    /// which is written as the ordinal it names, as zig rc writes it, with a warning.
    RcValue ControlClass()
    {
        if (Next(RcTokenKind::Identifier) && !NextIs("NOT")) {
            const std::string_view word = Read().text;
            if (const std::optional<std::uint16_t> ordinal = PredefinedControlClass(std::u16string(word.begin(), word.end())))
                return RcValue{true, {*ordinal, false}, {}};
            Expected("control class (BUTTON, EDIT, STATIC, LISTBOX, SCROLLBAR, COMBOBOX or a string)", true);
        }
        if (Next(RcTokenKind::String))
            return RcValue{false, {}, String()};
        const std::size_t line = AtEnd() ? 0 : tokens_[pos_].line;
        const RcInt number = Int();
        Warn(line, "rc.exe miscompiles a control class given as a number; it is written as the class ordinal " +
                       std::to_string(number.value & 0xFFFF) + ", as zig rc writes it");
        return RcValue{true, {number.value & 0xFFFF, false}, {}};
    }

    /// RCDATA and the types rc.exe and windres know by name (MESSAGETABLE is RT_MESSAGETABLE,
    /// 11). llvm-rc writes the other names as type strings, which the Windows loader does not
    /// find under the RT_ numbers; we write the numbers.
    static RcValue PredefinedType(const std::string& word, const RcValue& type)
    {
        static constexpr std::pair<const char*, std::uint32_t> kTypes[] = {
            {"RCDATA", 10},   {"MESSAGETABLE", 11}, {"FONT", 8},       {"DLGINIT", 240},
            {"PLUGPLAY", 19}, {"VXD", 20},          {"ANICURSOR", 21}, {"ANIICON", 22}};
        for (const auto& [name, number] : kTypes)
            if (word == name)
                return RcValue{true, {number, false}, {}};
        return type;
    }

    /// MENU, or MENUEX, which llvm-rc of this version lacks (written as windres writes it).
    void Menu(RcResource& resource, bool extended)
    {
        resource.kind = extended ? RcKind::MenuEx : RcKind::Menu;
        resource.memoryFlags = MemoryFlags(kMemoryDiscardable | kMemoryPure | kMemoryMoveable);
        resource.options = Options(OptionKind::Basic);
        resource.menu = extended ? MenuExItems(0) : MenuItems(0);
    }

    /// The '{' of a menu or popup `depth` levels down.
    void OpenMenuBlock(int depth)
    {
        if (depth > 64)
            throw ParseError{tokens_[pos_ - 1].line, "menus nested deeper than 64 levels"};
        Consume(RcTokenKind::BlockBegin, "'{'");
    }

    /// After a comma, an optional number: "MENUITEM "a", , 0x800" leaves the id out.
    std::uint32_t OptionalNumber()
    {
        if (Next(RcTokenKind::Int) || Next(RcTokenKind::Minus) || Next(RcTokenKind::Tilde) ||
            Next(RcTokenKind::LeftParen) || NextIs("NOT"))
            return Int().value;
        return 0;
    }

    /// Reads MENUITEM (true) or POPUP (false).
    bool MenuItemWord()
    {
        if (!Next(RcTokenKind::Identifier))
            Expected("identifier");
        const std::string word = Upper(Read().text);
        if (word != "MENUITEM" && word != "POPUP")
            Expected("MENUITEM, POPUP, END or '}'", true);
        return word == "MENUITEM";
    }

    std::vector<RcMenuItem> MenuExItems(int depth)
    {
        OpenMenuBlock(depth);
        std::vector<RcMenuItem> items;
        while (!ConsumeOptional(RcTokenKind::BlockEnd)) {
            const bool isItem = MenuItemWord();
            RcMenuItem item;
            item.kind = isItem ? RcMenuItem::Kind::Item : RcMenuItem::Kind::Popup;
            if (isItem && NextIs("SEPARATOR")) {
                ++pos_;
                item.type = 0x800;  // MFT_SEPARATOR
                items.push_back(std::move(item));
                continue;
            }
            item.caption = String();
            std::uint32_t* fields[] = {&item.id, &item.type, &item.state, &item.helpId};
            const std::size_t count = isItem ? 3 : 4;
            for (std::size_t i = 0; i < count && ConsumeOptional(RcTokenKind::Comma); ++i)
                *fields[i] = OptionalNumber();
            if (!isItem)
                item.children = MenuExItems(depth + 1);
            items.push_back(std::move(item));
        }
        return items;
    }

    std::vector<RcMenuItem> MenuItems(int depth)
    {
        OpenMenuBlock(depth);
        std::vector<RcMenuItem> items;
        while (!ConsumeOptional(RcTokenKind::BlockEnd)) {
            const bool isItem = MenuItemWord();
            RcMenuItem item;
            if (isItem && Next(RcTokenKind::Identifier)) {
                if (Upper(Read().text) != "SEPARATOR")
                    Expected("SEPARATOR or string", true);
                item.kind = RcMenuItem::Kind::Separator;
                items.push_back(std::move(item));
                continue;
            }
            item.caption = String();
            item.id = 0xFFFFFFFF;
            if (isItem) {
                ConsumeOptional(RcTokenKind::Comma);  // rc.exe does without it
                item.id = Int().value;
            }
            item.flags = Flags({{"CHECKED", 0x0008},
                                {"GRAYED", 0x0001},
                                {"HELP", 0x4000},
                                {"INACTIVE", 0x0002},
                                {"MENUBARBREAK", 0x0020},
                                {"MENUBREAK", 0x0040}},
                               "CHECKED/GRAYED/HELP/INACTIVE/MENUBARBREAK/MENUBREAK");
            if (!isItem) {
                item.kind = RcMenuItem::Kind::Popup;
                item.children = MenuItems(depth + 1);
            }
            items.push_back(std::move(item));
        }
        return items;
    }

    /// TOOLBAR width, height { BUTTON id | SEPARATOR ... }, which rc.exe and windres read
    /// and llvm-rc does not; a TOOLBAR naming a file stays a user-defined resource, as in
    /// llvm-rc.
    void Toolbar(RcResource& resource, const RcValue& type)
    {
        const std::size_t start = pos_;
        resource.memoryFlags = MemoryFlags(kMemoryPure | kMemoryMoveable);
        if (Next(RcTokenKind::String) || Next(RcTokenKind::Identifier) || Next(RcTokenKind::BlockBegin)) {
            pos_ = start;
            return UserDefined(resource, type);
        }
        resource.kind = RcKind::Toolbar;
        const std::vector<RcInt> size = IntsWithCommas(2, 2);
        resource.width = size[0].value;
        resource.height = size[1].value;
        Consume(RcTokenKind::BlockBegin, "'{'");
        while (!ConsumeOptional(RcTokenKind::BlockEnd)) {
            if (!Next(RcTokenKind::Identifier))
                Expected("BUTTON, SEPARATOR, END or '}'");
            const std::string item = Upper(Read().text);
            if (item == "SEPARATOR")
                resource.buttons.push_back(0);
            else if (item == "BUTTON")
                resource.buttons.push_back(Int().value);
            else
                Expected("BUTTON, SEPARATOR, END or '}'", true);
        }
    }

    /// rc.exe writes the header's name, a narrow string ended by a NUL, not the header.
    void DlgInclude(RcResource& resource)
    {
        resource.kind = RcKind::DlgInclude;
        resource.memoryFlags = MemoryFlags(kDefaultMemoryFlags);
        resource.file = String();
    }

    void UserDefined(RcResource& resource, const RcValue& type)
    {
        resource.kind = RcKind::User;
        resource.type = type;
        resource.memoryFlags = MemoryFlags(kMemoryPure | kMemoryMoveable);
        if (AtEnd())
            Expected("filename, '{' or BEGIN");
        if (Next(RcTokenKind::String) || Next(RcTokenKind::Identifier)) {
            resource.isFile = true;
            resource.file = Filename();
            return;
        }
        Consume(RcTokenKind::BlockBegin, "'{'");
        while (!ConsumeOptional(RcTokenKind::BlockEnd)) {
            resource.data.push_back(IntOrString());
            while (ConsumeOptional(RcTokenKind::Comma)) { }
        }
    }

    void VersionInfo(RcResource& resource)
    {
        static constexpr const char* kFixed[] = {"FILEVERSION", "PRODUCTVERSION", "FILEFLAGSMASK", "FILEFLAGS",
                                                 "FILEOS",      "FILETYPE",       "FILESUBTYPE"};
        resource.kind = RcKind::VersionInfo;
        resource.memoryFlags = MemoryFlags(kMemoryMoveable | kMemoryPure);
        while (!Next(RcTokenKind::BlockBegin)) {
            if (!Next(RcTokenKind::Identifier))
                Expected("identifier");
            const std::string word = Upper(Read().text);
            const auto* found = std::find(std::begin(kFixed), std::end(kFixed), word);
            if (found == std::end(kFixed))
                Expected("fixed VERSIONINFO statement type", true);
            std::vector<std::uint32_t>& field = resource.fixed[found - std::begin(kFixed)];
            // rc.exe takes a field given twice: the last one wins.
            if (!field.empty()) {
                Warn(tokens_[pos_ - 1].line, word + " is given again; rc.exe keeps the last one");
                field.clear();
            }
            const std::size_t count = found - std::begin(kFixed) < 2 ? 4 : 1;
            for (const RcInt& value : IntsWithCommas(1, count))
                field.push_back(value.value);
            field.resize(count, 0);
        }
        resource.versionEntries = VersionBlock(0);
    }

    std::vector<RcVersionEntry> VersionBlock(int depth)
    {
        if (depth > 64)
            throw ParseError{tokens_[pos_ - 1].line, "VERSIONINFO blocks nested deeper than 64 levels"};
        Consume(RcTokenKind::BlockBegin, "'{'");
        std::vector<RcVersionEntry> entries;
        while (!Next(RcTokenKind::BlockEnd)) {
            if (!Next(RcTokenKind::Identifier))
                Expected("identifier");
            const std::string word = Upper(Read().text);
            RcVersionEntry entry;
            if (word == "BLOCK") {
                entry.isBlock = true;
                entry.key = String();
                entry.children = VersionBlock(depth + 1);
            } else if (word == "VALUE") {
                entry.key = String();
                // Without a comma after the key, rc.exe miscompiles the padding before a
                // string value; it is written as with the comma, as zig rc writes it.
                if (!ConsumeOptional(RcTokenKind::Comma) && Next(RcTokenKind::String))
                    Warn(tokens_[pos_].line, "VALUE " + entry.key +
                                                 " has no comma after its key: rc.exe would miscompile the padding "
                                                 "before its value; it is written as with the comma");
                while (!Next(RcTokenKind::Identifier) && !Next(RcTokenKind::BlockEnd)) {
                    const bool comma = !entry.values.empty() && ConsumeOptional(RcTokenKind::Comma);
                    entry.values.push_back(IntOrString());
                    entry.commaBefore.push_back(comma);
                }
            } else {
                Expected("BLOCK or VALUE", true);
            }
            entries.push_back(std::move(entry));
        }
        ++pos_;
        return entries;
    }

    const std::vector<RcToken>& tokens_;
    std::size_t pos_ = 0;
    int depth_ = 0;
    std::vector<Diagnostic> warnings_;
};

}  // namespace

RcParse ParseResourceScript(const std::vector<RcToken>& tokens)
{
    return Parser(tokens).All();
}

}  // namespace brevok

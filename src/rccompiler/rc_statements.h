// What the parser reads out of a resource script: one record per top-level statement, with
// the values still as the script spells them (strings with their quotes), as llvm-rc's
// statement classes hold them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "image/res_file.h"

namespace brevok {

/// A number and whether an L made it 32 bits.
struct RcInt {
    std::uint32_t value = 0;
    bool isLong = false;
};

/// A number, or an identifier or string literal as written.
struct RcValue {
    bool isInt = true;
    RcInt number;
    std::string text;
};

/// A style with the bits a NOT took out of a control's default style.
struct RcStyle {
    RcInt value;
    std::uint32_t notMask = 0;
};

/// The optional statements before a resource's block.
struct RcOptions {
    std::optional<std::uint16_t> language;
    std::optional<std::uint32_t> characteristics;
    std::optional<std::uint32_t> version;
    std::optional<std::uint32_t> style;
    std::optional<std::uint32_t> exStyle;
    /// The CAPTION string as written; absent and "" both leave the caption out.
    std::string caption;
    std::optional<RcValue> windowClass;
    std::optional<RcValue> menu;
    struct Font {
        std::uint32_t size = 0;
        std::string name;
        std::uint32_t weight = 0;
        bool italic = false;
        std::uint32_t charset = 1;
    };
    std::optional<Font> font;
};

struct RcAccelerator {
    RcValue event;
    std::uint32_t id = 0;
    std::uint16_t flags = 0;
};

struct RcControl {
    std::string type;  // upper case: LTEXT, CONTROL, ...
    RcValue title;
    std::uint32_t id = 0;
    /// 0-based line of the id.
    std::size_t line = 0;
    std::uint32_t x = 0, y = 0, width = 0, height = 0;
    std::optional<RcStyle> style;
    std::optional<std::uint32_t> exStyle;
    std::optional<std::uint32_t> helpId;
    RcValue controlClass;
    /// A DIALOGEX control's creation data block, as user-defined data.
    std::vector<RcValue> data;
    /// The control's default style and whether its type has a title.
    std::uint32_t defaultStyle = 0;
};

struct RcMenuItem {
    enum class Kind { Item, Separator, Popup };
    Kind kind = Kind::Item;
    std::string caption;
    std::uint32_t id = 0;
    std::uint16_t flags = 0;
    /// MENUEX: the item's type, state and a popup's help id.
    std::uint32_t type = 0;
    std::uint32_t state = 0;
    std::uint32_t helpId = 0;
    std::vector<RcMenuItem> children;
};

struct RcVersionEntry {
    bool isBlock = false;
    std::string key;  // the BLOCK name or VALUE key, as written
    std::vector<RcValue> values;
    std::vector<bool> commaBefore;
    std::vector<RcVersionEntry> children;
};

enum class RcKind {
    Language,
    StringTable,
    Accelerators,
    Bitmap,
    Cursor,
    Icon,
    Dialog,
    Html,
    Menu,
    MenuEx,
    User,
    VersionInfo,
    Toolbar,
    /// NAME DLGINCLUDE "header.h": the header's name itself is the data.
    DlgInclude
};

struct RcResource {
    RcKind kind = RcKind::User;
    /// 0-based line of the text where the statement starts.
    std::size_t line = 0;
    RcValue name;
    /// The type of a user-defined resource (RCDATA is 10).
    RcValue type;
    /// The type as the script wrote it, for messages ("RCDATA", "DIALOGEX", "24").
    std::string typeText;
    std::uint16_t memoryFlags = kDefaultMemoryFlags;
    RcOptions options;
    /// Top-level LANGUAGE.
    std::uint16_t language = 0;
    /// A file resource's name as written.
    bool isFile = false;
    std::string file;
    std::vector<RcValue> data;
    std::vector<RcAccelerator> accelerators;
    bool extended = false;
    std::uint32_t x = 0, y = 0, width = 0, height = 0, helpId = 0;
    std::vector<RcControl> controls;
    std::vector<RcMenuItem> menu;
    std::vector<std::pair<std::uint32_t, std::vector<std::string>>> strings;
    /// VERSIONINFO fixed fields in llvm-rc's order (FILEVERSION .. FILESUBTYPE) and whether
    /// each was given.
    std::vector<std::uint32_t> fixed[7];
    std::vector<RcVersionEntry> versionEntries;
    /// A TOOLBAR's button ids, 0 for a separator (its size in width and height).
    std::vector<std::uint32_t> buttons;
};

/// The ordinal of one of the six window classes Windows' dialog manager knows by number
/// (BUTTON 0x80, EDIT, STATIC, LISTBOX, SCROLLBAR, COMBOBOX 0x85), named in any letter case;
/// nothing for any other name. rc.exe writes these classes as their ordinals.
std::optional<std::uint16_t> PredefinedControlClass(std::u16string_view name);

}  // namespace brevok

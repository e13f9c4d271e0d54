// Resource lines that Add File writes: the type from a file's extension, the name rule and
// the line itself.
#pragma once

#include "rules/paths.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace brevok {

/// The longest resource name the name prompt takes and IsValidResourceName accepts.
inline constexpr std::size_t kMaxResourceNameLength = 255;

/// Texts of Add File, exactly as the user sees them.
inline constexpr std::string_view kAddFileDialogTitle = "Selecting files for resource script";
inline constexpr std::string_view kAddFileFilter = "All Files (*.*)|*.*";
inline constexpr std::string_view kResourceNameCaption = "Resource Name";
inline constexpr std::string_view kResourceNamePrompt = "Please enter an alphanumeric name for this resource";
inline constexpr std::string_view kResourceNameError = "The Resource Name must be alphanumeric only";

/// One row of the extension table: an upper-case extension with its dot (empty for a file
/// without an extension) and the resource type keyword written for it.
struct ExtensionType {
    std::string_view extension;
    std::string_view type;
};

/// The seven rows of the extension table, in the order they are searched.
inline constexpr ExtensionType kExtensionTable[] = {
    {".BMP", "BITMAP"}, {".ICO", "ICON"}, {".CUR", "CURSOR"}, {".WAV", "WAVE"},
    {".MID", "MIDI"},   {".AVI", "AVI"},  {"", "RCDATA"},
};

/// The type used for every extension the table does not name.
inline constexpr std::string_view kFallbackResourceType = "RCDATA";

/// The resource type for a data file: its extension (ExtensionOf in `style`, ASCII
/// upper-cased) looked up in kExtensionTable, "RCDATA" when no row matches.
/// ResourceTypeForPath("logo.bmp") == "BITMAP", ResourceTypeForPath("pic.Bmp.txt") == "RCDATA".
std::string ResourceTypeForPath(std::string_view path, PathStyle style = kHostPathStyle);

/// True for 1 to 255 characters, each an ASCII digit, ASCII letter or underscore.
bool IsValidResourceName(std::string_view name);

/// The resource line: name, a space, type, a space, then the full path in double quotes,
/// all unchanged. BuildResourceLine("Splash", "BITMAP", "C:\\Art\\Splash Screen.bmp")
/// == "Splash BITMAP \"C:\\Art\\Splash Screen.bmp\"".
std::string BuildResourceLine(std::string_view name, std::string_view type, std::string_view fullPath);

}  // namespace brevok

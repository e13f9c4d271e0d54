// Folder part, file part and extension of a path, in Windows or POSIX style.
#pragma once

#include "rules/host_system.h"

#include <string>
#include <string_view>
#include <vector>

namespace brevok {

/// Which characters separate folders. Windows: "\" and ":" (a drive's colon ends a folder
/// part too); POSIX: "/".
enum class PathStyle { Windows, Posix };

inline constexpr PathStyle kHostPathStyle = kHostIsWindows ? PathStyle::Windows : PathStyle::Posix;

/// True when `c` ends a folder part in `style`.
bool IsPathSeparator(char c, PathStyle style = kHostPathStyle);

/// The separator the style appends to folders: "\" or "/".
char FolderSeparator(PathStyle style = kHostPathStyle);

/// Everything up to and including the last separator; empty when there is none.
/// Windows: FolderPart("C:\\my.files\\readme") == "C:\\my.files\\", FolderPart("C:logo.bmp") == "C:".
std::string FolderPart(std::string_view path, PathStyle style = kHostPathStyle);

/// Everything after the last separator (the whole path when there is none).
std::string FilePart(std::string_view path, PathStyle style = kHostPathStyle);

/// The text from the last dot to the end, the dot included, when no separator follows that
/// dot; otherwise empty. ExtensionOf("pic.Bmp.txt") == ".txt".
std::string ExtensionOf(std::string_view path, PathStyle style = kHostPathStyle);

/// Removes the extension (if any) and appends `newExtension` (which carries its own dot).
std::string ReplaceExtension(std::string_view path, std::string_view newExtension, PathStyle style = kHostPathStyle);

/// Appends the style's folder separator when the last character is not that separator;
/// looks at the last character only. The empty text gives the separator alone.
std::string EnsureTrailingBackslash(std::string_view path, PathStyle style = kHostPathStyle);

/// What separates the folders of a search list (PATH, INCLUDE): ":", or ";" on Windows.
#ifdef _WIN32
inline constexpr char kSearchPathSeparator = ';';
#else
inline constexpr char kSearchPathSeparator = ':';
#endif

/// The entries of a search list, in order, split at kSearchPathSeparator: every entry, an
/// empty one too (what it means is the reader's: PATH's is the current folder), so the
/// empty list is one empty entry and a trailing separator ends in one.
std::vector<std::string> SplitSearchList(std::string_view list);

}  // namespace brevok

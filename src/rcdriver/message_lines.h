// What the companion tools print and how their output is read back: the banner, the line
// rules of a capture, and printing a line to standard output.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace brevok {

/// The compiler and the binder both open their output with a three-line banner.
inline constexpr std::size_t kBannerLines = 3;

/// The three banner lines a tool prints first: name and version, a copyright line, and an
/// empty line. When no C preprocessor is available the first line says that #include and
/// #define are not processed (the banner stays three lines: callers drop exactly three).
std::vector<std::string> BannerLines(std::string_view toolName);

/// The version of the companion tools ("1.1.0.3"), the program's own.
std::string_view ToolsVersion();

/// Splits captured tool output into the pane's lines as the pane loads a file: a line ends
/// at CR LF, a lone CR or a lone LF, and a break at the very end adds no empty line.
std::vector<std::string> SplitMessageLines(std::string_view bytes);

/// Drops the banner from split output; returns the number of lines left, a final empty line
/// not counted (none left when that number is 0).
std::size_t DropBannerLines(std::vector<std::string>& lines);

/// Writes `line` and a line feed to standard output.
void PrintLine(std::string_view line);

/// Prints the banner of `toolName`.
void PrintBanner(std::string_view toolName);

}  // namespace brevok

// What the companion tools print and how their output is read back: the banner, the line
// rules of a capture, the notices a runner adds to a capture, and printing a line to
// standard output. Everything that writes or reads a tool's output agrees through here, so
// this library links nothing but the platform's output.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevok {

/// The compiler and the binder both open their output with a three-line banner.
inline constexpr std::size_t kBannerLines = 3;

/// The second line of the banner, and of every program's --version.
inline constexpr std::string_view kCopyrightLine = "Copyright (c) Halvane. All rights reserved.";

/// The three banner lines a tool prints first: name and version, a copyright line, and an
/// empty line; whoever reads the output back drops exactly three.
std::vector<std::string> BannerLines(std::string_view toolName);

/// The version of the companion tools ("1.1.0.3"), the program's own.
std::string_view ToolsVersion();

/// Splits captured tool output into the pane's lines as the pane loads a file: a line ends
/// at CR LF, a lone CR or a lone LF (LF CR is two line ends), a break at the very end adds no
/// empty line, and a NUL byte is an ordinary byte.
std::vector<std::string> SplitMessageLines(std::string_view bytes);

/// Drops the banner from split output; returns the number of lines left, a final empty line
/// not counted (none left when that number is 0).
std::size_t DropBannerLines(std::vector<std::string>& lines);

/// What a runner writes into the capture of a command it could not start: a banner of
/// `kBannerLines` lines ("NAME Version VERSION", the copyright line, an empty line; LF
/// line ends), then `message`, so that whoever drops the banner reads the failure.
std::string StartFailureNotice(std::string_view runnerName, std::string_view message);

/// What a runner appends to `output`, the capture of a command that failed: nothing when
/// lines are left after the banner is dropped; else CR LF line ends that close an open last
/// line and make up the banner's missing lines (a CR the command wrote last then swallows no
/// line end), then `message`.
std::optional<std::string> SilentFailureNotice(std::string_view output, std::string_view message);

/// Writes `line` and a line feed to standard output (a console gets it as Unicode).
void PrintLine(std::string_view line);

/// Writes `line` and a line feed to standard error (a console gets it as Unicode).
void PrintErrorLine(std::string_view line);

/// Prints the banner of `toolName`.
void PrintBanner(std::string_view toolName);

}  // namespace brevok

// Re-direct: points the file path of every path line of a script into the working folder.
#pragma once

#include "rules/paths.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace brevok {

class ScriptDocument;

/// A path line holds a double quote, and the last separator of the whole line (in `style`)
/// lies after the first double quote and before the next one (anywhere after the first
/// when the path is not closed). For a path line, returns the head (up to and including the
/// first double quote), then `workingFolder` unchanged, then the file part (everything
/// after the last separator). Returns nullopt for every other line, which stays as it is:
/// no double quote, no separator inside the quoted path, a separator after the closing
/// quote, or a first quoted item that is not the path.
///
/// Running it again on its result gives the same line when `workingFolder` ends with a
/// separator or holds none (the settings keep it that way).
/// Windows: RedirectPathLine("Splash BITMAP \"C:\\Art\\Splash Screen.bmp\"", "D:\\Build\\")
///   == "Splash BITMAP \"D:\\Build\\Splash Screen.bmp\"".
std::optional<std::string> RedirectPathLine(std::string_view line, std::string_view workingFolder,
                                            PathStyle style = kHostPathStyle);

/// Applies RedirectPathLine to every line of `document`, first to last, and replaces only
/// the lines whose text actually changes, so listeners hear of real changes only.
/// Returns the number of lines replaced.
std::size_t RedirectScriptPaths(ScriptDocument& document, std::string_view workingFolder,
                                PathStyle style = kHostPathStyle);

}  // namespace brevok

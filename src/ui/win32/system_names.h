// The names the window takes from the system: a file chosen in a dialog or dropped on the
// window, the script named on its command line. The system gives them as UTF-16; the window
// holds its text in its ANSI code page (UTF-8 where its manifest is honoured), which on an
// older Windows may lack characters of a name.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brevok {
class Dialogs;
}

namespace brevok::win32 {

/// A name from the system as text in the window's code page, or why it cannot be.
struct TakenName {
    /// The name, when the code page holds every character of it exactly.
    std::optional<std::string> name;
    /// Otherwise the text of the box that tells the user so and what to do.
    std::string refusal;
};

/// `name` in `codePage`. A name with a character the code page lacks is refused rather than
/// taken with a '?' or a lookalike in its place, which would name another file or none.
TakenName TakeSystemName(std::wstring_view name, unsigned codePage);

/// TakeSystemName in the program's code page; a refused name is told in an error box and
/// nothing is returned.
std::optional<std::string> TakeNameOrTell(std::wstring_view name, Dialogs& dialogs);

}  // namespace brevok::win32

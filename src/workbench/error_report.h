// The generic error report: how a failure that leaves a command reaches the user.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace brevok {

class Dialogs;

/// The application title: the task bar's name for the program, the caption of plain
/// information boxes and of the error report, and the start of the main window's caption.
inline constexpr const char* kApplicationTitle = "Brevok Resource Compiler";

/// The text as the error report shows it: a full stop is appended when the last character
/// sorts after "." (compared as an unsigned byte); an empty text stays empty.
std::string WithFullStop(std::string_view text);

/// Shows `text` in the error report: a stop box with OK, captioned with the application title.
void ReportError(Dialogs& dialogs, std::string_view text);

/// Runs one command. A brevok::Error or any other std::exception that leaves it ends the
/// command there and is shown by ReportError; what the command did before stays done.
/// Returns false when the command ended that way.
bool RunReported(Dialogs& dialogs, const std::function<void()>& command);

}  // namespace brevok

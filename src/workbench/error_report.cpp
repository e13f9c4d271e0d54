// The generic error report.
#include "workbench/error_report.h"

#include "workbench/dialogs.h"

#include <exception>

namespace brevok {

std::string WithFullStop(std::string_view text)
{
    std::string shown(text);
    if (!shown.empty() && static_cast<unsigned char>(shown.back()) > static_cast<unsigned char>('.'))
        shown += '.';
    return shown;
}

void ReportError(Dialogs& dialogs, std::string_view text)
{
    dialogs.MessageBox(BoxKind::Stop, WithFullStop(text), BoxButtons::Ok);
}

bool RunReported(Dialogs& dialogs, const std::function<void()>& command)
{
    try {
        command();
        return true;
    } catch (const std::exception& failure) {
        ReportError(dialogs, failure.what());
        return false;
    }
}

}  // namespace brevok

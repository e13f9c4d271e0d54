// The shell's "open" verb over QDesktopServices.
#include "ui/qt/qt_shell.h"

#include "ui/qt/qt_text.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace brevok {

void QtShell::Open(const std::string& target, int /*showCommand*/)
{
    // TolerantMode keeps what a user typed (spaces, stray percent signs) instead of
    // rejecting it; QUrl::fromUserInput would add "http://" and is deliberately not used.
    const QUrl url(ToQt(target), QUrl::TolerantMode);
    QDesktopServices::openUrl(url);
}

Shell& DefaultShell()
{
    static QtShell shell;
    return shell;
}

}  // namespace brevok

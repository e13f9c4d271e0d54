// The shell's "open" verb over the desktop's URL opener (xdg-open on Linux).
#pragma once

#include "workbench/shell.h"

namespace brevok {

/// Opens targets with QDesktopServices::openUrl. The target is parsed as a URL as it is:
/// no scheme is invented, so "www.example.com" goes to the desktop opener as a relative
/// reference, exactly as ShellExecute receives the text. The desktop opener has no notion
/// of a maximized start, so the show command is not passed on.
class QtShell : public Shell {
public:
    void Open(const std::string& target, int showCommand) override;
};

/// The process-wide QtShell that controls use when no other shell is given.
Shell& DefaultShell();

}  // namespace brevok

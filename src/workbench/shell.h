// The shell's "open" verb: hands a web address, a mailto: link or a file to the program the
// desktop has registered for it.
#pragma once

#include <string>

namespace brevok {

/// Show command for the window of the program that the shell starts (SW_SHOWMAXIMIZED).
inline constexpr int kShowMaximized = 3;

/// ShellExecuteA(owner, "open", target, no parameters, no folder, showCommand). The Qt
/// implementation hands the target to the desktop's URL opener; tests record the calls.
class Shell {
public:
    virtual ~Shell() = default;

    /// Opens `target` as given. Failures are the shell's own business: nothing is reported
    /// back, as the caller does not look at the result.
    virtual void Open(const std::string& target, int showCommand) = 0;
};

}  // namespace brevok

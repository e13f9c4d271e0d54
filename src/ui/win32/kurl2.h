// TKURL2 on Windows: a web or e-mail address shown as a blue, underlined link that opens
// through the shell's "open" verb.
#pragma once

#include "workbench/link_target.h"
#include "workbench/shell.h"

#include <windows.h>

#include <string>

namespace brevok::win32 {

/// ShellExecuteA(no owner, "open", target, no parameters, no folder, show command).
Shell& SystemShell();

/// A child control that holds an inner label with the address. The label sits at the top-left
/// corner and sizes itself to its text, and the control's width follows it; the height is the
/// host's (13 after construction). The hand pointer shows over the whole control; a click on
/// the text opens the link.
class TKURL2 {
public:
    /// `shell` receives the "open" requests and must outlive the control; the system's shell
    /// when none is given.
    TKURL2(HWND parent, int left, int top, Shell* shell = nullptr);
    ~TKURL2();
    TKURL2(const TKURL2&) = delete;
    TKURL2& operator=(const TKURL2&) = delete;

    HWND Handle() const { return window_; }
    /// The address, which lives in the inner label's text (the control keeps no copy).
    std::string URLorEMAIL() const;
    /// Sets the address and makes the control exactly as wide as the new text.
    void SetURLorEMAIL(const std::string& address);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool show);
    LinkType Choose() const { return choose_; }
    void SetChoose(LinkType kind) { choose_ = kind; }

    /// Hands the address ("mailto:" + address for ltEMAIL) to the shell's "open" verb,
    /// maximized. Works on a control never shown.
    void OpenLink();

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    HWND label_ = nullptr;
    HWND tip_ = nullptr;
    HFONT font_ = nullptr;
    Shell* shell_ = nullptr;
    LinkType choose_ = LinkType::ltURL;
    bool showHint_ = true;
};

}  // namespace brevok::win32

// The modal interactions of the Windows window: the system's message boxes and open-file
// dialogs, the name prompt and the Resource Editor.
#pragma once

#include "workbench/dialogs.h"

#include <windows.h>

// The system header names MessageBox as a macro; here it is the Dialogs method.
#undef MessageBox

namespace brevok::win32 {

class Win32Dialogs final : public Dialogs {
public:
    /// The window the boxes and dialogs belong to; none until the main window exists.
    void SetOwner(HWND owner) { owner_ = owner; }

    BoxAnswer MessageBox(BoxKind kind, const std::string& text, BoxButtons buttons) override;
    bool OpenFile(FileDialogState& state) override;
    std::string InputText(const std::string& caption, const std::string& prompt, int maxLength) override;
    bool EditLine(std::string& text) override;

private:
    HWND owner_ = nullptr;
};

/// The filter of GetOpenFileName: "Text|*.RC|..." with NULs for the bars and two at the end.
std::string OpenFileFilter(const std::string& windowsFilter);

/// The default extension of GetOpenFileName: "*.RC" gives "RC"; none for a wildcard.
std::string DefaultExtension(const std::string& extension);

}  // namespace brevok::win32

// A small modal window of plain Win32 controls, run in a message loop of its own while its
// owner is disabled: the base of the name prompt, the Resource Editor and the about box.
#pragma once

#include <windows.h>

#include <string>

namespace brevok::win32 {

/// The font of every window: "MS Sans Serif" 8 pt (11 pixels high), the system's dialog font
/// where that is missing.
HFONT WindowFont();

/// One modal form. A derived class creates its controls in Build and ends the form with End.
class ModalForm {
public:
    virtual ~ModalForm() = default;

    /// How Run reads its size and where it puts the form.
    enum class Placement {
        OverOwner,        ///< the size is the client area's; centred over the owner
        OuterOnScreenTop  ///< the size is the frame's; centred on the screen and always on top
    };

    /// Shows the form over `owner` (size in pixels at 96 dpi) and runs until End; returns the
    /// value End was given (0 when the frame's close box ended it).
    int Run(HWND owner, const std::string& caption, int width, int height,
            Placement placement = Placement::OverOwner);

protected:
    /// Creates the controls; `form` is the form's window.
    virtual void Build(HWND form) = 0;
    /// A command from a control (a button's id); false leaves it to the form.
    virtual bool Command(WORD id, WORD code) = 0;
    /// Whether Enter and Escape act on the default and cancel buttons as a dialog's do.
    virtual bool KeyboardCloses() const { return true; }
    /// Draws an owner-drawn control; false leaves it undrawn.
    virtual bool Draw(const DRAWITEMSTRUCT& /*item*/) { return false; }

    void End(int result);
    HWND Form() const { return form_; }
    /// The control that has the focus when the form opens, and again whenever it is activated
    /// (after a box over it closes) unless another control had it.
    void FocusFirst(HWND control) { focus_ = control; }
    /// A child control with the window font.
    HWND AddControl(const char* className, const char* text, DWORD style, int x, int y, int width, int height, int id);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND form_ = nullptr;
    HWND focus_ = nullptr;
    bool done_ = false;
    int result_ = 0;
};

/// The text of a window, as bytes in the system's code page.
std::string WindowText(HWND window);

/// The size `text` takes on `window`'s screen in `font`.
SIZE TextExtent(HWND window, HFONT font, const std::string& text);

}  // namespace brevok::win32

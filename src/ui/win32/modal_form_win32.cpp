// Modal forms of plain Win32 controls.
#include "ui/win32/modal_form.h"

#include "platform/wide_text.h"

namespace brevok::win32 {

namespace {

constexpr const char* kFormClass = "BrevokModalForm";

void RegisterFormClass(WNDPROC procedure)
{
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSEXA kind{};
    kind.cbSize = sizeof kind;
    kind.lpfnWndProc = procedure;
    kind.hInstance = GetModuleHandleA(nullptr);
    kind.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    kind.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    kind.lpszClassName = kFormClass;
    registered = RegisterClassExA(&kind) != 0;
}

}  // namespace

HFONT WindowFont()
{
    static HFONT font = [] {
        HFONT made = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
        return made != nullptr ? made : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }();
    return font;
}

std::string WindowText(HWND window)
{
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

SIZE TextExtent(HWND window, HFONT font, const std::string& text)
{
    HDC context = GetDC(window);
    HGDIOBJ old = SelectObject(context, font);
    SIZE size{};
    // The ANSI call would read the text in the code page of the font's character set (1252
    // for a Western font), not in the window's own.
    const std::wstring wide = WideText(text);
    GetTextExtentPoint32W(context, wide.c_str(), static_cast<int>(wide.size()), &size);
    SelectObject(context, old);
    ReleaseDC(window, context);
    return size;
}

HWND ModalForm::AddControl(const char* className, const char* text, DWORD style, int x, int y, int width, int height,
                           int id)
{
    HWND control =
        CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, form_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont()), TRUE);
    return control;
}

void ModalForm::End(int result)
{
    result_ = result;
    done_ = true;
}

int ModalForm::Run(HWND owner, const std::string& caption, int width, int height, Placement placement)
{
    RegisterFormClass(&ModalForm::Procedure);
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    DWORD exStyle = WS_EX_DLGMODALFRAME;
    RECT over{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (placement == Placement::OverOwner) {
        RECT frame{0, 0, width, height};
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
        width = frame.right - frame.left;
        height = frame.bottom - frame.top;
        // Centred over the owner, or the screen when there is none.
        if (owner != nullptr)
            GetWindowRect(owner, &over);
    } else {
        exStyle |= WS_EX_TOPMOST;
    }
    const int x = over.left + (over.right - over.left - width) / 2;
    const int y = over.top + (over.bottom - over.top - height) / 2;

    done_ = false;
    result_ = 0;
    form_ = CreateWindowExA(exStyle, kFormClass, caption.c_str(), style, x, y, width, height, owner, nullptr,
                            GetModuleHandleA(nullptr), this);
    if (form_ == nullptr)
        return 0;
    Build(form_);
    if (owner != nullptr)
        EnableWindow(owner, FALSE);
    ShowWindow(form_, SW_SHOW);
    if (focus_ != nullptr)
        SetFocus(focus_);
    MSG message;
    while (!done_ && GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!KeyboardCloses() && message.message == WM_KEYDOWN &&
            (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE) && IsChild(form_, message.hwnd)) {
            // Enter and Escape reach the focused control only; they never close this form.
            HWND focused = GetFocus();
            const bool button = focused != nullptr &&
                SendMessageA(focused, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
            if (message.wParam == VK_RETURN && button)
                SendMessageA(form_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focused), BN_CLICKED),
                             reinterpret_cast<LPARAM>(focused));
            continue;
        }
        if (!IsDialogMessageA(form_, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    if (owner != nullptr) {
        EnableWindow(owner, TRUE);
        SetActiveWindow(owner);
    }
    DestroyWindow(form_);
    form_ = nullptr;
    return result_;
}

LRESULT CALLBACK ModalForm::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* form = reinterpret_cast<ModalForm*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (form == nullptr)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_COMMAND:
        if (form->Command(LOWORD(wParam), HIWORD(wParam)))
            return 0;
        if (LOWORD(wParam) == IDCANCEL && form->KeyboardCloses())
            form->End(0);
        return 0;
    case WM_CLOSE:
        form->End(0);
        return 0;
    case WM_DRAWITEM:
        return form->Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focused = GetFocus();
            if (focused != nullptr && IsChild(window, focused))
                form->focus_ = focused;
        } else if (form->focus_ != nullptr) {
            SetFocus(form->focus_);
        }
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace brevok::win32

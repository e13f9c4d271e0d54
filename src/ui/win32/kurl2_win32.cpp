// TKURL2 on Windows: the inner label, its colour, sizing, hint and pointer, and opening the link.
#include "ui/win32/kurl2.h"

#include "ui/win32/modal_form.h"

#include <commctrl.h>
#include <shellapi.h>

namespace brevok::win32 {

namespace {

constexpr const char* kLinkClass = "TKURL2";
constexpr int kInitialHeight = 13;
constexpr int kLabelId = 1;

class WindowsShell final : public Shell {
public:
    void Open(const std::string& target, int showCommand) override
    {
        ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, showCommand);
    }
};

}  // namespace

Shell& SystemShell()
{
    static WindowsShell shell;
    return shell;
}

TKURL2::TKURL2(HWND parent, int left, int top, Shell* shell) : shell_(shell != nullptr ? shell : &SystemShell())
{
    static const bool registered = [] {
        WNDCLASSEXA kind{};
        kind.cbSize = sizeof kind;
        kind.lpfnWndProc = &TKURL2::Procedure;
        kind.hInstance = GetModuleHandleA(nullptr);
        kind.hCursor = LoadCursorA(nullptr, IDC_HAND);
        kind.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        kind.lpszClassName = kLinkClass;
        return RegisterClassExA(&kind) != 0;
    }();
    (void)registered;
    window_ = CreateWindowExA(0, kLinkClass, "", WS_CHILD | WS_VISIBLE, left, top, 0, kInitialHeight, parent, nullptr,
                              GetModuleHandleA(nullptr), this);
    // The system's own face and size, underlined, whatever font the host uses.
    LOGFONTA face{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof face, &face);
    face.lfUnderline = TRUE;
    face.lfWeight = FW_NORMAL;
    face.lfItalic = FALSE;
    font_ = CreateFontIndirectA(&face);
    label_ = CreateWindowExA(0, "STATIC", kDefaultLinkAddress, WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_NOPREFIX, 0, 0, 0,
                             kInitialHeight, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLabelId)),
                             GetModuleHandleA(nullptr), nullptr);
    SendMessageA(label_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    tip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(label_);
    tool.lpszText = const_cast<char*>(kLinkHint);
    SendMessageA(tip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SetURLorEMAIL(kDefaultLinkAddress);
}

TKURL2::~TKURL2()
{
    if (window_ != nullptr) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    if (font_ != nullptr)
        DeleteObject(font_);
}

std::string TKURL2::URLorEMAIL() const
{
    return WindowText(label_);
}

void TKURL2::SetURLorEMAIL(const std::string& address)
{
    SetWindowTextA(label_, address.c_str());
    const SIZE size = TextExtent(label_, font_, address);
    SetWindowPos(label_, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    RECT own{};
    GetClientRect(window_, &own);
    SetWindowPos(window_, nullptr, 0, 0, size.cx, own.bottom, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

void TKURL2::SetShowHint(bool show)
{
    showHint_ = show;
    SendMessageA(tip_, TTM_ACTIVATE, show ? TRUE : FALSE, 0);
}

void TKURL2::OpenLink()
{
    shell_->Open(LinkTarget(URLorEMAIL(), choose_), kShowMaximized);
}

LRESULT CALLBACK TKURL2::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* link = reinterpret_cast<TKURL2*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (link == nullptr)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_SETCURSOR:
        // Over the label too, whose own class would show the arrow.
        SetCursor(LoadCursorA(nullptr, IDC_HAND));
        return TRUE;
    case WM_CTLCOLORSTATIC: {
        auto* context = reinterpret_cast<HDC>(wParam);
        SetTextColor(context, RGB(0, 0, 255));
        SetBkColor(context, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == kLabelId && HIWORD(wParam) == STN_CLICKED) {
            link->OpenLink();
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace brevok::win32

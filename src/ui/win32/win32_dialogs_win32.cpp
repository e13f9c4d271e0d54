// Message boxes, open-file dialogs, the name prompt and the Resource Editor on Win32.
#include "ui/win32/win32_dialogs.h"

#include "ui/win32/modal_form.h"
#include "ui/win32/system_names.h"
#include "platform/wide_text.h"
#include "workbench/error_report.h"

#include <commctrl.h>
#include <commdlg.h>

#undef MessageBox

#include <string_view>
#include <vector>

namespace brevok::win32 {

namespace {

const char* CaptionOf(BoxKind kind)
{
    switch (kind) {
    case BoxKind::Warning:
        return "Warning";
    case BoxKind::Error:
        return "Error";
    case BoxKind::Information:
        return "Information";
    case BoxKind::Confirmation:
        return "Confirm";
    case BoxKind::Plain:
    case BoxKind::Stop:
        break;
    }
    return kApplicationTitle;
}

UINT IconOf(BoxKind kind)
{
    switch (kind) {
    case BoxKind::Warning:
        return MB_ICONWARNING;
    case BoxKind::Error:
    case BoxKind::Stop:
        return MB_ICONSTOP;
    case BoxKind::Information:
        return MB_ICONINFORMATION;
    case BoxKind::Confirmation:
        return MB_ICONQUESTION;
    case BoxKind::Plain:
        break;
    }
    return 0;
}

UINT ButtonsOf(BoxButtons buttons)
{
    switch (buttons) {
    case BoxButtons::Ok:
        return MB_OK;
    case BoxButtons::OkCancel:
        return MB_OKCANCEL;
    case BoxButtons::YesNo:
        return MB_YESNO;
    case BoxButtons::YesNoCancel:
        return MB_YESNOCANCEL;
    }
    return MB_OK;
}

/// Escape in a Yes/No box answers No, as in every window of ours; the system's own box would
/// ignore it (Windows) or answer Cancel (Wine). The box's Cancel command becomes No.
LRESULT CALLBACK EscapeAnswersNo(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL && GetDlgItem(box, IDCANCEL) == nullptr) {
        EndDialog(box, IDNO);
        return 0;
    }
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(box, &EscapeAnswersNo, 1);
    return DefSubclassProc(box, message, wParam, lParam);
}

/// The hook that finds the box when it is first activated, gives it EscapeAnswersNo and
/// removes itself.
thread_local HHOOK boxHook = nullptr;

LRESULT CALLBACK CatchYesNoBox(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && boxHook != nullptr) {
        HWND box = reinterpret_cast<HWND>(wParam);
        char kind[16] = {};
        GetClassNameA(box, kind, sizeof kind);
        if (std::string_view(kind) == "#32770") {
            SetWindowSubclass(box, &EscapeAnswersNo, 1, 0);
            UnhookWindowsHookEx(boxHook);
            boxHook = nullptr;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

constexpr int kOkId = IDOK;
constexpr int kCancelId = IDCANCEL;
constexpr int kFieldId = 100;

/// The one-line input box: the prompt, a field of at most `maxLength` characters, OK and Cancel.
class NamePrompt final : public ModalForm {
public:
    NamePrompt(std::string prompt, int maxLength) : prompt_(std::move(prompt)), maxLength_(maxLength) { }
    std::string text;

private:
    void Build(HWND) override
    {
        AddControl("STATIC", prompt_.c_str(), SS_LEFT, 8, 8, 260, 28, -1);
        field_ = AddControl("EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 8, 40, 260, 21, kFieldId);
        SendMessageA(field_, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
        AddControl("BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 112, 72, 75, 25, kOkId);
        AddControl("BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, 193, 72, 75, 25, kCancelId);
        FocusFirst(field_);
    }
    bool Command(WORD id, WORD) override
    {
        if (id == kOkId) {
            text = WindowText(field_);
            End(1);
            return true;
        }
        if (id == kCancelId) {
            End(0);
            return true;
        }
        return false;
    }

    std::string prompt_;
    int maxLength_;
    HWND field_ = nullptr;
};

/// The Resource Editor: one line in a field, Ok and Cancel. Enter and Escape do not close it;
/// its frame's close box is Cancel.
class ResourceEditor final : public ModalForm {
public:
    explicit ResourceEditor(std::string line) : line_(std::move(line)) { }
    std::string text;

private:
    static constexpr int kEditOk = 201;
    static constexpr int kEditCancel = 202;

    void Build(HWND) override
    {
        field_ = AddControl("EDIT", line_.c_str(), WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 8, 16, 505, 21, kFieldId);
        // Windows' edit fields hold 32,767 characters unless told otherwise; a line has no limit.
        SendMessageA(field_, EM_LIMITTEXT, 0x7FFFFFFE, 0);
        shown_ = WindowText(field_);
        AddControl("BUTTON", "Ok", WS_TABSTOP | BS_PUSHBUTTON, 352, 48, 75, 25, kEditOk);
        AddControl("BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, 438, 48, 75, 25, kEditCancel);
        FocusFirst(field_);
    }
    bool Command(WORD id, WORD) override
    {
        if (id == kEditOk) {
            const std::string edited = WindowText(field_);
            // Unchanged text gives the original bytes back.
            text = edited == shown_ ? line_ : edited;
            End(1);
            return true;
        }
        if (id == kEditCancel) {
            End(0);
            return true;
        }
        return id == IDOK || id == IDCANCEL;  // Enter and Escape do nothing
    }
    bool KeyboardCloses() const override { return false; }

    std::string line_;
    std::string shown_;
    HWND field_ = nullptr;
};

}  // namespace

std::string OpenFileFilter(const std::string& windowsFilter)
{
    if (windowsFilter.empty())
        return {};
    std::string filter = windowsFilter;
    for (char& c : filter) {
        if (c == '|')
            c = '\0';
    }
    filter.push_back('\0');
    filter.push_back('\0');
    return filter;
}

std::string DefaultExtension(const std::string& extension)
{
    std::string text = extension;
    if (!text.empty() && text.front() == '*')
        text.erase(0, 1);
    if (!text.empty() && text.front() == '.')
        text.erase(0, 1);
    if (text.find_first_of("*?") != std::string::npos)
        return {};
    return text;
}

BoxAnswer Win32Dialogs::MessageBox(BoxKind kind, const std::string& text, BoxButtons buttons)
{
    const bool yesNo = buttons == BoxButtons::YesNo;
    if (yesNo)
        boxHook = SetWindowsHookExA(WH_CBT, &CatchYesNoBox, nullptr, GetCurrentThreadId());
    const int answer = MessageBoxA(owner_, text.c_str(), CaptionOf(kind), IconOf(kind) | ButtonsOf(buttons) | MB_TASKMODAL);
    if (boxHook != nullptr) {
        UnhookWindowsHookEx(boxHook);
        boxHook = nullptr;
    }
    switch (answer) {
    case IDYES:
        return BoxAnswer::Yes;
    case IDNO:
        return BoxAnswer::No;
    case IDCANCEL:
        return yesNo ? BoxAnswer::No : BoxAnswer::Cancel;
    default:
        return BoxAnswer::Ok;
    }
}

bool Win32Dialogs::OpenFile(FileDialogState& state)
{
    // The wide dialog: it gives the chosen name whole, where the ANSI one would put a '?' for a
    // character the code page lacks, and the name is then checked before it is taken.
    std::vector<wchar_t> name(32768, L'\0');
    WideText(state.fileName).copy(name.data(), name.size() - 1);
    const std::wstring filter = WideText(OpenFileFilter(state.filter));
    const std::wstring extension = WideText(DefaultExtension(state.defaultExtension));
    const std::wstring initialFolder = WideText(state.initialFolder);
    const std::wstring title = WideText(state.title);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_;
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
    dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.Flags = OFN_EXPLORER | (state.hideReadOnly ? OFN_HIDEREADONLY : 0) |
        (state.pathMustExist ? OFN_PATHMUSTEXIST : 0) | (state.fileMustExist ? OFN_FILEMUSTEXIST : 0) |
        (state.noValidate ? OFN_NOVALIDATE : 0) | (state.resizable ? OFN_ENABLESIZING : 0);
    if (!GetOpenFileNameW(&dialog))
        return false;
    // A name that cannot be carried is told, and the dialog counts as cancelled.
    const std::optional<std::string> chosen = TakeNameOrTell(name.data(), *this);
    if (!chosen)
        return false;
    state.fileName = *chosen;
    return true;
}

std::string Win32Dialogs::InputText(const std::string& caption, const std::string& prompt, int maxLength)
{
    NamePrompt form(prompt, maxLength);
    return form.Run(owner_, caption, 276, 105) == 1 ? form.text : std::string();
}

bool Win32Dialogs::EditLine(std::string& text)
{
    ResourceEditor form(text);
    if (form.Run(owner_, "Resource Editor", 521, 81) != 1)
        return false;
    text = form.text;
    return true;
}

}  // namespace brevok::win32

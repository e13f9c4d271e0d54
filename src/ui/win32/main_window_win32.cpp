// The main window on Win32: its controls, the forwarding of every event to the workbench, and
// what the workbench shows through it.
#include "ui/win32/main_window.h"

#include "ui/win32/modal_form.h"
#include "ui/win32/system_names.h"
#include "platform/wide_text.h"
#include "workbench/command_table.h"
#include "workbench/window_layout.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

namespace brevok::win32 {

namespace {

constexpr const char* kWindowClass = "TfrmResmain";
constexpr const char* kRunOutputClass = "BrevokRunOutput";
constexpr UINT kActivateMessage = WM_APP + 1;
constexpr int kFirstCommand = 1001;

/// A command's id in the menu and on the tool bar; 0 stays free for separators.
UINT_PTR MenuId(CommandId id)
{
    return static_cast<UINT_PTR>(kFirstCommand + static_cast<int>(id));
}

std::optional<CommandId> CommandOfMenuId(WPARAM id)
{
    const int index = static_cast<int>(id) - kFirstCommand;
    if (index < 0 || index >= static_cast<int>(kCommandCount))
        return std::nullopt;
    return static_cast<CommandId>(index);
}

void SetText(HWND control, const std::string& text)
{
    SetWindowTextA(control, text.c_str());
}

/// Bare LF line ends as an edit control needs them: CR LF; a lone CR is left out.
std::string ForEditControl(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 16);
    for (const char c : bytes) {
        if (c == '\r')
            continue;
        if (c == '\n')
            text += '\r';
        text += c;
    }
    return text;
}

void AppendToEdit(HWND edit, const std::string& text)
{
    const int end = GetWindowTextLengthA(edit);
    SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

LRESULT CALLBACK RunOutputProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SIZE) {
        if (HWND edit = GetWindow(window, GW_CHILD))
            MoveWindow(edit, 4, 4, LOWORD(lParam) - 8, HIWORD(lParam) - 8, TRUE);
        return 0;
    }
    if (message == WM_CLOSE)
        return 0;  // it closes when the run ends
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterClasses(WNDPROC main)
{
    WNDCLASSEXA kind{};
    kind.cbSize = sizeof kind;
    kind.lpfnWndProc = main;
    kind.hInstance = GetModuleHandleA(nullptr);
    kind.hIcon = LoadIconA(kind.hInstance, "MAINICON");
    kind.hIconSm = kind.hIcon;
    kind.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    kind.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    kind.lpszClassName = kWindowClass;
    RegisterClassExA(&kind);

    WNDCLASSEXA output = kind;
    output.lpfnWndProc = RunOutputProcedure;
    output.lpszClassName = kRunOutputClass;
    RegisterClassExA(&output);
}

}  // namespace

TfrmResmain::TfrmResmain(MainWindowServices services) : dialogs_(services.dialogs)
{
    workbench_ = std::make_unique<Workbench>(WorkbenchServices{services.dialogs, services.registry, services.launcher,
                                                               services.starter, services.programPath},
                                             static_cast<WorkbenchView&>(*this));
    RegisterClasses(&TfrmResmain::Procedure);
    // A single fixed border: minimise and close, no maximise, no resizing.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    BuildMenu();
    RECT frame{0, 0, layout::kClientWidth, layout::kClientHeight};
    AdjustWindowRectEx(&frame, style, TRUE, 0);
    window_ = CreateWindowExA(WS_EX_ACCEPTFILES, kWindowClass, kInitialCaption, style, CW_USEDEFAULT, CW_USEDEFAULT,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr, menu_,
                              GetModuleHandleA(nullptr), this);
    headingFont_ = CreateFontA(-15, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
    BuildToolBar();
    BuildControls();
    CreateAboutComponents();
    documentListener_ = workbench_->Document().AddListener([this](const ScriptChange&) { DocumentChanged(); });
    Show(workbench_->State());
    SetFocus(memCompilerMess_);
}

TfrmResmain::~TfrmResmain()
{
    workbench_->Document().RemoveListener(documentListener_);
    web_.reset();
    email_.reset();
    if (window_ != nullptr) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    if (pictures_ != nullptr)
        ImageList_Destroy(pictures_);
    if (headingFont_ != nullptr)
        DeleteObject(headingFont_);
}

void TfrmResmain::ShowCentred(int showCommand)
{
    if (!centred_) {
        centred_ = true;
        RECT place;
        GetWindowRect(window_, &place);
        const int width = place.right - place.left;
        const int height = place.bottom - place.top;
        SetWindowPos(window_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                     (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    // Some desktops never activate a new window; its first show starts the sequence as well.
    QueueActivation();
}

// --- building the window ------------------------------------------------------------------------

void TfrmResmain::BuildMenu()
{
    menu_ = CreateMenu();
    for (const MenuInfo& info : Menus()) {
        HMENU sub = CreatePopupMenu();
        for (const std::optional<CommandId>& entry : info.entries) {
            if (entry)
                AppendMenuA(sub, MF_STRING, MenuId(*entry), std::string(InfoOf(*entry).caption).c_str());
            else
                AppendMenuA(sub, MF_SEPARATOR, 0, nullptr);
        }
        AppendMenuA(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), std::string(info.caption).c_str());
    }
}

void TfrmResmain::BuildToolBar()
{
    toolBar_ = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                               WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_TOP, 0, 0,
                               layout::kClientWidth, layout::kToolBarHeight, window_, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    SendMessageA(toolBar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    pictures_ = ImageList_Create(layout::kPictureSize, layout::kPictureSize, ILC_COLOR24 | ILC_MASK, 11, 0);
    if (HBITMAP strip = LoadBitmapA(GetModuleHandleA(nullptr), "TOOLSTRIP")) {
        ImageList_AddMasked(pictures_, strip, RGB(255, 0, 255));
        DeleteObject(strip);
    }
    SendMessageA(toolBar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pictures_));
    std::vector<TBBUTTON> buttons;
    for (const ToolBarItem& item : ToolBar()) {
        TBBUTTON button{};
        button.fsState = TBSTATE_ENABLED;
        if (item.command) {
            button.iBitmap = InfoOf(*item.command).picture;
            button.idCommand = static_cast<int>(MenuId(*item.command));
            button.fsStyle = BTNS_BUTTON;
        } else {
            // A separator's picture index is its width.
            button.iBitmap = item.gapWidth;
            button.fsStyle = BTNS_SEP;
        }
        buttons.push_back(button);
    }
    SendMessageA(toolBar_, TB_ADDBUTTONS, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageA(toolBar_, TB_SETBUTTONSIZE, 0, MAKELPARAM(layout::kToolButtonWidth, layout::kToolButtonHeight));
    SendMessageA(toolBar_, TB_AUTOSIZE, 0, 0);
    MoveWindow(toolBar_, 0, 0, layout::kClientWidth, layout::kToolBarHeight, TRUE);
}

HWND TfrmResmain::AddLabel(const char* text, const layout::Box& place, HFONT font)
{
    HWND label =
        CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, place.x, place.y,
                        place.width, place.height, window_, nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return label;
}

void TfrmResmain::SizeLabelToText(HWND label)
{
    const SIZE size = TextExtent(label, WindowFont(), WindowText(label));
    SetWindowPos(label, nullptr, 0, 0, size.cx, std::max<LONG>(size.cy, 13), SWP_NOMOVE | SWP_NOZORDER);
}

void TfrmResmain::BuildControls()
{
    lblCurResFile_ = AddLabel(kResFileCaption, layout::kScriptLabel, WindowFont());
    lblCurExeFile_ = AddLabel(kExeFileCaption, layout::kExeLabel, WindowFont());
    wFolder_ = AddLabel(kFolderCaption, layout::kFolderLabel, WindowFont());
    compLab_ = AddLabel(kCompilerCaption, layout::kCompilerLabel, WindowFont());
    AddLabel("List of Resources", layout::kListHeading, headingFont_);
    AddLabel("Compiler Messages", layout::kMessagesHeading, headingFont_);

    // An owner-data list: it holds a count, and draws each visible row from the document.
    lstResList_ =
        CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", nullptr,
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NODATA | LBS_OWNERDRAWFIXED |
                            LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT | LBS_DISABLENOSCROLL,
                        layout::kList.x, layout::kList.y, layout::kList.width, layout::kList.height, window_,
                        reinterpret_cast<HMENU>(1), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(lstResList_, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont()), TRUE);
    SendMessageA(lstResList_, LB_SETITEMHEIGHT, 0, layout::kListRowHeight);
    SetWindowSubclass(lstResList_, &TfrmResmain::ListProcedure, 1, reinterpret_cast<DWORD_PTR>(this));

    memCompilerMess_ =
        CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", nullptr,
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                        layout::kMessages.x, layout::kMessages.y, layout::kMessages.width, layout::kMessages.height,
                        window_, reinterpret_cast<HMENU>(2), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(memCompilerMess_, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont()), TRUE);
    SendMessageA(memCompilerMess_, EM_LIMITTEXT, 0x7FFFFFFE, 0);

    sBar_ = CreateWindowExA(0, STATUSCLASSNAMEA, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window_, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    SendMessageA(sBar_, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont()), TRUE);
    int rightEdges[3] = {};
    for (int panel = 0, edge = 0; panel < 3; ++panel)
        rightEdges[panel] = edge += layout::kStatusPanelWidths[panel];
    SendMessageA(sBar_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(rightEdges));
    // Focus order: the message pane, then the list.
    SetWindowPos(lstResList_, memCompilerMess_, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

// --- events -------------------------------------------------------------------------------------

LRESULT CALLBACK TfrmResmain::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* self = static_cast<TfrmResmain*>(create->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TfrmResmain*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcA(window, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT CALLBACK TfrmResmain::ListProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR data)
{
    // A typed character marks the script as changed and keeps the list's own meaning.
    if (message == WM_CHAR)
        reinterpret_cast<TfrmResmain*>(data)->workbench_->NoteTypedKey();
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT TfrmResmain::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == lstResList_) {
            if (HIWORD(wParam) == LBN_DBLCLK)
                workbench_->EditSelectedLine();
            return 0;
        }
        RunCommand(LOWORD(wParam));
        return 0;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == TTN_GETDISPINFOA) {
            auto* tip = reinterpret_cast<NMTTDISPINFOA*>(lParam);
            // The hints are constant texts of the table, which end where the tip needs them to.
            if (const std::optional<CommandId> id = CommandOfMenuId(header->idFrom))
                tip->lpszText = const_cast<char*>(InfoOf(*id).hint.data());
        }
        return 0;
    }
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = layout::kListRowHeight;
        return TRUE;
    case WM_DRAWITEM:
        DrawLine(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_DROPFILES: {
        auto drop = reinterpret_cast<HDROP>(wParam);
        std::vector<std::wstring> names;
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::wstring name(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
            name.resize(DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size())));
            names.push_back(std::move(name));
        }
        DragFinish(drop);
        // A name the code page cannot hold is told and left out; the others are added.
        std::vector<std::string> paths;
        for (const std::wstring& name : names) {
            if (std::optional<std::string> path = TakeNameOrTell(name, dialogs_))
                paths.push_back(std::move(*path));
        }
        workbench_->AddDroppedFiles(paths);
        return 0;
    }
    case WM_ACTIVATE:
        // The control that had the focus gets it back when the window is active again.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focused = GetFocus();
            if (focused != nullptr && IsChild(window_, focused))
                focus_ = focused;
            return 0;
        }
        SetFocus(focus_ != nullptr ? focus_ : memCompilerMess_);
        QueueActivation();
        return 0;
    case kActivateMessage:
        workbench_->Activate();
        return 0;
    case WM_SETCURSOR:
        if (busyDepth_ > 0) {
            SetCursor(LoadCursorA(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_CLOSE:
        if (workbench_->MayClose())
            DestroyWindow(window_);
        return 0;
    case WM_DESTROY:
        window_ = nullptr;
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void TfrmResmain::RunCommand(WPARAM id)
{
    if (const std::optional<CommandId> command = CommandOfMenuId(id))
        workbench_->Execute(*command);
}

void TfrmResmain::QueueActivation()
{
    if (workbench_->Activated() || activationQueued_ || window_ == nullptr)
        return;
    activationQueued_ = true;
    // After the event that asked for it, so that boxes of the sequence open over a painted window.
    PostMessageA(window_, kActivateMessage, 0, 0);
}

void TfrmResmain::DrawLine(const DRAWITEMSTRUCT& item)
{
    if (item.hwndItem != lstResList_)
        return;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const ScriptDocument& document = workbench_->Document();
    if (item.itemID != static_cast<UINT>(-1) && item.itemID < document.LineCount()) {
        const std::string_view line = document.Line(item.itemID);
        SetBkMode(item.hDC, TRANSPARENT);
        SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT text = item.rcItem;
        text.left += 2;
        // Drawn wide: the ANSI call would read the line in the code page of the font's
        // character set, not in the window's.
        const std::wstring wide = WideText(line);
        DrawTextW(item.hDC, wide.c_str(), static_cast<int>(wide.size()), &text,
                  DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER | DT_EXPANDTABS);
    }
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(item.hDC, &item.rcItem);
}

void TfrmResmain::DocumentChanged()
{
    if (lstResList_ == nullptr)
        return;
    // Keep the selection where it was when the count changes (LB_SETCOUNT clears it).
    const LRESULT selected = SendMessageA(lstResList_, LB_GETCURSEL, 0, 0);
    const LRESULT top = SendMessageA(lstResList_, LB_GETTOPINDEX, 0, 0);
    const auto count = static_cast<WPARAM>(workbench_->Document().LineCount());
    if (static_cast<WPARAM>(SendMessageA(lstResList_, LB_GETCOUNT, 0, 0)) != count) {
        SendMessageA(lstResList_, LB_SETCOUNT, count, 0);
        if (selected != LB_ERR && static_cast<WPARAM>(selected) < count)
            SendMessageA(lstResList_, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
        SendMessageA(lstResList_, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
    }
    InvalidateRect(lstResList_, nullptr, TRUE);
}

// --- what the workbench shows -------------------------------------------------------------------

void TfrmResmain::Show(const WorkbenchState& state)
{
    if (window_ == nullptr)
        return;
    // Only what changed since the last call: every control set costs a round trip to the
    // window system, and a command shows its state several times.
    const bool all = !shown_.has_value();
    auto changed = [&](auto WorkbenchState::*field) { return all || (*shown_).*field != state.*field; };
    if (changed(&WorkbenchState::caption))
        SetText(window_, state.caption);
    if (changed(&WorkbenchState::scriptLabel))
        SetText(lblCurResFile_, state.scriptLabel);
    if (changed(&WorkbenchState::exeLabel))
        SetText(lblCurExeFile_, state.exeLabel);
    if (changed(&WorkbenchState::folderLabel)) {
        SetText(wFolder_, state.folderLabel);
        SizeLabelToText(wFolder_);
    }
    if (changed(&WorkbenchState::compilerLabel)) {
        SetText(compLab_, state.compilerLabel);
        SizeLabelToText(compLab_);
    }
    if (changed(&WorkbenchState::statusPanel))
        SendMessageA(sBar_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(state.statusPanel.c_str()));
    // Only entries of the popup menus change, which are drawn when they open: the menu bar
    // itself needs no redrawing.
    if (changed(&WorkbenchState::commands)) {
        for (const CommandInfo& info : Commands()) {
            const bool on = IsEnabled(info.enabling, state.commands);
            const UINT_PTR id = MenuId(info.id);
            EnableMenuItem(menu_, static_cast<UINT>(id), MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
            if (!info.toolName.empty())
                SendMessageA(toolBar_, TB_ENABLEBUTTON, id, MAKELPARAM(on ? TRUE : FALSE, 0));
        }
    }
    auto check = [&](CommandId id, bool WorkbenchState::*field) {
        if (!changed(field))
            return;
        CheckMenuItem(menu_, static_cast<UINT>(MenuId(id)), MF_BYCOMMAND | (state.*field ? MF_CHECKED : MF_UNCHECKED));
    };
    check(CommandId::StartWithLast, &WorkbenchState::startWithLast);
    check(CommandId::ShowProgress, &WorkbenchState::showProgress);
    shown_ = state;
}

void TfrmResmain::SetMessages(std::span<const std::string> lines)
{
    // The lines are the tools' output, which is UTF-8: shown in the window's code page.
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += "\r\n";
        text += ToolOutputText(lines[i]);
    }
    SetText(memCompilerMess_, text);
}

void TfrmResmain::AddMessage(std::string_view line)
{
    const std::string separator = GetWindowTextLengthA(memCompilerMess_) > 0 ? "\r\n" : "";
    AppendToEdit(memCompilerMess_, separator + std::string(line));
}

std::optional<std::size_t> TfrmResmain::SelectedLine() const
{
    const LRESULT selected = SendMessageA(lstResList_, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR)
        return std::nullopt;
    return static_cast<std::size_t>(selected);
}

void TfrmResmain::SelectLine(std::optional<std::size_t> line)
{
    SendMessageA(lstResList_, LB_SETCURSEL, line ? static_cast<WPARAM>(*line) : static_cast<WPARAM>(-1), 0);
}

void TfrmResmain::BeginBusy()
{
    if (busyDepth_++ == 0)
        SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

void TfrmResmain::EndBusy()
{
    if (busyDepth_ > 0 && --busyDepth_ == 0) {
        POINT at;
        GetCursorPos(&at);
        SetCursorPos(at.x, at.y);  // makes the window set its own cursor again
    }
}

void TfrmResmain::Repaint()
{
    // Only paint messages: user input waits until the command ends.
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
        DispatchMessageA(&message);
}

void TfrmResmain::AddRunOutput(std::string_view bytes)
{
    if (runOutput_ == nullptr) {
        RECT place;
        GetWindowRect(window_, &place);
        runOutput_ = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kRunOutputClass, "Compiler progress",
                                     WS_POPUP | WS_CAPTION | WS_THICKFRAME, place.left + 20, place.top + 120, 480, 200,
                                     window_, nullptr, GetModuleHandleA(nullptr), nullptr);
        HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", nullptr,
                                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY, 4, 4,
                                    464, 160, runOutput_, nullptr, GetModuleHandleA(nullptr), nullptr);
        SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)), TRUE);
        SendMessageA(edit, EM_LIMITTEXT, 0x7FFFFFFE, 0);
        ShowWindow(runOutput_, SW_SHOWNOACTIVATE);
    }
    AppendToEdit(GetWindow(runOutput_, GW_CHILD), ForEditControl(bytes));
}

void TfrmResmain::EndRunOutput()
{
    if (runOutput_ != nullptr)
        DestroyWindow(runOutput_);
    runOutput_ = nullptr;
}

void TfrmResmain::ShowAboutBox()
{
    aboutBox_.Execute(window_);
}

void TfrmResmain::CreateAboutComponents()
{
    SetUpMainWindowAboutBox(aboutBox_);
    // The panel is never shown: the links only open the maker's addresses for the Help menu.
    const layout::Box& panel = layout::kLinkPanel;
    panel1_ = CreateWindowExA(0, "STATIC", "", WS_CHILD, panel.x, panel.y, panel.width, panel.height, window_, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    web_ = std::make_unique<TKURL2>(panel1_, layout::kWebLink.x, layout::kWebLink.y);
    web_->SetURLorEMAIL(kMakerWebAddress);
    email_ = std::make_unique<TKURL2>(panel1_, layout::kMailLink.x, layout::kMailLink.y);
    email_->SetChoose(LinkType::ltEMAIL);
    email_->SetURLorEMAIL(kMakerMailAddress);
}

void TfrmResmain::OpenMakerLink(MakerLink link)
{
    (link == MakerLink::Email ? email_ : web_)->OpenLink();
}

void TfrmResmain::Close()
{
    SendMessageA(window_, WM_CLOSE, 0, 0);
}

}  // namespace brevok::win32

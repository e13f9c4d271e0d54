// Program entry on Windows: common controls, the settings in the registry, the main window,
// the message loop. An argument names a script to open at start-up.
#include "platform/process.h"
#include "platform/wide_text.h"
#include "registry/registry.h"
#include "platform/self_path.h"
#include "ui/win32/main_window.h"
#include "ui/win32/system_names.h"
#include "ui/win32/win32_dialogs.h"
#include "workbench/help_command.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

/// The script named on the command line, made a full path; empty when there is none.
std::wstring ScriptArgument()
{
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr)
        return {};
    std::wstring name = count >= 2 ? arguments[1] : L"";
    LocalFree(arguments);
    if (name.empty())
        return name;
    const DWORD size = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return name;
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(name.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size)
        return name;
    full.resize(length);
    return full;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand)
{
    // The window's text is in its ANSI code page: UTF-8 where Windows honours the manifest's
    // request, the system's own elsewhere.
    brevok::SetProgramCodePage(GetACP());

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    const std::unique_ptr<brevok::Registry> registry = brevok::OpenUserRegistry();
    brevok::win32::Win32Dialogs dialogs;
    brevok::SystemProcessLauncher launcher;
    brevok::SystemProgramStarter starter;
    brevok::win32::TfrmResmain window(
        brevok::win32::MainWindowServices{dialogs, *registry, launcher, starter, brevok::RunningProgramPath()});
    dialogs.SetOwner(window.Handle());
    if (const std::wstring script = ScriptArgument(); !script.empty()) {
        if (const std::optional<std::string> name = brevok::win32::TakeNameOrTell(script, dialogs))
            window.Bench().SetStartScript(*name);
    }
    window.ShowCentred(showCommand);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

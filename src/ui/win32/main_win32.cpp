// Program entry on Windows: common controls, the settings in the registry, the main window,
// the message loop. An argument names a script to open at start-up.
#include "platform/process.h"
#include "registry/registry.h"
#include "platform/self_path.h"
#include "ui/win32/main_window.h"
#include "ui/win32/win32_dialogs.h"
#include "workbench/help_command.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <memory>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    const std::unique_ptr<brevok::Registry> registry = brevok::OpenUserRegistry();
    brevok::win32::Win32Dialogs dialogs;
    brevok::SystemProcessLauncher launcher;
    brevok::SystemProgramStarter starter;
    brevok::win32::TfrmResmain window(
        brevok::win32::MainWindowServices{dialogs, *registry, launcher, starter, brevok::RunningProgramPath()});
    dialogs.SetOwner(window.Handle());
    if (__argc >= 2) {
        char full[MAX_PATH * 4];
        const DWORD length = GetFullPathNameA(__argv[1], sizeof full, full, nullptr);
        window.Bench().SetStartScript(length > 0 && length < sizeof full ? std::string(full, length)
                                                                         : std::string(__argv[1]));
    }
    window.ShowCentred(showCommand);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

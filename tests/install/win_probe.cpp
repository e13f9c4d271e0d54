// What Windows itself says of an installed program, for the installer test under Wine:
//   win_probe window TITLE-PREFIX   the caption of the first visible top-level window whose
//                                   title starts so, then its labels ("label: ") and the
//                                   count of each list ("items: "); exit code 1 while there
//                                   is none
//   win_probe shortcut FILE.lnk     the target and arguments the shell link holds
//   win_probe version FILE          ProductName, CompanyName and FileVersion of the version
//                                   resource as version.dll reads it, and the icon count
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>

namespace {

struct Search {
    const char* prefix;
    HWND found;
};

BOOL CALLBACK FindByPrefix(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<Search*>(parameter);
    char title[512] = {};
    GetWindowTextA(window, title, sizeof title);
    if (IsWindowVisible(window) && std::strncmp(title, search->prefix, std::strlen(search->prefix)) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM)
{
    char kind[64] = {};
    GetClassNameA(child, kind, sizeof kind);
    if (lstrcmpiA(kind, "Static") == 0) {
        char text[1024] = {};
        GetWindowTextA(child, text, sizeof text);
        if (text[0] != '\0')
            std::printf("label: %s\n", text);
    } else if (lstrcmpiA(kind, "ListBox") == 0) {
        // The count only: the program's list draws its rows from the document and holds
        // no texts another process could read.
        std::printf("items: %ld\n", static_cast<long>(SendMessageA(child, LB_GETCOUNT, 0, 0)));
    }
    return TRUE;
}

int Window(const char* prefix)
{
    Search search{prefix, nullptr};
    EnumWindows(FindByPrefix, reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        return 1;
    char title[512] = {};
    GetWindowTextA(search.found, title, sizeof title);
    std::printf("caption: %s\n", title);
    EnumChildWindows(search.found, PrintChild, 0);
    return 0;
}

int Shortcut(const char* file)
{
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return 2;
    IPersistFile* persist = nullptr;
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, file, -1, wide, MAX_PATH);
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) ||
        FAILED(persist->Load(wide, STGM_READ)))
        return 2;
    char target[MAX_PATH] = {};
    char arguments[MAX_PATH] = {};
    link->GetPath(target, sizeof target, nullptr, 0);
    link->GetArguments(arguments, sizeof arguments);
    std::printf("target: %s\narguments: %s\n", target, arguments);
    persist->Release();
    link->Release();
    return 0;
}

int Version(const char* file)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(file, &ignored);
    if (size == 0)
        return 2;
    std::string block(size, '\0');
    if (!GetFileVersionInfoA(file, 0, size, block.data()))
        return 2;
    struct Translation {
        WORD language, codePage;
    }* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
        length < sizeof *translation)
        return 2;
    for (const char* name : {"ProductName", "CompanyName", "FileVersion"}) {
        char path[128];
        std::snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\%s", translation->language,
                      translation->codePage, name);
        char* value = nullptr;
        if (VerQueryValueA(block.data(), path, reinterpret_cast<void**>(&value), &length))
            std::printf("%s: %s\n", name, value);
    }
    std::printf("icons: %u\n", ExtractIconExA(file, -1, nullptr, nullptr, 0));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "window") == 0)
        return Window(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "shortcut") == 0)
        return Shortcut(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "version") == 0)
        return Version(argv[2]);
    std::fprintf(stderr, "usage: win_probe window TITLE-PREFIX | shortcut FILE.lnk | version FILE\n");
    return 2;
}

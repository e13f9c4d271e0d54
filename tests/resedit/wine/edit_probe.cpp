// What the Windows loader and version.dll find in a program that brc32 edited:
//   edit_probe [FILE]   the version strings and the fixed file version of FILE (by default
//                       this program), through GetFileVersionInfo and VerQueryValue; for this
//                       program also string 7 (LoadString), icon 1 (LoadIcon) and the
//                       manifest's execution level as the loader reads the manifest.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Utf8(const wchar_t* text)
{
    char out[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out - 1, nullptr, nullptr);
    return out;
}

void PrintVersion(const wchar_t* file)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file, &ignored);
    if (size == 0) {
        std::printf("version: none\n");
        return;
    }
    std::vector<char> block(size);
    if (!GetFileVersionInfoW(file, 0, size, block.data())) {
        std::printf("version: unreadable\n");
        return;
    }
    struct Translation {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) &&
        length >= sizeof *translation)
        std::printf("translation: %04x %u\n", translation->language, translation->codePage);
    for (const wchar_t* key : {L"CompanyName", L"ProductName", L"FileVersion", L"ProductVersion"}) {
        wchar_t path[128];
        swprintf(path, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translation ? translation->language : 0x409,
                 translation ? translation->codePage : 1200, key);
        wchar_t* value = nullptr;
        if (VerQueryValueW(block.data(), path, reinterpret_cast<void**>(&value), &length))
            std::printf("%s: %s\n", Utf8(key).c_str(), Utf8(value).c_str());
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed)
        std::printf("fixed: %lu.%lu.%lu.%lu\n", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                    HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc > 1) {
        PrintVersion(argv[1]);
        return 0;
    }
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    PrintVersion(self);
    wchar_t text[256] = {};
    if (LoadStringW(GetModuleHandleW(nullptr), 7, text, 256) > 0)
        std::printf("string 7: %s\n", Utf8(text).c_str());
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    ICONINFO info = {};
    BITMAP colour = {};
    if (icon && GetIconInfo(icon, &info) && GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof colour, &colour))
        std::printf("icon 1: %ld x %ld\n", colour.bmWidth, colour.bmHeight);
    HRSRC manifest = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    if (manifest) {
        const char* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, manifest)));
        const std::string text(bytes, SizeofResource(nullptr, manifest));
        const std::size_t at = text.find("level=\"");
        if (at != std::string::npos)
            std::printf("level: %s\n", text.substr(at + 7, text.find('"', at + 7) - at - 7).c_str());
    }
    return 0;
}

// Lists what the Windows loader finds among the resources of this program: every type with its
// names, languages and sizes, then the bitmap LOGO and the icon APPICON as LoadBitmap and
// LoadIcon give them. The window's test binds resources into one copy of this program and
// compares its listing with that of a copy into which windres and ld linked the same files.
#include <windows.h>

#include <cstdio>

namespace {

void PrintName(LPCSTR name)
{
    if (IS_INTRESOURCE(name))
        std::printf("#%u", static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
    else
        std::printf("%s", name);
}

BOOL CALLBACK OnLanguage(HMODULE module, LPCSTR type, LPCSTR name, WORD language, LONG_PTR)
{
    HRSRC found = FindResourceExA(module, type, name, language);
    std::printf("  ");
    PrintName(name);
    std::printf(" language %04x, %lu bytes\n", language, found != nullptr ? SizeofResource(module, found) : 0UL);
    return TRUE;
}

BOOL CALLBACK OnName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR)
{
    EnumResourceLanguagesA(module, type, name, OnLanguage, 0);
    return TRUE;
}

BOOL CALLBACK OnType(HMODULE module, LPSTR type, LONG_PTR)
{
    std::printf("type ");
    PrintName(type);
    std::printf("\n");
    EnumResourceNamesA(module, type, OnName, 0);
    return TRUE;
}

void PrintBitmap(const char* what, HBITMAP bitmap)
{
    BITMAP info{};
    if (bitmap != nullptr && GetObjectA(bitmap, sizeof info, &info) != 0)
        std::printf("%s: %ld x %ld, %u bits per pixel\n", what, info.bmWidth, info.bmHeight, info.bmBitsPixel);
    else
        std::printf("%s: none\n", what);
}

}  // namespace

int main()
{
    HMODULE self = GetModuleHandleA(nullptr);
    EnumResourceTypesA(self, OnType, 0);
    HBITMAP logo = LoadBitmapA(self, "LOGO");
    PrintBitmap("LoadBitmap LOGO", logo);
    HICON icon = LoadIconA(self, "APPICON");
    ICONINFO parts{};
    if (icon != nullptr && GetIconInfo(icon, &parts)) {
        PrintBitmap("LoadIcon APPICON colour", parts.hbmColor);
        PrintBitmap("LoadIcon APPICON mask", parts.hbmMask);
    } else {
        std::printf("LoadIcon APPICON: none\n");
    }
    return 0;
}

/* Lists the program's own resources as the Windows loader sees them, one per line: every type,
 * name and language with the data's size and an FNV-1a hash of its bytes, the file version from
 * the version resource's fixed part, and the strings LoadString reads. Only kernel32 and user32
 * are called, so the program links with or without a C runtime (main is then the entry). */
#include <windows.h>
#include "resource.h"

static HANDLE out;

static void put(const char *line)
{
    DWORD written;
    WriteFile(out, line, (DWORD)lstrlenA(line), &written, NULL);
    WriteFile(out, "\n", 1, &written, NULL);
}

static void id_text(char *text, LPCSTR id)
{
    if (IS_INTRESOURCE(id))
        wsprintfA(text, "#%u", (unsigned)(ULONG_PTR)id);
    else
        lstrcpynA(text, id, 64);
}

static void fixed_version(const BYTE *data, DWORD size)
{
    DWORD i;
    char line[96];
    for (i = 0; i + 16 <= size; i += 4) {
        const DWORD *fixed = (const DWORD *)(data + i);
        if (fixed[0] == 0xFEEF04BD) {
            wsprintfA(line, "  file version %u.%u.%u.%u", (unsigned)HIWORD(fixed[2]), (unsigned)LOWORD(fixed[2]),
                      (unsigned)HIWORD(fixed[3]), (unsigned)LOWORD(fixed[3]));
            put(line);
            return;
        }
    }
    put("  no fixed version part");
}

static BOOL CALLBACK language_found(HMODULE module, LPCSTR type, LPCSTR name, WORD language, LONG_PTR unused)
{
    char t[72], n[72], line[256];
    HRSRC found = FindResourceExA(module, type, name, language);
    DWORD size = found ? SizeofResource(module, found) : 0;
    const BYTE *data = found ? (const BYTE *)LockResource(LoadResource(module, found)) : NULL;
    DWORD hash = 2166136261u, i;
    (void)unused;
    for (i = 0; data && i < size; ++i)
        hash = (hash ^ data[i]) * 16777619u;
    id_text(t, type);
    id_text(n, name);
    wsprintfA(line, "%s %s %04x: %u bytes, hash %08x", t, n, (unsigned)language, (unsigned)size, (unsigned)hash);
    put(line);
    if (data && type == RT_VERSION)
        fixed_version(data, size);
    return TRUE;
}

static BOOL CALLBACK name_found(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR unused)
{
    (void)unused;
    return EnumResourceLanguagesA(module, type, name, language_found, 0);
}

static BOOL CALLBACK type_found(HMODULE module, LPSTR type, LONG_PTR unused)
{
    (void)unused;
    return EnumResourceNamesA(module, type, name_found, 0);
}

int main(void)
{
    static const UINT strings[] = {IDS_HELLO, IDS_BYE};
    HMODULE self = GetModuleHandleA(NULL);
    char text[128], line[160];
    unsigned i;
    out = GetStdHandle(STD_OUTPUT_HANDLE);
    EnumResourceTypesA(self, type_found, 0);
    for (i = 0; i < sizeof strings / sizeof strings[0]; ++i) {
        int length = LoadStringA(self, strings[i], text, sizeof text);
        wsprintfA(line, "string %u: %s", strings[i], length > 0 ? text : "(none)");
        put(line);
    }
    put(LoadIconA(self, MAKEINTRESOURCEA(IDI_DOC)) ? "icon 102 loads" : "icon 102 does not load");
    ExitProcess(0);
}

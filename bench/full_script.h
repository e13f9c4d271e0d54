// A 50-line script of what Visual Studio writes (a dialog, a menu, a string table, a version
// block over windows.h), shared by the compile benchmarks.
#pragma once

/// 50 lines of the statements Visual Studio writes.
inline constexpr char kFullScript[] = R"(#include <windows.h>
#define IDD_ABOUT 100
#define IDM_MAIN 200
LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US
IDD_ABOUT DIALOGEX 0, 0, 235, 55
STYLE DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU
CAPTION "About"
FONT 8, "MS Shell Dlg", 400, 0, 0x1
BEGIN
    ICON            128, -1, 11, 17, 20, 20
    LTEXT           "Version 1.0", -1, 40, 10, 119, 8, SS_NOPREFIX
    LTEXT           "Copyright (C) 2026", -1, 40, 25, 119, 8
    DEFPUSHBUTTON   "OK", IDOK, 178, 7, 50, 14, WS_GROUP
    EDITTEXT        101, 40, 38, 100, 12, ES_AUTOHSCROLL
END
IDM_MAIN MENU
BEGIN
    POPUP "&File"
    BEGIN
        MENUITEM "&Open...	Ctrl+O", 1001
        MENUITEM SEPARATOR
        MENUITEM "E&xit", 1002
    END
    POPUP "&Help"
    BEGIN
        MENUITEM "&About...", 1003
    END
END
STRINGTABLE
BEGIN
    1 "Application"
    2 "Ready"
    17 "Cannot open the file."
END
1 VERSIONINFO
FILEVERSION 1, 0, 0, 1
PRODUCTVERSION 1, 0, 0, 1
FILEFLAGSMASK 0x3fL
FILEOS 0x40004L
FILETYPE 0x1L
BEGIN
    BLOCK "StringFileInfo"
    BEGIN
        BLOCK "040904b0"
        BEGIN
            VALUE "CompanyName", "Halvane"
            VALUE "FileVersion", "1.0.0.1"
        END
    END
    BLOCK "VarFileInfo" { VALUE "Translation", 0x409, 1200 }
END
)";

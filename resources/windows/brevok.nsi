; The Windows installer: both builds in one file, and the machine chooses. On 64-bit Windows
; the x86_64 programs go to Program Files, on 32-bit Windows the i686 ones; one download
; serves every user, and the pair of builds costs under 3 MB compressed.
;
; makensis -DVERSION=1.1.0.3 -DBIN64=... -DBIN32=... -DICON=... -DFILES=files.nsh
;          -DREADME=README.txt -DWELCOME=welcome.bmp -DOUTFILE=brevok-1.1.0.3-setup.exe brevok.nsi
;
; With -DX64 (and no BIN32) it is the 64-bit installer, brevok-VERSION-setup-x64.exe: a 64-bit
; program holding the x86_64 build alone, for the 64-bit Windows that run no 32-bit programs
; (Server Core without WoW64). It installs the same files and entries as the other one does on
; 64-bit Windows, so either uninstalls what the other installed.
; FILES names the macros InstallFiles and RemoveFiles (written by scripts/windows-package.sh),
; which list every file, so that the uninstaller removes exactly what was installed.
;
; Per machine: the programs, the Start-menu entry (all users) and the entry in Apps and
; Features. Per user: the .rc association and, kept unless the box is ticked, the settings.
!ifdef X64
Target amd64-unicode
!else
Unicode true
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include x64.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include ${FILES}

!define PRODUCT "Brevok Resource Compiler"
!define PUBLISHER "Halvane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Brevok Resource Compiler"
!define CLASSES "Software\Classes"
!define PROGID "Brevok.ResourceScript"
!define VERB_KEY "${CLASSES}\SystemFileAssociations\.rc\shell\Brevok.Open"
!define APP_KEY "${CLASSES}\Applications\brevok.exe"
!define OPEN_TEXT "Open with ${PRODUCT}"
!define SETTINGS_KEY "Software\Halvane\BrevComp"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; $PROGRAMFILES64 is the 32-bit Program Files on a 32-bit Windows.
InstallDir "$PROGRAMFILES64\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) Halvane. All rights reserved."
VIAddVersionKey /LANG=1033 "OriginalFilename" "${OUTNAME}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WELCOME}"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${WELCOME}"
!define MUI_WELCOMEPAGE_TEXT "This will install ${PRODUCT} ${VERSION}: the window that keeps your resource scripts, the resource compiler brcc32, the binder brc32 and the headers resource scripts include.$\r$\n$\r$\nClick Next to continue."
!define MUI_FINISHPAGE_RUN "$INSTDIR\brevok.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT}"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_TEXT_TOP "Your settings (the paths and options the program remembers) stay unless you tick the box."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The 64-bit registry view on 64-bit Windows, so that Apps and Features lists the entry with the
; 64-bit programs.
!macro UseMachineView
!ifdef X64
  SetRegView 64
!else
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
!endif
!macroend


; One of the two builds, chosen in .onInit (so that the space shown is that of one).
Section "-Programs64" SecPrograms64
  SetOutPath "$INSTDIR"
  !insertmacro InstallFiles "${BIN64}"
SectionEnd

!ifndef X64
Section "-Programs32" SecPrograms32
  SetOutPath "$INSTDIR"
  !insertmacro InstallFiles "${BIN32}"
SectionEnd
!endif

Section "-Setup"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "/oname=README.txt" "${README}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "${SHORTCUT}" "$INSTDIR\brevok.exe" "" "$INSTDIR\brevok.exe" 0 SW_SHOWNORMAL "" \
                 "Keep a resource script, compile it and bind it into a program"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\brevok.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "http://www.halvane.example/"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; The association, for this user: "Open with" lists the program for .rc files, and the
  ; files' menu offers the verb; the default opener of .rc becomes this program only when
  ; no program has it yet, and the uninstaller gives it back only if it is still ours.
  WriteRegStr HKCU "${CLASSES}\${PROGID}" "" "Resource Script"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\DefaultIcon" "" "$INSTDIR\brevok.exe,0"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\shell\open" "" "${OPEN_TEXT}"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\shell\open\command" "" '"$INSTDIR\brevok.exe" "%1"'
  WriteRegNone HKCU "${CLASSES}\.rc\OpenWithProgids" "${PROGID}"
  WriteRegStr HKCU "${VERB_KEY}" "" "${OPEN_TEXT}"
  WriteRegStr HKCU "${VERB_KEY}\command" "" '"$INSTDIR\brevok.exe" "%1"'
  WriteRegStr HKCU "${APP_KEY}" "FriendlyAppName" "${PRODUCT}"
  WriteRegStr HKCU "${APP_KEY}\shell\open\command" "" '"$INSTDIR\brevok.exe" "%1"'
  WriteRegStr HKCU "${APP_KEY}\SupportedTypes" ".rc" ""
  ReadRegStr $0 HKCR ".rc" ""
  ${If} $0 == ""
    WriteRegStr HKCU "${CLASSES}\.rc" "" "${PROGID}"
  ${EndIf}
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Function .onInit
  !insertmacro UseMachineView
!ifndef X64
  ${If} ${RunningX64}
    SectionSetFlags ${SecPrograms32} 0
  ${Else}
    SectionSetFlags ${SecPrograms64} 0
  ${EndIf}
!endif
  ; An update goes where the last install went, unless /D= names a folder.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} $INSTDIR == "$PROGRAMFILES64\${PRODUCT}"
    StrCpy $INSTDIR $0
  ${EndIf}
FunctionEnd

Function un.onInit
  !insertmacro UseMachineView
FunctionEnd

Section "-un.Programs"
  SetShellVarContext all
  !insertmacro RemoveFiles
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "${SHORTCUT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  ReadRegStr $0 HKCU "${CLASSES}\.rc" ""
  ${If} $0 == "${PROGID}"
    DeleteRegValue HKCU "${CLASSES}\.rc" ""
  ${EndIf}
  DeleteRegValue HKCU "${CLASSES}\.rc\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty HKCU "${CLASSES}\.rc\OpenWithProgids"
  DeleteRegKey /ifempty HKCU "${CLASSES}\.rc"
  DeleteRegKey HKCU "${CLASSES}\${PROGID}"
  DeleteRegKey HKCU "${VERB_KEY}"
  DeleteRegKey /ifempty HKCU "${CLASSES}\SystemFileAssociations\.rc\shell"
  DeleteRegKey /ifempty HKCU "${CLASSES}\SystemFileAssociations\.rc"
  DeleteRegKey /ifempty HKCU "${CLASSES}\SystemFileAssociations"
  DeleteRegKey HKCU "${APP_KEY}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section /o "un.Remove my settings" SecSettings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Halvane"
SectionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecSettings} "Also remove the paths and options ${PRODUCT} remembers for you (HKEY_CURRENT_USER\${SETTINGS_KEY})."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END

; The Windows installer: per user, without administrator rights, into
; %LOCALAPPDATA%\Programs\poroten. scripts/release.sh passes the defines:
;   makensis -DVERSION=1.0 -DPUBLISHER=... -DEXE=poroten.exe -DDOCS=folder
;            -DICON=poroten.ico -DOUTFILE=setup.exe poroten.nsi
Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma
; Installed files get the time of installing, not of the build machine's
; files, and the installer the same bytes from the same sources.
SetDateSave off

!include MUI2.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\poroten"
!define SHORTCUT "$SMPROGRAMS\ポロテン.lnk"
; The installer carries the program's own version resource numbers.
!getdllversion "${EXE}" exe_

Name "ポロテン"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\poroten"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "poroten ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${exe_1}.${exe_2}.${exe_3}.${exe_4}"
VIFileVersion "${exe_1}.${exe_2}.${exe_3}.${exe_4}"
VIAddVersionKey /LANG=1041 "ProductName" "ポロテン"
VIAddVersionKey /LANG=1041 "FileDescription" "ポロテン セットアップ"
VIAddVersionKey /LANG=1041 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\poroten.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\はじめに.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

Section "poroten" SecProgram
    SetOutPath "$INSTDIR"
    File "${EXE}"
    File "${DOCS}/はじめに.txt"
    File "${DOCS}/README.txt"
    File "${DOCS}/LICENSE.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "${SHORTCUT}" "$INSTDIR\poroten.exe" "" "$INSTDIR\poroten.exe" 0

    ; Apps & features.
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "ポロテン"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\poroten.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ; The files this installer puts down, in KiB; the record is the player's.
    SectionGetSize ${SecProgram} $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
    Delete "$INSTDIR\poroten.exe"
    Delete "$INSTDIR\はじめに.txt"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\uninstall.exe"
    Delete "${SHORTCUT}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ; m_score.sav is the player's record and stays; the folder goes only
    ; when nothing is left in it.
    RMDir "$INSTDIR"
SectionEnd

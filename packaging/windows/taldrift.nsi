; The Windows installer, built by scripts/windows with Debian's NSIS: installs the game's folder
; into Program Files, a Start-menu shortcut that starts the game in that folder, an uninstaller
; and the entry in Windows' list of installed programs. /S installs (and uninstalls) silently.
; scripts/windows defines VERSION, SOURCE (the folder the zip holds) and OUTFILE.
Unicode true
; The 64-bit stub: the game is 64-bit only, and a 32-bit installer would see the 32-bit Program
; Files and registry.
Target amd64-unicode
SetCompressor /SOLID lzma

!define KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Taldrift"

Name "Taldrift ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Taldrift"
InstallDirRegKey HKLM "${KEY}" "InstallLocation"
RequestExecutionLevel admin
ShowInstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Taldrift"
    SetShellVarContext all
    SetRegView 64
    SetOutPath "$INSTDIR"
    File /r "${SOURCE}\*.*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    ; The shortcut's working folder is the output path: the install folder, where resources\ is.
    SetOutPath "$INSTDIR"
    CreateShortCut "$SMPROGRAMS\Taldrift.lnk" "$INSTDIR\taldrift.exe" "" "$INSTDIR\taldrift.exe" 0
    WriteRegStr HKLM "${KEY}" "DisplayName" "Taldrift"
    WriteRegStr HKLM "${KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${KEY}" "Publisher" "Taldrift maintainers"
    WriteRegStr HKLM "${KEY}" "DisplayIcon" "$\"$INSTDIR\taldrift.exe$\""
    WriteRegStr HKLM "${KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${KEY}" "UninstallString" "$\"$INSTDIR\uninstall.exe$\""
    WriteRegStr HKLM "${KEY}" "QuietUninstallString" "$\"$INSTDIR\uninstall.exe$\" /S"
    WriteRegDWORD HKLM "${KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer put there, and the folder when nothing else is left in it.
Section "Uninstall"
    SetShellVarContext all
    SetRegView 64
    Delete "$SMPROGRAMS\Taldrift.lnk"
    Delete "$INSTDIR\taldrift.exe"
    Delete "$INSTDIR\SDL2.dll"
    Delete "$INSTDIR\libepoxy-0.dll"
    Delete "$INSTDIR\README.txt"
    RMDir /r "$INSTDIR\resources"
    RMDir /r "$INSTDIR\licences"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${KEY}"
SectionEnd

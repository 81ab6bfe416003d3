; The Velmora installer: the programs under Program Files, a Start menu entry,
; and an uninstaller that removes everything the installer put there. The
; settings of an installed copy live in each user's %APPDATA%\Velmora, which
; stays, as a user's files do.
; makensis -DVERSION=... -DBUILD=<folder with the programs> -DSOURCE=<tree> -DOUTFILE=...
Target amd64-unicode ; a 64-bit installer for the 64-bit programs
Name "Velmora ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Velmora"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora"

LoadLanguageFile "${NSISDIR}\Contrib\Language files\Japanese.nlf"
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Velmora"
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File "${BUILD}\velmora.exe"
    File "${BUILD}\velmora-cut.exe"
    File "${SOURCE}\LICENSE"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateDirectory "$SMPROGRAMS\Velmora"
    CreateShortcut "$SMPROGRAMS\Velmora\Velmora.lnk" "$INSTDIR\velmora.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Velmora"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Velmora developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\velmora.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "$INSTDIR\velmora.exe"
    Delete "$INSTDIR\velmora-cut.exe"
    Delete "$INSTDIR\LICENSE"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Velmora\Velmora.lnk"
    RMDir "$SMPROGRAMS\Velmora"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

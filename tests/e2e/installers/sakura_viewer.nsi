; A small real program installer with its own uninstaller, built with
; makensis at test time. Installed silently (/S); its uninstaller shows its
; pages, which a user (or the end-to-end driver) completes.
;   makensis -DOUTFILE=<setup.exe> -DPAYLOAD=<folder> sakura_viewer.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\SakuraTextViewer"

Name "さくらテキストビューア 2.1"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Sakura\Text Viewer"
RequestExecutionLevel admin
LoadLanguageFile "${NSISDIR}\Contrib\Language files\Japanese.nlf"
ShowUninstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Install"
    SetOutPath "$INSTDIR"
    File "${PAYLOAD}\readme.txt"
    File "${PAYLOAD}\viewer.ini"
    WriteUninstaller "$INSTDIR\uninst.exe"
    SetRegView 64
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "$(^Name)"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninst.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Sakura Soft"
SectionEnd

Section "Uninstall"
    Delete "$INSTDIR\readme.txt"
    Delete "$INSTDIR\viewer.ini"
    Delete "$INSTDIR\uninst.exe"
    RMDir "$INSTDIR"
    RMDir "$INSTDIR\.."
    SetRegView 64
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

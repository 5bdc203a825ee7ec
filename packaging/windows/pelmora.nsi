; The per-user installer of Pelmora for Windows, built by scripts/build-windows.sh:
;   makensis -INPUTCHARSET UTF8 -DVERSION=<version> -DSTAGE=<folder with pelmora.exe, README.txt, LICENSE.txt>
;            -DICON=form/icons/pelmora.ico -DOUTFILE=<setup.exe> packaging/windows/pelmora.nsi
; It needs no administrator rights: the program goes under the user's own
; %LOCALAPPDATA%\Programs, the shortcut into the user's Start menu, the entry in the list of
; installed apps under HKCU. The pages are in Japanese or English, after the system's language.

Unicode true
; The 64-bit stub, so that the installer runs where only 64-bit Windows programs can.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelmora"
!define PUBLISHER "The Pelmora developers"

Name "Pelmora"
OutFile "${OUTFILE}"
BrandingText "Pelmora ${VERSION}"
; A reinstall or an update goes where the last install went.
InstallDir "$LOCALAPPDATA\Programs\Pelmora"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
; Not the stock text, which speaks of system files and restarts: Pelmora touches neither.
!define MUI_WELCOMEPAGE_TEXT "$(pelmora_welcome)"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; The finish page says the few steps of a settlement, the people count among them.
!define MUI_FINISHPAGE_TEXT "$(pelmora_finish)"
!define MUI_FINISHPAGE_TEXT_LARGE
!define MUI_FINISHPAGE_RUN "$INSTDIR\pelmora.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The first language is the one for systems in neither language.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Pelmora"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Pelmora ${VERSION} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}, MIT License"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "Pelmora"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "Pelmora ${VERSION} セットアップ"
VIAddVersionKey /LANG=${LANG_JAPANESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}, MIT License"

LangString pelmora_welcome ${LANG_ENGLISH} "This will install Pelmora ${VERSION} for you alone, in your own folders; no administrator rights are needed.$\r$\n$\r$\nPelmora is for 64-bit Windows 7, 8, 8.1, 10 and 11.$\r$\n$\r$\nClick Next to continue."
LangString pelmora_welcome ${LANG_JAPANESE} "Pelmora ${VERSION} を現在のユーザー専用にインストールします。管理者権限は不要です。$\r$\n$\r$\n対応 OS：64 ビット版 Windows 7、8、8.1、10、11$\r$\n$\r$\n続けるには「次へ」をクリックしてください。"
LangString pelmora_finish ${LANG_ENGLISH} "Pelmora ${VERSION} is installed.$\r$\n$\r$\nType the counts of what was kept, the sales and the number of people, then press the decide buttons 1, 2 and 3 in turn. Each copy button puts a line on the clipboard for the game's chat."
LangString pelmora_finish ${LANG_JAPANESE} "Pelmora ${VERSION} をインストールしました。$\r$\n$\r$\n残した物の個数と売上金を入力し、「分配する人数は？」の欄に人数を入力してから「決定1」「決定2」「決定3」を押してください。「ｺﾋﾟｰ」ボタンで各行をクリップボードへコピーして RO に貼り付けられます。"
LangString pelmora_running ${LANG_ENGLISH} "Pelmora is running. Close it, then choose Retry."
LangString pelmora_running ${LANG_JAPANESE} "Pelmora が起動しています。終了してから「再試行」を押してください。"

; A running Pelmora holds pelmora.exe open: it could be neither replaced nor removed, and the
; install or uninstall would end as if it had worked. Ask to close it; a silent run ends with
; error level 2 instead. The class is the one the program registers for its main window.
!macro PELMORA_NOT_RUNNING un
Function ${un}PelmoraNotRunning
    retry:
    FindWindow $0 "PelmoraMain"
    StrCmp $0 0 done
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(pelmora_running)" /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Quit
    done:
FunctionEnd
!macroend
!insertmacro PELMORA_NOT_RUNNING ""
!insertmacro PELMORA_NOT_RUNNING "un."

Section
    Call PelmoraNotRunning
    SetOutPath "$INSTDIR"
    ; The same names every version: a newer install replaces the older files in place.
    File "${STAGE}/pelmora.exe"
    File "${STAGE}/README.txt"
    File "${STAGE}/LICENSE.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Pelmora.lnk" "$INSTDIR\pelmora.exe" "" "$INSTDIR\pelmora.exe" 0

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Pelmora"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pelmora.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ; In KiB, as the list of installed apps shows it.
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Only what the installer put there goes: a file the user left in the folder keeps the folder.
Section "Uninstall"
    Call un.PelmoraNotRunning
    Delete "$INSTDIR\pelmora.exe"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Pelmora.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

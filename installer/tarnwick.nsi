; Tarnwick's installer and uninstaller. makensis is given
;   -DVERSION=x.y.z -DBUILD=<folder with tarnwick.exe and help.chm>
;   -DICON=<the program's icon> -DOUTFILE=<setup.exe> -DSIGN=<signing command>
; where the signing command signs the file named by %1 in place.
; A 64-bit installer, as the program is (a system without 32-bit support runs it too).
; It installs for the user who runs it, into that user's own programs folder,
; and asks for no administrator: the program writes its block list and its
; typed-URL snapshot beside itself, which it could not do under Program Files,
; and the snapshot is that user's browsing, for no other user to read.
Target amd64-unicode
SetCompressor /SOLID lzma
!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define PRODUCT "Tarnwick"
!define PUBLISHER "Tarnwick"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwick"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\Tarnwick"
; The program's hidden application window, and the message that ends it as
; its Exit command does.
!define APP_WINDOW_CLASS "TarnwickApp"
!define QUIT_MESSAGE "TarnwickQuit"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An update, or a second install, goes where the first one went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel user
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!finalize '${SIGN}'
!uninstfinalize '${SIGN}'

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT} ${VERSION}, the privacy guard for Internet Explorer, on your computer.$\r$\n$\r$\nIf ${PRODUCT} is running, Setup waits for it to end before it replaces its files.$\r$\n$\r$\nClick Next to continue."
!define MUI_FINISHPAGE_RUN "$INSTDIR\tarnwick.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\help.chm"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show the help"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Waits until no Tarnwick runs; $0 is 0 then, else the program's window.
!macro WaitForTarnwick seconds
  StrCpy $1 0
  ${Do}
    FindWindow $0 "${APP_WINDOW_CLASS}"
    ${IfThen} $0 == 0 ${|} ${ExitDo} ${|}
    ${IfThen} $1 >= ${seconds}0 ${|} ${ExitDo} ${|}
    Sleep 100
    IntOp $1 $1 + 1
  ${Loop}
!macroend

; Asks a running Tarnwick to end, as its Exit command does.
!macro QuitTarnwick
  FindWindow $0 "${APP_WINDOW_CLASS}"
  ${If} $0 != 0
    System::Call 'user32::RegisterWindowMessageW(w "${QUIT_MESSAGE}") i .r2'
    SendMessage $0 $2 0 0 /TIMEOUT=5000
  ${EndIf}
!macroend

Section "Tarnwick" SecMain
  SectionIn RO
  DetailPrint "Waiting for a running ${PRODUCT} to end..."
  !insertmacro WaitForTarnwick 120
  ${If} $0 != 0
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} is still running. Exit it from its tray menu and run Setup again." /SD IDOK
    Abort
  ${EndIf}
  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "${BUILD}/tarnwick.exe"
  File "${BUILD}/help.chm"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The user's own Start menu and list of installed programs.
  SetShellVarContext current
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\tarnwick.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Help.lnk" "$INSTDIR\help.chm"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarnwick.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  !insertmacro QuitTarnwick
  ; As long as the installer waits: a loaded machine may take a while to end it.
  !insertmacro WaitForTarnwick 120
  Delete "$INSTDIR\tarnwick.exe"
  Delete "$INSTDIR\help.chm"
  Delete "$INSTDIR\tarnwick_block.txt"
  Delete "$INSTDIR\tarnwick_keep.txt"
  Delete "$INSTDIR\TypedURLs.reg"
  ; What a write broken off by a crash may have left of them.
  Delete "$INSTDIR\tarnwick_block.txt.tmp"
  Delete "$INSTDIR\tarnwick_keep.txt.tmp"
  Delete "$INSTDIR\TypedURLs.reg.tmp"
  Delete "$INSTDIR\uninstall.exe"
  ; A folder cannot go while it is some program's current folder: not while
  ; it is this uninstaller's, and not while the copy this one was started
  ; from, started in that folder, is still ending. An emptied folder is
  ; asked again for a few seconds; one the user put files of his own in stays.
  SetOutPath "$TEMP"
  StrCpy $1 0
  ${Do}
    RMDir "$INSTDIR"
    ${DirState} "$INSTDIR" $0
    ${IfThen} $0 != 0 ${|} ${ExitDo} ${|}
    ${IfThen} $1 >= 50 ${|} ${ExitDo} ${|}
    Sleep 100
    IntOp $1 $1 + 1
  ${Loop}

  SetShellVarContext current
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Help.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  MessageBox MB_YESNO|MB_ICONQUESTION "Remove your ${PRODUCT} settings and statistics as well?" /SD IDNO IDNO keep
    DeleteRegKey HKCU "${SETTINGS_KEY}"
  keep:
SectionEnd

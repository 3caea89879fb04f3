; The Windows installer, made by packaging/windows/deploy.sh with makensis. Installs for all
; users (administrators) or for the current user only, adds a Start-menu shortcut and
; registers the uninstaller with Windows. "/S" installs silently, "/CurrentUser" or
; "/AllUsers" chooses the mode from the command line.
;
; Neither the installer nor the uninstaller touches a file while Freqsmith runs (the window,
; or a "freqsmith --detect" still at work, in this session or in another user's): asked, the
; user closes it and chooses Retry, or Cancel; silent, they refuse. Either way, when they
; stop for a running Freqsmith they end with exit status 3 (EXIT_RUNNING) having changed
; nothing; NSIS's own are 1 (cancelled by the user) and 2 (aborted). The silent uninstall
; registered with Windows (QuietUninstallString) gives that status to whoever runs it, which
; NSIS's own uninstaller, returning as soon as it has started its copy, does not.
;
; deploy.sh defines: VERSION_TEXT, VERSION_NUMERIC, PUBLISHER, HOME_URL, SUMMARY,
; COPYRIGHT, ICON, LICENSE_FILE, FILE_LIST (the files to install and remove) and OUTFILE;
; SIGN_SCRIPT too when the release is signed.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!define APP_NAME "Freqsmith"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP_NAME}"
!define SETTINGS_KEY "Software\${APP_NAME}\${APP_NAME}"
!define EXIT_RUNNING 3
; What a running Freqsmith holds (app/running_mark.h): one name in its session, one in the
; machine's namespace, which other users' sessions share.
!define RUNNING_MARK_SESSION "Local\Freqsmith.Running"
!define RUNNING_MARK_MACHINE "Global\Freqsmith.Running"
!define SYNCHRONIZE 0x00100000
!define ERROR_ACCESS_DENIED 5

Name "${APP_NAME} ${VERSION_TEXT}"
OutFile "${OUTFILE}"
BrandingText "${APP_NAME} ${VERSION_TEXT}"

VIProductVersion "${VERSION_NUMERIC}"
VIFileVersion "${VERSION_NUMERIC}"
VIAddVersionKey /LANG=1033 "ProductName" "${APP_NAME}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION_TEXT}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION_TEXT}"
VIAddVersionKey /LANG=1033 "FileDescription" "${APP_NAME} ${VERSION_TEXT} Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${COPYRIGHT}"

; The uninstaller is signed as makensis makes it, before it goes into the installer, which
; writes it out unchanged; the installer once it is written. The names are those User
; Account Control shows. A signature that fails fails the build (the "= 0").
!ifdef SIGN_SCRIPT
  !uninstfinalize '"${SIGN_SCRIPT}" --name "${APP_NAME} ${VERSION_TEXT} Uninstaller" --url "${HOME_URL}" "%1"' = 0
  !finalize '"${SIGN_SCRIPT}" --name "${APP_NAME} ${VERSION_TEXT} Setup" --url "${HOME_URL}" "%1"' = 0
!endif

; Per-machine into Program Files when the user may, else per-user into
; %LOCALAPPDATA%\Programs; a later run, and the uninstaller, find the earlier choice in the
; uninstall key.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "${APP_NAME}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
!include MultiUser.nsh
!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start ${APP_NAME}"
!define MUI_FINISHPAGE_RUN_FUNCTION StartAsTheUser

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE_FILE}"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

!include "${FILE_LIST}"

; Whether a Freqsmith runs: "1" or "0" in $R0. A mutex that exists but is not ours to open
; (ERROR_ACCESS_DENIED; made by someone else under that name) counts as running: better to
; ask once too often than to replace the files of a running program.
!macro RUNNING_MARK_SEEN NAME
  System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${NAME}") p .R1 ?e'
  Pop $R2
  ${If} $R1 P<> 0
    System::Call 'kernel32::CloseHandle(p R1)'
    StrCpy $R0 1
  ${ElseIf} $R2 = ${ERROR_ACCESS_DENIED}
    StrCpy $R0 1
  ${EndIf}
!macroend

; Returns once no Freqsmith runs, having asked the user to close it while one does; ends the
; run with EXIT_RUNNING when the user cancels, or at once when silent.
!define RUNNING_TEXT "${APP_NAME} is running, here or in another user's session. Close every ${APP_NAME} window (and let any $\"freqsmith --detect$\" finish), then choose Retry to"
!define RUNNING_TEXT_install "${RUNNING_TEXT} install it.$\n$\nCancel leaves everything as it was."
!define RUNNING_TEXT_uninstall "${RUNNING_TEXT} uninstall it.$\n$\nCancel leaves everything as it was."
!macro WAIT_UNTIL_NOT_RUNNING UN VERB
Function ${UN}WaitUntilNotRunning
  Push $R0
  Push $R1
  Push $R2
  ${Do}
    StrCpy $R0 0
    !insertmacro RUNNING_MARK_SEEN "${RUNNING_MARK_SESSION}"
    !insertmacro RUNNING_MARK_SEEN "${RUNNING_MARK_MACHINE}"
    ${IfThen} $R0 == 0 ${|} ${Break} ${|}
    ${If} ${Silent}
      SetErrorLevel ${EXIT_RUNNING}
      Quit
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${RUNNING_TEXT_${VERB}}" IDRETRY retry
    SetErrorLevel ${EXIT_RUNNING}
    Quit
    retry:
  ${Loop}
  Pop $R2
  Pop $R1
  Pop $R0
FunctionEnd
!macroend
!insertmacro WAIT_UNTIL_NOT_RUNNING "" "install"
!insertmacro WAIT_UNTIL_NOT_RUNNING "un." "uninstall"

Function .onInit
  !insertmacro MULTIUSER_INIT
FunctionEnd

; NSIS's uninstaller, started as Windows registers it, copies itself to a temporary folder,
; starts the copy (which can delete the original) and ends with status 0 at once: a caller
; would never learn that the copy refused. So the silent command registered runs it in place
; ("_?="), where it checks first and ends with EXIT_RUNNING while Freqsmith runs; otherwise
; it starts itself the usual way, waits for NSIS's starter to have launched the copy, and
; ends. The copy checks again, for a Freqsmith started meanwhile.
Function un.onInit
  !insertmacro MULTIUSER_UNINIT
  ${If} $EXEDIR == $INSTDIR
    Call un.WaitUntilNotRunning
    ${If} ${Silent}
      ExecWait '"$EXEPATH" /$MultiUser.InstallMode /S' $0
    ${Else}
      ExecWait '"$EXEPATH" /$MultiUser.InstallMode' $0
    ${EndIf}
    ; Quit in .onInit would end with 2 (aborted) of its own; the starter's status instead.
    SetErrorLevel $0
    Quit
  ${EndIf}
FunctionEnd

; "Start Freqsmith" on the last page: the installer may run elevated, as an administrator
; who is not the user at the desktop (over-the-shoulder elevation), and a program it started
; itself would run with that token: that administrator's settings, and no drag and drop
; from the user's unelevated Explorer. Windows' Explorer, started with a file while the
; desktop's shell runs, does not become a second shell: it passes the file to the running
; one and ends, and the shell opens it as a double-click would, as the user at the desktop,
; unelevated. That is how Windows 10 and 11 behave (it is the desktop shell's own
; single-instance handling, not a documented interface; the documented way, the desktop
; window's IShellDispatch2::ShellExecute, needs a plugin that Debian's NSIS lacks). Where no
; Explorer shell runs, the new Explorer starts the program itself, with the installer's
; token, as before. Wine's Explorer starts it itself, and Wine has no elevation.
Function StartAsTheUser
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\freqsmith.exe"'
FunctionEnd

Section "Install"
  Call WaitUntilNotRunning
  !insertmacro InstallFiles
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${APP_NAME}.lnk" "$INSTDIR\freqsmith.exe" "" \
    "$INSTDIR\freqsmith.exe" 0 SW_SHOWNORMAL "" "${SUMMARY}"

  ; SHCTX is HKLM for a per-machine install and HKCU for a per-user one.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${APP_NAME} ${VERSION_TEXT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION_TEXT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "URLInfoAbout" "${HOME_URL}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\freqsmith.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" \
    '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  ; Run in place, so that the caller learns whether it was done (see un.onInit).
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" \
    '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S _?=$INSTDIR'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Call un.WaitUntilNotRunning
  Delete "$SMPROGRAMS\${APP_NAME}.lnk"
  !insertmacro RemoveFiles
  ; The run in place that started this copy may not quite have ended.
  ${For} $0 1 30
    Delete "$INSTDIR\uninstall.exe"
    ${IfNot} ${FileExists} "$INSTDIR\uninstall.exe"
      ${Break}
    ${EndIf}
    Sleep 100
  ${Next}
  ; Only when empty: the user may have put files of their own there.
  RMDir "$INSTDIR"

  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  ; The window geometry the program saved for the user who uninstalls.
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\${APP_NAME}"
SectionEnd

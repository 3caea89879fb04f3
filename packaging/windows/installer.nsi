; The Windows installer, made by packaging/windows/deploy.sh with makensis. Installs for all
; users (administrators) or for the current user only, adds a Start-menu shortcut and
; registers the uninstaller with Windows. "/S" installs silently, "/CurrentUser" or
; "/AllUsers" chooses the mode from the command line.
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

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\freqsmith.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${APP_NAME}"

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

Function .onInit
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Install"
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
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" \
    '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\${APP_NAME}.lnk"
  !insertmacro RemoveFiles
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: the user may have put files of their own there.
  RMDir "$INSTDIR"

  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  ; The window geometry the program saved for the user who uninstalls.
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\${APP_NAME}"
SectionEnd

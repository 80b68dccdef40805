; The Windows installer: ecrctl, ecr-sim and the ecrd service. Made by
; makensis in the cross build (cmake --build build-windows --target
; installer, cmake/Packaging.cmake), which defines:
;   VERSION        the package version (0.1+g4173207)
;   VERSION_QUAD   the same as four numbers for the file's properties (0.1.0.0)
;   PROGRAMS       a folder with ecrctl.exe, ecr-sim.exe and ecrd.exe
;   README LICENSE CONFIG   the files installed as README.txt, LICENSE.txt
;                  and, when there is none yet, %ProgramData%\ecrd\ecrd.json
;   OUTFILE        the installer to write
;
; Silent runs (/S) take the defaults and answer every question as shown.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include LogicLib.nsh
!include MUI2.nsh

!define SERVICE ecrd
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Thermal"
!define SERVICE_KEY "SYSTEM\CurrentControlSet\Services\${SERVICE}"

Name "Thermal ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Thermal"
ShowInstDetails show
ShowUninstDetails show
VIProductVersion "${VERSION_QUAD}"
VIAddVersionKey ProductName "Thermal"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey FileDescription "Thermal: ecrctl, ecr-sim and the ecrd service"
VIAddVersionKey LegalCopyright "the Thermal developers"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show README.txt"
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!define MUI_UNCONFIRMPAGE_TEXT_TOP "ecrctl, ecr-sim and the ecrd service are removed, with ecrd's configuration \
(ecrd.json), its messages (ecrd.log) and the Start menu entries.$\r$\n$\r$\necrd's journal of jobs \
(ecrd-journal.sqlite*) and the registers' session logs (logs) stay in $APPDATA\${SERVICE}: delete that folder to \
remove them too."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  ; For all users: $APPDATA is %ProgramData%, $SMPROGRAMS the common Start menu.
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Section "Thermal"
  ; An upgrade: the service installed stops (its running exchanges finish)
  ; and goes, so that its program can be replaced.
  ClearErrors
  ReadRegStr $0 HKLM "${SERVICE_KEY}" "ImagePath"
  ${IfNot} ${Errors}
  ${AndIf} ${FileExists} "$INSTDIR\ecrd.exe"
    DetailPrint "Stopping and removing the ${SERVICE} service installed"
    nsExec::ExecToLog '"$INSTDIR\ecrd.exe" --uninstall-service'
    Pop $0
    ${If} $0 != 0
      MessageBox MB_ICONSTOP "The ${SERVICE} service installed could not be stopped and removed." /SD IDOK
      Abort "The ${SERVICE} service installed could not be stopped and removed"
    ${EndIf}
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "${PROGRAMS}\ecrctl.exe"
  File "${PROGRAMS}\ecr-sim.exe"
  File "${PROGRAMS}\ecrd.exe"
  File /oname=README.txt "${README}"
  File /oname=LICENSE.txt "${LICENSE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; ecrd registers itself and makes its state folder, for SYSTEM (the
  ; service) and administrators only, before anything is put there.
  DetailPrint "Registering the ${SERVICE} service"
  nsExec::ExecToLog '"$INSTDIR\ecrd.exe" --install-service --config "$APPDATA\${SERVICE}\ecrd.json"'
  Pop $0
  ${If} $0 != 0
    MessageBox MB_ICONSTOP "The ${SERVICE} service could not be registered." /SD IDOK
    Abort "The ${SERVICE} service could not be registered"
  ${EndIf}
  ; The default configuration only where there is none: an upgrade keeps the
  ; administrator's.
  SetOutPath "$APPDATA\${SERVICE}"
  SetOverwrite off
  File /oname=ecrd.json "${CONFIG}"
  SetOverwrite on
  SetOutPath "$INSTDIR"

  DetailPrint "Starting the ${SERVICE} service"
  nsExec::ExecToLog '"$SYSDIR\net.exe" start ${SERVICE}'
  Pop $0
  ${If} $0 != 0
    MessageBox MB_ICONEXCLAMATION "The ${SERVICE} service is installed but did not start. Its configuration is \
$APPDATA\${SERVICE}\ecrd.json; once it is right, start the service with: net start ${SERVICE}" /SD IDOK
  ${EndIf}

  CreateDirectory "$SMPROGRAMS\Thermal"
  CreateShortcut "$SMPROGRAMS\Thermal\README.lnk" "$INSTDIR\README.txt"
  CreateShortcut "$SMPROGRAMS\Thermal\ecrd configuration.lnk" "$APPDATA\${SERVICE}"
  CreateShortcut "$SMPROGRAMS\Thermal\Uninstall Thermal.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Thermal (ecrctl, ecr-sim, ecrd)"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "the Thermal developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  ClearErrors
  ReadRegStr $0 HKLM "${SERVICE_KEY}" "ImagePath"
  ${IfNot} ${Errors}
    DetailPrint "Stopping and removing the ${SERVICE} service"
    nsExec::ExecToLog '"$INSTDIR\ecrd.exe" --uninstall-service'
    Pop $0
    ${If} $0 != 0
      MessageBox MB_ICONSTOP "The ${SERVICE} service could not be stopped and removed; nothing was uninstalled." \
        /SD IDOK
      Abort "The ${SERVICE} service could not be stopped and removed"
    ${EndIf}
  ${EndIf}

  Delete "$INSTDIR\ecrctl.exe"
  Delete "$INSTDIR\ecr-sim.exe"
  Delete "$INSTDIR\ecrd.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; The journal and the session logs stay, and so does the folder that holds
  ; them; the rest of what ecrd made there goes.
  Delete "$APPDATA\${SERVICE}\ecrd.json"
  Delete "$APPDATA\${SERVICE}\ecrd-journal.lock"
  Delete "$APPDATA\${SERVICE}\ecrd.log"
  Delete "$APPDATA\${SERVICE}\ecrd.log.old"
  RMDir "$APPDATA\${SERVICE}"
  Delete "$SMPROGRAMS\Thermal\README.lnk"
  Delete "$SMPROGRAMS\Thermal\ecrd configuration.lnk"
  Delete "$SMPROGRAMS\Thermal\Uninstall Thermal.lnk"
  RMDir "$SMPROGRAMS\Thermal"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

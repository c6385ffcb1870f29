; The game PC's installer: velmora-cli.exe, a Start-menu entry that starts its server role, and an
; uninstaller. Installs for the current user, so it needs no administrator and the server's trace can
; be written.
;
;   makensis -DVERSION=1.2.3.4 -DCLI_EXE=velmora-cli.exe -DOUTFILE=velmora-server-1.2.3.4-setup.exe \
;            velmora-server.nsi
;
; Silent: setup.exe /S [/D=C:\folder]; the uninstaller takes /S as well.

; A 64-bit installer for a 64-bit program: it runs wherever the program does, Wine without 32-bit support
; among them.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!ifndef VERSION
  !error "VERSION (four numbers) must be defined"
!endif
!ifndef CLI_EXE
  !error "CLI_EXE (the velmora-cli.exe to install) must be defined"
!endif
!ifndef OUTFILE
  !error "OUTFILE (the installer to write) must be defined"
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VelmoraServer"

Name "Velmora server ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Velmora"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey "ProductName" "Velmora"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Velmora server installer"
VIAddVersionKey "CompanyName" "Velmora developers"
VIAddVersionKey "LegalCopyright" "Velmora developers"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Velmora server"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "/oname=velmora-cli.exe" "${CLI_EXE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The server writes its trace (protocole.txt) in its working folder: the settings folder, where the
  ; user may write.
  CreateDirectory "$APPDATA\Velmora"
  SetOutPath "$APPDATA\Velmora"
  CreateDirectory "$SMPROGRAMS\Velmora"
  CreateShortcut "$SMPROGRAMS\Velmora\Velmora server.lnk" "$INSTDIR\velmora-cli.exe" "serve" \
      "$INSTDIR\velmora-cli.exe" 0 SW_SHOWNORMAL "" "Serve the simulator's telemetry to Velmora dashboards"
  CreateShortcut "$SMPROGRAMS\Velmora\Uninstall Velmora server.lnk" "$INSTDIR\Uninstall.exe"
  SetOutPath "$INSTDIR"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Velmora server"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Velmora developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\velmora-cli.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Velmora\Velmora server.lnk"
  Delete "$SMPROGRAMS\Velmora\Uninstall Velmora server.lnk"
  RMDir "$SMPROGRAMS\Velmora"
  Delete "$INSTDIR\velmora-cli.exe"
  Delete "$INSTDIR\Uninstall.exe"
  ; Only an empty folder goes: files the user put there stay. The settings folder and the trace stay too.
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

; The Windows installer of kvprog, made by scripts/windows-package.sh:
;   makensis -DVERSION=0.1.0 -DSTAGE=DIR -DFILES=LIST.nsh -DICON=kvprog.ico -DOUTFILE=SETUP.exe kvprog.nsi
; STAGE holds what is installed (bin\, share\, licenses\); FILES removes exactly those files and
; folders again. Everything is the user's own: no administrator rights, the program under
; %LOCALAPPDATA%\Programs\kvprog, the keys under HKCU. Silent with /S.

Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true

!define PRODUCT "Korvane Programming Software"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\kvprog"
!define CLASSES "Software\Classes"
!define PROGID "KV_II.Document"
!define PROGRAM "$INSTDIR\bin\kvprog.exe"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\kvprog"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "kvprog ${VERSION}"

!include "MUI2.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "${PROGRAM}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Tells Explorer that file types changed, so *.sin shows its icon and opens at once.
!macro NotifyShell
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
!macroend

Section "kvprog"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File /r "${STAGE}/*"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetOutPath "$INSTDIR\bin"  ; the shortcuts' working folder
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "${PROGRAM}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT} (demo radio).lnk" "${PROGRAM}" "--demo"

  ; The "KV_II Document" file type: *.sin opens in kvprog, with the program's icon.
  WriteRegStr HKCU "${CLASSES}\.sin" "" "${PROGID}"
  WriteRegStr HKCU "${CLASSES}\${PROGID}" "" "KV_II Document"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\DefaultIcon" "" "${PROGRAM},0"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\shell\open\command" "" '"${PROGRAM}" "%1"'
  WriteRegStr HKCU "${CLASSES}\${PROGID}\shell\print\command" "" '"${PROGRAM}" --print "%1"'
  !insertmacro NotifyShell

  ; Apps & features (Add/Remove Programs).
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "kvprog developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "${PROGRAM},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer put there and nothing else: the user's channel files, settings
; (%LOCALAPPDATA%\Local AppWizard-Generated Applications\KV_II.conf) and backups (%LOCALAPPDATA%\kvprog)
; stay, and so does any file of the user's in the program's folder.
Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT} (demo radio).lnk"

  ; .sin is left to another program that took it over since.
  ReadRegStr $0 HKCU "${CLASSES}\.sin" ""
  StrCmp $0 "${PROGID}" 0 +2
    DeleteRegKey HKCU "${CLASSES}\.sin"
  DeleteRegKey HKCU "${CLASSES}\${PROGID}"
  !insertmacro NotifyShell
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  !include "${FILES}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd

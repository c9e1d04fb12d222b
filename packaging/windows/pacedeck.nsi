; The Windows installer: PACEDECK.exe and pacedeck-setup.exe for the current user, a Start-menu
; entry and an uninstaller. The programs keep their settings in HKCU\Software\SW_PACEDECK and
; their files in the home folder; the uninstaller touches neither, so a reinstall finds every
; copy's settings as they were.
;
; makensis defines: VERSION, MAIN_EXE, SETUP_EXE, ICON, LICENSE, README, OUTFILE.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define PRODUCT "PACEDECK"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\PACEDECK"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
; Per user, no administrator: settings live in the user's own registry hive too.
InstallDir "$LOCALAPPDATA\Programs\PACEDECK"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show

!include "MUI2.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} installer"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "MIT license"

Section "PACEDECK" main
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "/oname=PACEDECK.exe" "${MAIN_EXE}"
  File "/oname=pacedeck-setup.exe" "${SETUP_EXE}"
  File "/oname=pacedeck.ico" "${ICON}"
  File "/oname=LICENSE.txt" "${LICENSE}"
  File "/oname=README.txt" "${README}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\PACEDECK"
  CreateShortcut "$SMPROGRAMS\PACEDECK\PACEDECK.lnk" "$INSTDIR\PACEDECK.exe" "" "$INSTDIR\pacedeck.ico"
  CreateShortcut "$SMPROGRAMS\PACEDECK\Uninstall PACEDECK.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "SYNCWARD"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pacedeck.ico"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes only what the installer put there: copies the user made under other names (one per
; coin) and the settings under SW_PACEDECK stay.
Section "Uninstall"
  Delete "$INSTDIR\PACEDECK.exe"
  Delete "$INSTDIR\pacedeck-setup.exe"
  Delete "$INSTDIR\pacedeck.ico"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\PACEDECK\PACEDECK.lnk"
  Delete "$SMPROGRAMS\PACEDECK\Uninstall PACEDECK.lnk"
  RMDir "$SMPROGRAMS\PACEDECK"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

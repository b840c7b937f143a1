; The Windows installer, made by the hosted CI workflow (.github/workflows/build.yml) from a
; folder that windeployqt filled: the programs, Qt's libraries, the licence.
; makensis /DVERSION=... /DSTAGE=path\to\stage zrk6.nsi
Unicode true
Name "ZR-K6 Programmer"
OutFile "zrk6-setup.exe"
InstallDir "$PROGRAMFILES64\ZR-K6 Programmer"
RequestExecutionLevel admin
LicenseData "${STAGE}\LICENSE"

Page license
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Install"
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\ZR-K6 Programmer.lnk" "$INSTDIR\zrk6.exe"
  ; ".dat" is a common extension: offer the programmer in "Open with" without taking the
  ; extension from other programs.
  WriteRegStr HKLM "Software\Classes\ZRK6.DataFile" "" "ZR-K6 Data File"
  WriteRegStr HKLM "Software\Classes\ZRK6.DataFile\DefaultIcon" "" "$INSTDIR\zrk6.exe,0"
  WriteRegStr HKLM "Software\Classes\ZRK6.DataFile\shell\open\command" "" '"$INSTDIR\zrk6.exe" "%1"'
  WriteRegStr HKLM "Software\Classes\.dat\OpenWithProgids" "ZRK6.DataFile" ""
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZRK6" "DisplayName" "ZR-K6 Programmer"
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZRK6" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZRK6" "UninstallString" '"$INSTDIR\uninstall.exe"'
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\ZR-K6 Programmer.lnk"
  DeleteRegValue HKLM "Software\Classes\.dat\OpenWithProgids" "ZRK6.DataFile"
  DeleteRegKey HKLM "Software\Classes\ZRK6.DataFile"
  DeleteRegKey HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZRK6"
  RMDir /r "$INSTDIR"
SectionEnd

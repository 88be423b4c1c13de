; The Zibbles installer: for the current user only, without administrator
; rights, into a folder the user can write, because the program keeps its
; zibble sets, sounds and screenshots in folders beside zibbles.exe.
; makensis -DVERSION=... -DFOLDER=<the program's folder> -DUNINSTALL_FILES=<Delete
; lines for its files> -DICON=<zibbles.ico> -DOUTFILE=<setup.exe> zibbles.nsi
; A 64-bit installer for the 64-bit program (and Wine without its 32-bit half).
Target amd64-unicode
!include "MUI2.nsh"
!include "FileFunc.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zibbles"

Name "Zibbles"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Zibbles"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
BrandingText "Zibbles ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "Zibbles"
VIAddVersionKey "CompanyName" "Quillmere"
VIAddVersionKey "FileDescription" "Zibbles installer"
VIAddVersionKey "LegalCopyright" "Quillmere"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\zibbles.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Zibbles"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Zibbles"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File /r "${FOLDER}/*"
  CreateDirectory "$INSTDIR\media"
  CreateDirectory "$INSTDIR\ScreenShots"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Zibbles.lnk" "$INSTDIR\zibbles.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Zibbles"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Quillmere"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zibbles.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Removes the program's own files only. The zibble sets (Set1 .. Set10),
; media and ScreenShots stay with whatever the user put in them; those of
; them that are empty go, and so does the folder once nothing is left in it.
Section "Uninstall"
  SetShellVarContext current
!include "${UNINSTALL_FILES}"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\Zibbles.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  StrCpy $0 1
  sets:
    RMDir "$INSTDIR\Set$0"
    IntOp $0 $0 + 1
    IntCmp $0 10 sets sets
  RMDir "$INSTDIR\media"
  RMDir "$INSTDIR\ScreenShots"
  RMDir "$INSTDIR"
SectionEnd

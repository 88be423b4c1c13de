; The Zibbles installer: for the current user only, without administrator
; rights, into a folder the user can write, because the program keeps its
; zibble sets, sounds and screenshots in folders beside zibbles.exe.
; makensis -DVERSION=... -DFOLDER=<the program's folder> -DUNINSTALL_FILES=<Delete
; lines for its files> -DICON=<zibbles.ico> -DOUTFILE=<setup.exe> zibbles.nsi
; A 64-bit installer for the 64-bit program (and Wine without its 32-bit half).
Target amd64-unicode
!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

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

; A running zibbles.exe holds its files open: nothing of them is replaced or
; removed until it has ended. The program keeps one copy per user by a named
; mutex, "Local\Zibbles-zibbles_<user>", where each byte of the user name's
; UTF-8 that is no ASCII letter or digit stands as "_".
!macro RUNNING_COPY_FUNCTIONS un
; The mutex's name in $R0.
Function ${un}RunningCopyMutex
  Push $R1
  Push $R2
  Push $R3
  Push $R4
  System::Call 'advapi32::GetUserNameW(w .R1, *i ${NSIS_MAX_STRLEN}) i .R2'
  ${If} $R2 = 0
    StrCpy $R1 "user"
  ${EndIf}
  StrCpy $R0 "Local\Zibbles-zibbles_"
  System::Call 'kernel32::WideCharToMultiByte(i 65001, i 0, w R1, i -1, p 0, i 0, p 0, p 0) i .R2'
  System::Alloc $R2
  Pop $R3
  System::Call 'kernel32::WideCharToMultiByte(i 65001, i 0, w R1, i -1, p R3, i R2, p 0, p 0) i .R2'
  StrCpy $R1 $R3
  ${Do}
    System::Call '*$R1(&i1 .R4)'
    IntOp $R4 $R4 & 0xFF
    ${IfThen} $R4 = 0 ${|} ${Break} ${|}
    IntOp $R2 $R4 | 0x20 ; the letter in lower case
    ${If} $R4 >= 48
    ${AndIf} $R4 <= 57
      IntFmt $R4 "%c" $R4
    ${ElseIf} $R2 >= 97
    ${AndIf} $R2 <= 122
      IntFmt $R4 "%c" $R4
    ${Else}
      StrCpy $R4 "_"
    ${EndIf}
    StrCpy $R0 "$R0$R4"
    IntPtrOp $R1 $R1 + 1
  ${Loop}
  System::Free $R3
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
FunctionEnd

; Returns once no copy of the program runs. While one does, the user is
; asked to end it; Cancel, or a silent run (/S), ends this program with exit
; code 2 before it changed anything.
Function ${un}EndRunningCopy
  Push $R0
  Push $R1
  Push $R2
  Call ${un}RunningCopyMutex
  ${Do}
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w R0) p .R1 ?e'
    Pop $R2
    ${If} $R1 P<> 0
      System::Call 'kernel32::CloseHandle(p R1)'
    ${ElseIf} $R2 <> 5 ; ERROR_ACCESS_DENIED: it is there all the same
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Zibbles is running. End it (tray menu: Exit) and click Retry." /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Quit
    retry:
  ${Loop}
  Pop $R2
  Pop $R1
  Pop $R0
FunctionEnd
!macroend
!insertmacro RUNNING_COPY_FUNCTIONS ""
!insertmacro RUNNING_COPY_FUNCTIONS "un."

Section "Zibbles"
  Call EndRunningCopy
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
  Call un.EndRunningCopy
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

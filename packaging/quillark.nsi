; Quillark's installer: a per-user install without administrator rights.
;
;   makensis -DVERSION=1.52 -DSTAGE=<folder with the files> -DOUTFILE=<setup.exe> quillark.nsi
;
; STAGE holds what the portable zip holds: quillark.exe, quillark-calc.exe,
; README.txt and LICENSE.txt. The installer copies them into
; %LOCALAPPDATA%\Programs\Quillark, adds a Start-menu shortcut and registers
; itself under the current user's Uninstall key. Run with /S it asks nothing;
; /D=<folder> (last on the command line) picks another folder.
;
; Exit codes: 0 done; 1 cancelled by the user; 2 Quillark is running or the
; folder cannot be written to (nothing was changed).

!ifndef VERSION | STAGE | OUTFILE
  !error "VERSION, STAGE and OUTFILE must be defined"
!endif

; Debian's Wine and today's Windows run 64-bit programs; a 32-bit installer
; would not even start on a 64-bit-only Wine.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS all

!include LogicLib.nsh
!include FileFunc.nsh
!include StrFunc.nsh
${StrStr}

!define PRODUCT "Quillark"
!define PUBLISHER "The Quillark authors"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillark"
!define SHORTCUT "$SMPROGRAMS\Quillark.lnk"
; The main window is a dialog (class #32770) captioned exactly "Quillark";
; the installer's own windows carry longer captions.
!define MAIN_WINDOW_CLASS "#32770"
!define MAIN_WINDOW_CAPTION "Quillark"
!define EXIT_REFUSED 2

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Quillark"
; An upgrade goes where the last install went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show
; A file that cannot be written stops the install at once (no Ignore).
AllowSkipFiles off

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) ${PUBLISHER}, MIT License"

Page directory "" "" checkFolderPage
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; --- Checks made before anything is written --------------------------------

; Sets $0 to 1 while Quillark runs from $INSTDIR (or anywhere, as far as its
; window tells), else 0. A running program's file cannot be opened for
; writing on Windows, which also catches quillark-calc.exe in a console.
!macro QUILLARK_RUNNING_CHECK un
Function ${un}quillarkRunning
  StrCpy $0 0
  FindWindow $1 "${MAIN_WINDOW_CLASS}" "${MAIN_WINDOW_CAPTION}"
  ${If} $1 <> 0
    StrCpy $0 1
    Return
  ${EndIf}
  ${ForEach} $2 0 1 + 1
    ${If} $2 = 0
      StrCpy $3 "$INSTDIR\quillark.exe"
    ${Else}
      StrCpy $3 "$INSTDIR\quillark-calc.exe"
    ${EndIf}
    ${If} ${FileExists} $3
      ; Opened for appending: the file is neither created nor changed.
      ClearErrors
      FileOpen $4 $3 a
      ${If} ${Errors}
        StrCpy $0 1
      ${Else}
        FileClose $4
      ${EndIf}
    ${EndIf}
  ${Next}
FunctionEnd

; Waits for Quillark to be closed, or gives up: interactively the user may
; close it and retry; silently the run ends at once with EXIT_REFUSED.
Function ${un}refuseWhileRunning
  ${Do}
    Call ${un}quillarkRunning
    ${If} $0 = 0
      Return
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Quillark is running. Close every Quillark window and quillark-calc, then choose Retry." \
      /SD IDCANCEL IDRETRY +2
    ${Break}
  ${Loop}
  DetailPrint "Quillark is running: nothing was changed."
  SetErrorLevel ${EXIT_REFUSED}
  Quit
FunctionEnd
!macroend
!insertmacro QUILLARK_RUNNING_CHECK ""
!insertmacro QUILLARK_RUNNING_CHECK "un."

; Sets $0 to 1 when a file can be created in $INSTDIR, else 0. A folder that
; had to be created for the test and cannot be used is removed again (only
; when empty, so nothing of anyone else's goes).
Function folderWritable
  StrCpy $0 0
  StrCpy $1 0
  ${IfNot} ${FileExists} "$INSTDIR\*.*"
    StrCpy $1 1
  ${EndIf}
  ClearErrors
  CreateDirectory "$INSTDIR"
  ${IfNot} ${Errors}
    FileOpen $2 "$INSTDIR\quillark-write-test.tmp" w
    ${IfNot} ${Errors}
      FileClose $2
      Delete "$INSTDIR\quillark-write-test.tmp"
      StrCpy $0 1
    ${EndIf}
  ${EndIf}
  ${If} $0 = 0
  ${AndIf} $1 = 1
    RMDir "$INSTDIR"
  ${EndIf}
FunctionEnd

;  A folder given with /D= that NSIS cannot use (a part of its path is a
; file, the drive does not exist, ...) is quietly replaced by the default
; folder before .onInit runs. Installing somewhere else than asked would look
; like success, so such a folder is refused instead. NSIS strips /D= from
; $CMDLINE, but not from the process's own command line.
Function .onInit
  System::Call 'kernel32::GetCommandLineW() w .r0'
  ${StrStr} $1 $0 " /D="
  ${If} $1 != ""
    StrCpy $1 $1 "" 4
    ; A trailing backslash is not part of $INSTDIR.
    StrCpy $2 $1 1 -1
    ${If} $2 == "\"
      StrCpy $1 $1 -1
    ${EndIf}
    ${If} $1 != $INSTDIR
      MessageBox MB_OK|MB_ICONSTOP "Quillark cannot be installed in$\r$\n$1$\r$\nbecause that folder cannot be written to. Nothing was changed." /SD IDOK
      SetErrorLevel ${EXIT_REFUSED}
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

; Leaving the folder page: a folder that cannot be written keeps the page.
Function checkFolderPage
  Call folderWritable
  ${If} $0 = 0
    MessageBox MB_OK|MB_ICONSTOP "Quillark cannot be installed in$\r$\n$INSTDIR$\r$\nbecause that folder cannot be written to. Choose a folder of your own."
    Abort
  ${EndIf}
FunctionEnd

; --- Install ----------------------------------------------------------------

Section "Quillark"
  Call refuseWhileRunning
  Call folderWritable
  ${If} $0 = 0
    MessageBox MB_OK|MB_ICONSTOP "Quillark cannot be installed in$\r$\n$INSTDIR$\r$\nbecause that folder cannot be written to. Nothing was changed." /SD IDOK
    DetailPrint "Cannot write to $INSTDIR: nothing was changed."
    SetErrorLevel ${EXIT_REFUSED}
    Quit
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "${STAGE}\quillark.exe"
  File "${STAGE}\quillark-calc.exe"
  File "${STAGE}\README.txt"
  File "${STAGE}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "${SHORTCUT}" "$INSTDIR\quillark.exe" "" "$INSTDIR\quillark.exe" 0 SW_SHOWNORMAL "" \
    "Date calculator for family-history research"

  ; Settings > Apps lists the program from these values.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quillark.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

; --- Uninstall --------------------------------------------------------------

; Removes exactly what the installer put there; the folder goes only when
; nothing else is left in it.
Section "Uninstall"
  Call un.refuseWhileRunning
  Delete "$INSTDIR\quillark.exe"
  Delete "$INSTDIR\quillark-calc.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "${SHORTCUT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

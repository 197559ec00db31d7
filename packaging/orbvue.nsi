; The orbvue installer, made with NSIS by packaging/package.sh:
;   makensis -DVERSION=1.0.0 -DSTAGE=FOLDER -DFILES=LIST.nsh -DOUTFILE=SETUP.exe -DSIZE_KB=N orbvue.nsi
; STAGE holds the release files, as in the zip; FILES defines the macro
; ReleaseFiles DO, which inserts the macro DO with each file's name. /S
; installs and uninstalls silently. The installer never touches talvix.ini:
; that file belongs to the menu program.

Unicode true
!ifndef VERSION | STAGE | FILES | OUTFILE | SIZE_KB
  !error "VERSION, STAGE, FILES, OUTFILE and SIZE_KB must be defined"
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\orbvue"

Name "orbvue ${VERSION}"
OutFile "${OUTFILE}"
; A 32-bit installer: $PROGRAMFILES is the 32-bit program folder and the
; registry keys land in the 32-bit view, where the 32-bit program belongs.
InstallDir "$PROGRAMFILES\orbvue"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
Icon "${__FILEDIR__}/../resources/orbvue.ico"
UninstallIcon "${__FILEDIR__}/../resources/orbvue.ico"
BrandingText "orbvue ${VERSION}"
SetCompressor /SOLID lzma

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "orbvue"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "orbvue ${VERSION} setup"
VIAddVersionKey "LegalCopyright" "Copyright (c) the orbvue authors, MIT licence"
VIAddVersionKey "CompanyName" "the orbvue authors"

LicenseData "${STAGE}/LICENSE.txt"
Page license
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Every file the release holds, for installing and for removing, so that
; the uninstaller removes only what the installer put there: the macro
; ReleaseFiles, which package.sh makes from packaging/release-files.txt.
!include "${FILES}"
!macro InstallFile NAME
  File "${STAGE}/${NAME}"
!macroend
!macro RemoveFile NAME
  Delete "$INSTDIR\${NAME}"
!macroend

Section "orbvue"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  !insertmacro ReleaseFiles InstallFile
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The shortcut starts in the install folder ($OUTDIR): the viewer reads
  ; its buttons and pages from the folder it starts in.
  CreateShortcut "$SMPROGRAMS\orbvue.lnk" "$INSTDIR\orbvue.exe" "" "$INSTDIR\orbvue.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "orbvue ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "the orbvue authors"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\orbvue.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  !insertmacro ReleaseFiles RemoveFile
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\orbvue.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; Not /r: a file the user put there stays, and so does its folder.
  RMDir "$INSTDIR"
SectionEnd

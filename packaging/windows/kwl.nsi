; The Windows installer: kwl.exe and kwl-list.exe with the README and the copyright note, a
; Start menu entry for kwl.exe and an uninstaller listed in Windows' "Apps". Per user by
; default (%LOCALAPPDATA%\Programs\kwl, HKCU), for all users with /AllUsers (Program Files,
; HKLM). cmake/WindowsPackage.cmake builds it with makensis and defines:
;   KWL_VERSION    the project's version, x.y.z
;   KWL_PUBLISHER  who publishes KWL
;   KWL_FILES      an include file with the macros KWL_INSTALL_FILES and KWL_DELETE_FILES
;   KWL_OUTFILE    the installer to write

; Debian's default stub is 32-bit (it would need 32-bit Wine); the programs are 64-bit anyway.
Target amd64-unicode
SetCompressor /SOLID lzma

!define KWL_NAME "KWL"
!define KWL_UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\kwl"
!define KWL_UNINSTALLER "uninstall.exe"
!define KWL_SHORTCUT "$SMPROGRAMS\${KWL_NAME}.lnk"

Name "${KWL_NAME}"
OutFile "${KWL_OUTFILE}"

VIProductVersion "${KWL_VERSION}.0"
VIAddVersionKey /LANG=0 ProductName "${KWL_NAME}"
VIAddVersionKey /LANG=0 ProductVersion "${KWL_VERSION}"
VIAddVersionKey /LANG=0 FileVersion "${KWL_VERSION}"
VIAddVersionKey /LANG=0 CompanyName "${KWL_PUBLISHER}"
VIAddVersionKey /LANG=0 FileDescription "${KWL_NAME} Setup"
VIAddVersionKey /LANG=0 LegalCopyright "© ${KWL_PUBLISHER}"

; A standard account installs for itself without any prompt; an administrator's account is
; asked once (the all-users choice needs it) and still installs per user unless told otherwise.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_INSTALLMODE_DEFAULT_CURRENTUSER
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR kwl
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_MUI
!define MULTIUSER_INIT_TEXT_ALLUSERSNOTPOSSIBLE "$(KWL_ALL_USERS_NOT_POSSIBLE)"
!include MultiUser.nsh
!include MUI2.nsh
!include "${KWL_FILES}"

!define MUI_ABORTWARNING
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The installer takes the system's language when it is one of these, else the first.
!insertmacro MUI_LANGUAGE English
!insertmacro MUI_LANGUAGE German

LangString KWL_ALL_USERS_NOT_POSSIBLE ${LANG_ENGLISH} \
    "Your user account does not have sufficient privileges to install or remove $(^Name) for all users of this computer."
LangString KWL_ALL_USERS_NOT_POSSIBLE ${LANG_GERMAN} \
    "Ihr Benutzerkonto hat nicht die nötigen Rechte, um $(^Name) für alle Benutzer dieses Computers zu installieren oder zu entfernen."

Function .onInit
    ; MultiUser sets the default folder of the chosen mode; a folder given with /D= wins.
    StrCpy $0 $INSTDIR
    !insertmacro MULTIUSER_INIT
    StrCmp $0 "" +2
    StrCpy $INSTDIR $0
FunctionEnd

Function un.onInit
    ; The Uninstall key's command lines name the mode the installation was made in; started
    ; from the folder without one, the uninstaller takes the mode whose key names its folder.
    !insertmacro MULTIUSER_UNINIT
    ReadRegStr $0 HKLM "${KWL_UNINSTALL_KEY}" InstallLocation
    ReadRegStr $1 HKCU "${KWL_UNINSTALL_KEY}" InstallLocation
    ${If} $MultiUser.InstallMode == CurrentUser
    ${AndIf} $1 != $INSTDIR
    ${AndIf} $0 == $INSTDIR
        Call un.MultiUser.InstallMode.AllUsers
    ${ElseIf} $MultiUser.InstallMode == AllUsers
    ${AndIf} $0 != $INSTDIR
    ${AndIf} $1 == $INSTDIR
        Call un.MultiUser.InstallMode.CurrentUser
    ${EndIf}
FunctionEnd

Section "${KWL_NAME}" SectionProgram
    SetOutPath "$INSTDIR"
    !insertmacro KWL_INSTALL_FILES
    WriteUninstaller "$INSTDIR\${KWL_UNINSTALLER}"
    CreateShortcut "${KWL_SHORTCUT}" "$INSTDIR\kwl.exe"

    ; SHCTX is HKCU or HKLM, as MultiUser chose for the mode.
    WriteRegStr SHCTX "${KWL_UNINSTALL_KEY}" DisplayName "${KWL_NAME}"
    WriteRegStr SHCTX "${KWL_UNINSTALL_KEY}" DisplayVersion "${KWL_VERSION}"
    WriteRegStr SHCTX "${KWL_UNINSTALL_KEY}" Publisher "${KWL_PUBLISHER}"
    WriteRegStr SHCTX "${KWL_UNINSTALL_KEY}" DisplayIcon "$INSTDIR\kwl.exe"
    WriteRegStr SHCTX "${KWL_UNINSTALL_KEY}" InstallLocation "$INSTDIR"
    WriteRegStr SHCTX "${KWL_UNINSTALL_KEY}" UninstallString \
        '"$INSTDIR\${KWL_UNINSTALLER}" /$MultiUser.InstallMode'
    WriteRegStr SHCTX "${KWL_UNINSTALL_KEY}" QuietUninstallString \
        '"$INSTDIR\${KWL_UNINSTALLER}" /S /$MultiUser.InstallMode'
    ; The size of the files this section installs (KB), not of whatever else the folder holds.
    SectionGetSize ${SectionProgram} $1
    WriteRegDWORD SHCTX "${KWL_UNINSTALL_KEY}" EstimatedSize $1
    WriteRegDWORD SHCTX "${KWL_UNINSTALL_KEY}" NoModify 1
    WriteRegDWORD SHCTX "${KWL_UNINSTALL_KEY}" NoRepair 1
SectionEnd

; Removes only what the installer put there: a folder chosen with /D= may hold other files,
; and the user's %APPDATA%\kwl\formats.def stays.
Section "Uninstall"
    Delete "${KWL_SHORTCUT}"
    !insertmacro KWL_DELETE_FILES
    Delete "$INSTDIR\${KWL_UNINSTALLER}"
    RMDir "$INSTDIR"
    DeleteRegKey SHCTX "${KWL_UNINSTALL_KEY}"
SectionEnd

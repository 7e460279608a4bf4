; The Windows installer of ZPAK Wizard: both programs and the user guide into
; Program Files for every user, or for the current user alone without
; administrator rights (/CurrentUser, or the first page), a Start-menu entry,
; *.zproj files opening in the wizard, and an uninstaller that removes what
; was installed and nothing else. Run again, it replaces the installed
; version where it is.
;
; Built by `make package-windows` (installer/CMakeLists.txt), which defines
; VERSION, OUTFILE, FILES (files.nsh: the macros INSTALL_FILES and
; REMOVE_FILES, what is installed and removed again), ICON and RUNNING_MARKER
; on makensis's command line.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!define PRODUCT "ZPAK Wizard"
!define PROGID "ZpakWizard.Project"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZpakWizard"
!define APP_PATHS_KEY "Software\Microsoft\Windows\CurrentVersion\App Paths\zpakwizard.exe"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "LegalCopyright" "${PRODUCT} developers"

; Every user (elevated) by default; each user for themselves as the choice
; of the first page, of /CurrentUser, and of anyone who is no administrator.
; A second run takes the folder and the choice of the first.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "${PRODUCT}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!ifdef ICON
    !define MUI_ICON "${ICON}"
    !define MUI_UNICON "${ICON}"
!endif
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

!include "${FILES}"

; Files of a running program can be neither replaced nor removed: rather than
; stop half-way, the installer and the uninstaller refuse to start while the
; wizard or zpakbuild runs (each holds a named mutex while it does).
!macro REFUSE_WHILE_RUNNING
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "Global\${RUNNING_MARKER}") p .r0'
    ${If} $0 P<> 0
        System::Call 'kernel32::CloseHandle(p r0)'
        MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} is running. Close every ${PRODUCT} window and zpakbuild, \
            then try again." /SD IDOK
        SetErrorLevel 3
        Quit
    ${EndIf}
!macroend

!macro NOTIFY_ASSOCIATIONS_CHANGED
    ; SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST): Explorer shows the new icons.
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
!macroend

; A folder named on the command line (/D=) is set before .onInit; the install
; mode's default folder, or the folder of an earlier install, must not replace it.
Var CommandLineDir

Function .onInit
    StrCpy $CommandLineDir $INSTDIR
    !insertmacro MULTIUSER_INIT
    ${If} $CommandLineDir != ""
        StrCpy $INSTDIR $CommandLineDir
    ${EndIf}
    !insertmacro REFUSE_WHILE_RUNNING
FunctionEnd

Function un.onInit
    !insertmacro MULTIUSER_UNINIT
    !insertmacro REFUSE_WHILE_RUNNING
FunctionEnd

Section "Install"
    !insertmacro INSTALL_FILES
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\zpakwizard.exe"

    WriteRegStr SHCTX "Software\Classes\.zproj" "" "${PROGID}"
    WriteRegStr SHCTX "Software\Classes\.zproj\OpenWithProgids" "${PROGID}" ""
    WriteRegStr SHCTX "Software\Classes\${PROGID}" "" "${PRODUCT} project"
    WriteRegStr SHCTX "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\zpakwizard.exe,0"
    WriteRegStr SHCTX "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\zpakwizard.exe" "%1"'
    WriteRegStr SHCTX "${APP_PATHS_KEY}" "" "$INSTDIR\zpakwizard.exe"

    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PRODUCT} developers"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zpakwizard.exe,0"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
    !insertmacro NOTIFY_ASSOCIATIONS_CHANGED
SectionEnd

Section "Uninstall"
    !insertmacro REFUSE_WHILE_RUNNING
    !insertmacro REMOVE_FILES
    Delete "$INSTDIR\uninstall.exe"
    ; Only when empty: what the user put there (presets.ini) stays.
    RMDir "$INSTDIR"

    Delete "$SMPROGRAMS\${PRODUCT}.lnk"

    ; .zproj is left to another program that has taken it since.
    ReadRegStr $0 SHCTX "Software\Classes\.zproj" ""
    ${If} $0 == "${PROGID}"
        DeleteRegValue SHCTX "Software\Classes\.zproj" ""
    ${EndIf}
    DeleteRegValue SHCTX "Software\Classes\.zproj\OpenWithProgids" "${PROGID}"
    DeleteRegKey /ifempty SHCTX "Software\Classes\.zproj\OpenWithProgids"
    DeleteRegKey /ifempty SHCTX "Software\Classes\.zproj"
    DeleteRegKey SHCTX "Software\Classes\${PROGID}"
    DeleteRegKey SHCTX "${APP_PATHS_KEY}"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
    !insertmacro NOTIFY_ASSOCIATIONS_CHANGED
SectionEnd

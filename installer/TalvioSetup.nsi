; TalvioSetup.exe: installs, upgrades and uninstalls Talvio Phone Driver.
; Built by CMake (target "installer"), which passes:
;   VERSION   dotted program version, four numbers
;   OUTFILE   the setup program to write
;   PROGRAM   folder holding TalvioDriver.exe, Sonvar.exe, locale.xml, waves\
;   CLOSO     Closo.dll
;   FEECONF   the rate table installed when the user has none
;   ICON      the program icon
; Switches besides NSIS's own /S and /D=<folder>:
;   uninstaller /KEEPSETTINGS  keeps config.xml and FeeConf.xml (a silent
;                              uninstall removes them otherwise)
Unicode true
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define PRODUCT "Talvio Phone Driver"
!define PUBLISHER "Talvio"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TalvioPhoneDriver"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define AUTOSTART_VALUE "NXTalvioPhone"
; Names the running program registers (single-instance mutex, quit window).
!define PROGRAM_MUTEX "OrvaneMutex20061221"
!define QUIT_WINDOW_CLASS "OrvaneWindowClass20060218"
!define QUIT_WINDOW_TITLE "OrvaneWindow20062423"
!define SYNCHRONIZE 0x00100000
; How long a stopped copy gets to save its settings and exit: 150 x 100 ms.
!define QUIT_POLLS 150

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PUBLISHER}"
VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

; The program's seven interface languages; NSIS picks the one of the
; user's Windows, English otherwise.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "TradChinese"
!insertmacro MUI_LANGUAGE "PortugueseBR"
!insertmacro MUI_LANGUAGE "Polish"
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "Korean"
!include "setup_texts.nsh"

Var WasRunning

; Asks every running copy to quit through Closo.dll (a copy in the plug-in
; folder: the installed one may be missing, old, or about to be replaced),
; then waits until the copy has saved its settings, closed its mutex and
; released its executable. A copy that does not go leaves the user a retry;
; a silent run gives up and aborts before anything is touched.
!macro DEFINE_STOP_PROGRAM prefix
; $4 = 1 while a copy holds its single-instance mutex or quit window.
Function ${prefix}ProgramAlive
    StrCpy $4 1
    System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${PROGRAM_MUTEX}") p .r5'
    ${If} $5 P<> 0
        System::Call 'kernel32::CloseHandle(p r5)'
        Return
    ${EndIf}
    FindWindow $5 "${QUIT_WINDOW_CLASS}" "${QUIT_WINDOW_TITLE}"
    ${If} $5 = 0
        StrCpy $4 0
    ${EndIf}
FunctionEnd

Function ${prefix}StopProgram
    Call ${prefix}ProgramAlive
    StrCpy $WasRunning $4
    InitPluginsDir
    File "/oname=$PLUGINSDIR\Closo.dll" "${CLOSO}"
    ask:
    System::Call 'kernel32::LoadLibraryW(w "$PLUGINSDIR\Closo.dll") p .r1'
    ${If} $1 P<> 0
        System::Call 'kernel32::GetProcAddress(p r1, m "vxClosoApp") p .r2'
        ${If} $2 P<> 0
            System::Call '::$2() i .r0 ?c'
        ${EndIf}
        System::Call 'kernel32::FreeLibrary(p r1)'
    ${EndIf}
    StrCpy $3 0
    ${Do}
        Call ${prefix}ProgramAlive
        ${If} $4 = 0
            ${IfNot} ${FileExists} "$INSTDIR\TalvioDriver.exe"
                Return
            ${EndIf}
            ; Windows refuses write access to an executable that still runs.
            ClearErrors
            FileOpen $4 "$INSTDIR\TalvioDriver.exe" a
            ${IfNot} ${Errors}
                FileClose $4
                Return
            ${EndIf}
        ${EndIf}
        IntOp $3 $3 + 1
        ${If} $3 >= ${QUIT_POLLS}
            MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" /SD IDCANCEL IDRETRY ask
            Abort "$(StillRunning)"
        ${EndIf}
        Sleep 100
    ${Loop}
FunctionEnd
!macroend
!insertmacro DEFINE_STOP_PROGRAM ""
!insertmacro DEFINE_STOP_PROGRAM "un."

; Started through the shell, not as a child of this elevated setup: an
; elevated tray program would not receive the messages of the VoIP clients
; the user runs.
Function StartProgram
    Exec '"$WINDIR\explorer.exe" "$INSTDIR\TalvioDriver.exe"'
FunctionEnd

; A silent upgrade has no finish page: the copy it stopped starts again.
Function .onInstSuccess
    ${If} ${Silent}
    ${AndIf} $WasRunning = 1
        Call StartProgram
    ${EndIf}
FunctionEnd

Section "-Program"
    Call StopProgram
    SetOutPath "$INSTDIR"
    File "${PROGRAM}\TalvioDriver.exe"
    File "${PROGRAM}\Sonvar.exe"
    File "${CLOSO}"
    File "${PROGRAM}\locale.xml"
    ; The rate table may hold the user's own prices.
    SetOverwrite off
    File "${FEECONF}"
    SetOverwrite on
    SetOutPath "$INSTDIR\waves"
    File "${PROGRAM}\waves\ring*.wav"
    SetOutPath "$INSTDIR"

    WriteUninstaller "$INSTDIR\Uninstall.exe"

    SetShellVarContext all
    CreateDirectory "$SMPROGRAMS\${PRODUCT}"
    CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\TalvioDriver.exe"
    CreateShortCut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\Uninstall.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\TalvioDriver.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "-un.Program"
    ; First, so that the copy's last save cannot bring the autostart value
    ; or config.xml back after they are gone.
    Call un.StopProgram
    Delete "$INSTDIR\TalvioDriver.exe"
    Delete "$INSTDIR\Sonvar.exe"
    Delete "$INSTDIR\Closo.dll"
    Delete "$INSTDIR\locale.xml"
    Delete "$INSTDIR\waves\ring*.wav"
    RMDir "$INSTDIR\waves"

    ; The program writes the value for the user; older installations wrote it machine-wide.
    DeleteRegValue HKCU "${RUN_KEY}" "${AUTOSTART_VALUE}"
    DeleteRegValue HKLM "${RUN_KEY}" "${AUTOSTART_VALUE}"

    SetShellVarContext all
    Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
    Delete "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk"
    RMDir "$SMPROGRAMS\${PRODUCT}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

Section "un.$(RemoveSettings)" SettingsSection
    Delete "$INSTDIR\config.xml"
    Delete "$INSTDIR\FeeConf.xml"
SectionEnd

; Last: the folder goes only when nothing of the user's is left in it.
Section "-un.Folder"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
SectionEnd

Function un.onInit
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/KEEPSETTINGS" $1
    ${IfNot} ${Errors}
        !insertmacro UnselectSection ${SettingsSection}
    ${EndIf}
FunctionEnd

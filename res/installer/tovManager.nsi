; The Windows installer of tovManager: the program, its languages, engine, sorter and help, the
; machine values the program reads, the engine's registration, logon start, shortcuts and its
; uninstaller. Built by res/installer/CMakeLists.txt:
;   makensis -DVERSION=1.1.0.35 -DBINDIR=<build>/bin -DICON=<zeltovdrv.ico> -DOUTFILE=<setup.exe>
;   -DHELPLIST=<File lines> -DUNHELPLIST=<Delete lines> tovManager.nsi
; Silent: setup.exe /S [/LANG=German|1031] [/D=C:\folder]; uninstall.exe /S.

Unicode false
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define PRODUCT "Kelvox Lumora"
!define PRODUCT_KEY "SOFTWARE\Kelvox\TOV Lumora"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\KelvoxLumora"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_ENGINE "TOV Backup Engine"
!define RUN_SORTER "TOV Drag and Sort"
!define MENU_FOLDER "$SMPROGRAMS\${PRODUCT}"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Kelvox\Kelvox Lumora"
; an upgrade goes where the earlier install went
InstallDirRegKey HKLM "${PRODUCT_KEY}" "installDirectory"
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "Kelvox"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Kelvox"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\tovManager.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; the installer's language page is also the program's interface language
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Spanish"
!insertmacro MUI_LANGUAGE "Italian"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "French"

; The "Language" value the program reads, for the installer language $LANGUAGE.
!macro LanguageName out
    ${Select} $LANGUAGE
    ${Case} ${LANG_SPANISH}
        StrCpy ${out} "Spanish"
    ${Case} ${LANG_ITALIAN}
        StrCpy ${out} "Italian"
    ${Case} ${LANG_GERMAN}
        StrCpy ${out} "German"
    ${Case} ${LANG_FRENCH}
        StrCpy ${out} "French"
    ${CaseElse}
        StrCpy ${out} "English"
    ${EndSelect}
!macroend

; Sets $LANGUAGE from a name ("German") or a language id (1031); leaves it alone otherwise.
Function SetLanguageFrom
    Exch $0
    ${If} $0 == "English"
    ${OrIf} $0 == ${LANG_ENGLISH}
        StrCpy $LANGUAGE ${LANG_ENGLISH}
    ${ElseIf} $0 == "Spanish"
    ${OrIf} $0 == ${LANG_SPANISH}
        StrCpy $LANGUAGE ${LANG_SPANISH}
    ${ElseIf} $0 == "Italian"
    ${OrIf} $0 == ${LANG_ITALIAN}
        StrCpy $LANGUAGE ${LANG_ITALIAN}
    ${ElseIf} $0 == "German"
    ${OrIf} $0 == ${LANG_GERMAN}
        StrCpy $LANGUAGE ${LANG_GERMAN}
    ${ElseIf} $0 == "French"
    ${OrIf} $0 == ${LANG_FRENCH}
        StrCpy $LANGUAGE ${LANG_FRENCH}
    ${EndIf}
    Pop $0
FunctionEnd

; Ends the running engine and sorter of an install in $0 (a folder), so their files can be replaced
; or removed. Both wait for nothing when none runs.
!macro StopPrograms un
Function ${un}StopPrograms
    ${If} ${FileExists} "$0\tovsort.exe"
        ExecWait '"$0\tovsort.exe" -quit'
    ${EndIf}
    ${If} ${FileExists} "$0\tovengine.exe"
        ExecWait '"$0\tovengine.exe" /Quit'
    ${EndIf}
FunctionEnd
!macroend
!insertmacro StopPrograms ""
!insertmacro StopPrograms "un."

Function .onInit
    ; an earlier install's language is the first choice; /LANG= on the command line wins
    ReadRegStr $0 HKLM "${PRODUCT_KEY}" "Language"
    ${If} $0 != ""
        Push $0
        Call SetLanguageFrom
    ${EndIf}
    ${GetParameters} $1
    ClearErrors
    ${GetOptions} $1 "/LANG=" $0
    ${IfNot} ${Errors}
        Push $0
        Call SetLanguageFrom
    ${EndIf}
    ${IfNot} ${Silent}
        !insertmacro MUI_LANGDLL_DISPLAY
    ${EndIf}
FunctionEnd

Section "Program" SecProgram
    SectionIn RO
    SetShellVarContext all
    ; an earlier version still running would hold its files
    StrCpy $0 $INSTDIR
    Call StopPrograms

    SetOutPath "$INSTDIR"
    File "${BINDIR}/tovManager.exe"
    File "${BINDIR}/tovspa.dll"
    File "${BINDIR}/tovita.dll"
    File "${BINDIR}/tovger.dll"
    File "${BINDIR}/tovfra.dll"
    File "${BINDIR}/tovsort.exe"
    File "${BINDIR}/tovengine.exe"
    File "${BINDIR}/tovengineps.dll"
!include "${HELPLIST}"
    ; the desktop shortcut of the drive that set-up makes takes its icon from the system folder
    SetOutPath "$SYSDIR"
    File "${ICON}"
    SetOutPath "$INSTDIR"

    ; the machine values the program reads; the sorter's path is installDirectory + "tovsort.exe"
    WriteRegStr HKLM "${PRODUCT_KEY}" "installDirectory" "$INSTDIR\"
    !insertmacro LanguageName $0
    WriteRegStr HKLM "${PRODUCT_KEY}" "Language" $0

    ExecWait '"$INSTDIR\tovengine.exe" /RegServer' $0
    ${If} $0 != 0
        DetailPrint "tovengine.exe /RegServer ended with $0"
        SetErrorLevel 3
        IfSilent +2
        MessageBox MB_ICONSTOP "The backup engine could not be registered (error $0)."
        Abort
    ${EndIf}

    WriteRegStr HKLM "${RUN_KEY}" "${RUN_ENGINE}" '"$INSTDIR\tovengine.exe"'
    WriteRegStr HKLM "${RUN_KEY}" "${RUN_SORTER}" '"$INSTDIR\tovsort.exe"'

    CreateDirectory "${MENU_FOLDER}"
    CreateShortCut "${MENU_FOLDER}\${PRODUCT}.lnk" "$INSTDIR\tovManager.exe" "" "$INSTDIR\tovManager.exe" 0
    CreateShortCut "${MENU_FOLDER}\Shared Storage Setup.lnk" "$INSTDIR\tovManager.exe" "-shareSetup" "$INSTDIR\tovManager.exe" 0
    CreateShortCut "${MENU_FOLDER}\Storage and Backup Status.lnk" "$INSTDIR\tovManager.exe" "-dashBoard" "$INSTDIR\tovManager.exe" 0
    CreateShortCut "${MENU_FOLDER}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\uninstall.exe"

    WriteUninstaller "$INSTDIR\uninstall.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Kelvox"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tovManager.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR\"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
    ReadRegStr $0 HKLM "${PRODUCT_KEY}" "Language"
    Push $0
    Call un.SetLanguageFrom
FunctionEnd

Function un.SetLanguageFrom
    Exch $0
    ${If} $0 == "Spanish"
        StrCpy $LANGUAGE ${LANG_SPANISH}
    ${ElseIf} $0 == "Italian"
        StrCpy $LANGUAGE ${LANG_ITALIAN}
    ${ElseIf} $0 == "German"
        StrCpy $LANGUAGE ${LANG_GERMAN}
    ${ElseIf} $0 == "French"
        StrCpy $LANGUAGE ${LANG_FRENCH}
    ${EndIf}
    Pop $0
FunctionEnd

; Deletes a file that a program just told to end may still hold for a moment.
!macro DeleteHeld path
    StrCpy $1 0
    ${Do}
        ClearErrors
        Delete "${path}"
        ${IfNot} ${Errors}
        ${OrIfNot} ${FileExists} "${path}"
            ${Break}
        ${EndIf}
        IntOp $1 $1 + 1
        ${If} $1 >= 20
            DetailPrint "Could not delete ${path}"
            ${Break}
        ${EndIf}
        Sleep 250
    ${Loop}
!macroend

Section "Uninstall"
    SetShellVarContext all
    StrCpy $0 $INSTDIR
    Call un.StopPrograms
    ExecWait '"$INSTDIR\tovengine.exe" /UnregServer'

    DeleteRegValue HKLM "${RUN_KEY}" "${RUN_ENGINE}"
    DeleteRegValue HKLM "${RUN_KEY}" "${RUN_SORTER}"
    ; the user's own values (the appliance, the share, the settings) are under HKEY_CURRENT_USER
    ; and stay, as the backup selection, schedule and logs in the data folder do
    DeleteRegValue HKLM "${PRODUCT_KEY}" "installDirectory"
    DeleteRegValue HKLM "${PRODUCT_KEY}" "Language"
    DeleteRegKey /ifempty HKLM "${PRODUCT_KEY}"
    DeleteRegKey /ifempty HKLM "SOFTWARE\Kelvox"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"

    Delete "${MENU_FOLDER}\${PRODUCT}.lnk"
    Delete "${MENU_FOLDER}\Shared Storage Setup.lnk"
    Delete "${MENU_FOLDER}\Storage and Backup Status.lnk"
    Delete "${MENU_FOLDER}\Uninstall ${PRODUCT}.lnk"
    RMDir "${MENU_FOLDER}"

    Delete "$INSTDIR\tovManager.exe"
    Delete "$INSTDIR\tovspa.dll"
    Delete "$INSTDIR\tovita.dll"
    Delete "$INSTDIR\tovger.dll"
    Delete "$INSTDIR\tovfra.dll"
    !insertmacro DeleteHeld "$INSTDIR\tovsort.exe"
    !insertmacro DeleteHeld "$INSTDIR\tovengine.exe"
    Delete "$INSTDIR\tovengineps.dll"
!include "${UNHELPLIST}"
    Delete "$SYSDIR\zeltovdrv.ico"
    Delete "$INSTDIR\uninstall.exe"
    ; only when empty: files the user put there stay
    RMDir "$INSTDIR"
    RMDir "$PROGRAMFILES\Kelvox"
SectionEnd

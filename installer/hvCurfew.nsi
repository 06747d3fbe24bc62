; Halvern Curfew setup: a 64-bit, Japanese-language installer built with
; makensis on Linux (see installer/CMakeLists.txt for the defines it gets).
;
; The window classes, message numbers, service name and file names below are
; the ones in common/names.h; the script repeats them because NSIS cannot
; read a C++ header. Change them there and here together.

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "x64.nsh"

!ifndef BIN_DIR | HELP_FILE | ICON_FILE | OUT_FILE | VERSION | PRODUCT_VERSION | VI_VERSION
  !error "makensis needs -DBIN_DIR, -DHELP_FILE, -DICON_FILE, -DOUT_FILE, -DVERSION, -DPRODUCT_VERSION, -DVI_VERSION"
!endif

!define PRODUCT "Halvern Curfew"
!define PUBLISHER "Halvern Software"
!define SETTINGS_KEY "Software\Halvern Software\Halvern Curfew"
!define SETTINGS_ROOT_KEY "Software\Halvern Software\Halvern Curfew\2.0"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\HalvernCurfew"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Halvern Curfew"
!define START_MENU_DIR "$SMPROGRAMS\Halvern Curfew"

; From common/names.h.
!define TRAY_CLASS "hvCurfew2_Tray"
!define HELPER_CLASS "cfwHelper"
!define WM_HELPER_STOP 0x8001
!define SERVICE_NAME "cfwNotifySvc"
!define LIMITER_EXE "hvCurfew.exe"
!define HELPER_EXE "cfwHelper.exe"
!define EDITOR_EXE "cfwEdit.exe"
!define BACKUP_EXE "cfwBackup.exe"
!define SERVICE_EXE "cfwNotifySvc.exe"
!define NOTIFIER_EXE "cfwNotify.exe"
!define HELP_CHM "hvCurfew.chm"
; The service's display name and description, as the service program's own
; "/Install" registers them (service/strings.rc).
!define SERVICE_DISPLAY "Halvern Curfew Notification Service"
!define SERVICE_DESCRIPTION "ログイン中のユーザー アカウント上に常駐するすべての Halvern Curfew へ設定ユーティリティで更新した設定データを通知し、一括で設定反映を行います。"

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} セットアップ"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES64\Halvern Software\Halvern Curfew"
BrandingText "${PRODUCT} ${VERSION}"
; The language file's labels with an access key do not fit the buttons.
InstallButtonText "インストール"
UninstallButtonText "削除"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VI_VERSION}"
VIAddVersionKey /LANG=1041 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1041 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1041 "FileDescription" "${PRODUCT} セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${PRODUCT_VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${PRODUCT_VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Copyright (C) ${PUBLISHER}"

!define MUI_ICON "${ICON_FILE}"
!define MUI_UNICON "${ICON_FILE}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TITLE "${PRODUCT} ${VERSION} セットアップ"
!define MUI_WELCOMEPAGE_TEXT "${PRODUCT} は、このコンピューターのユーザー アカウントがログインしていられる時間帯と時間を制限します。$\r$\n$\r$\nセットアップは、プログラムとヘルプをインストールし、すべてのユーザーのログイン時に ${PRODUCT} が起動するように登録します。インストールには管理者権限が必要です。$\r$\n$\r$\n実行中の ${PRODUCT} は、ファイルを置き換える前にセットアップが終了させます。$\r$\n$\r$\n[次へ] をクリックして続行してください。"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT} のインストールが完了しました。次回のログインから、すべてのユーザー アカウントで ${PRODUCT} が起動します。$\r$\n$\r$\n制限は「${PRODUCT} 設定ユーティリティ」で設定します。ヘルプはスタート メニューの「${PRODUCT}」にあります。"
!define MUI_FINISHPAGE_TEXT_LARGE
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"

Var EndedLimiter    ; 1 when a limiter of this session was ended for the upgrade

; ---------------------------------------------------------------------------
; The notification service, registered exactly as "cfwNotifySvc.exe /Install"
; registers it (service/scm_ops.cpp), without that command's questions.

!macro RemoveService UN
Function ${UN}RemoveService
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  System::Call 'advapi32::OpenSCManagerW(p 0, p 0, i 0x0002) p.r0'   ; SC_MANAGER_CREATE_SERVICE
  ${If} $0 P<> 0
    System::Call 'advapi32::OpenServiceW(p r0, w "${SERVICE_NAME}", i 0xF01FF) p.r1'   ; SERVICE_ALL_ACCESS
    ${If} $1 P<> 0
      DetailPrint "サービス ${SERVICE_NAME} を停止して削除しています..."
      System::Call '*(&i28) p.r2'   ; SERVICE_STATUS
      System::Call 'advapi32::ControlService(p r1, i 1, p r2) i.r3'   ; SERVICE_CONTROL_STOP
      ; Until it reports "stopped" (1), at most about 20 seconds.
      ${ForEach} $3 1 200 + 1
        System::Call 'advapi32::QueryServiceStatus(p r1, p r2) i.r4'
        System::Call '*$2(i, i .r5)'
        ${If} $4 = 0
        ${OrIf} $5 = 1
          ${ExitFor}
        ${EndIf}
        Sleep 100
      ${Next}
      System::Free $2
      System::Call 'advapi32::DeleteService(p r1) i.r3'
      System::Call 'advapi32::CloseServiceHandle(p r1)'
    ${EndIf}
    System::Call 'advapi32::CloseServiceHandle(p r0)'
  ${EndIf}
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro RemoveService ""
!insertmacro RemoveService "un."

Function RegisterService
  DetailPrint "サービス ${SERVICE_NAME} を登録して開始しています..."
  System::Call 'advapi32::OpenSCManagerW(p 0, p 0, i 0x0002) p.r0'
  ${If} $0 P= 0
    DetailPrint "サービス コントロール マネージャーを開けませんでした。"
    Return
  ${EndIf}
  ; SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL
  System::Call 'advapi32::CreateServiceW(p r0, w "${SERVICE_NAME}", w "${SERVICE_DISPLAY}", i 0xF01FF, i 0x10, i 2, i 1, w `"$INSTDIR\${SERVICE_EXE}" /Service`, p 0, p 0, p 0, p 0, p 0) p.r1'
  ${If} $1 P= 0
    DetailPrint "サービスを登録できませんでした。"
    System::Call 'advapi32::CloseServiceHandle(p r0)'
    Return
  ${EndIf}
  System::Call '*(&w512 "${SERVICE_DESCRIPTION}") p.r2'
  System::Call '*(p r2) p.r3'   ; SERVICE_DESCRIPTIONW
  System::Call 'advapi32::ChangeServiceConfig2W(p r1, i 1, p r3)'   ; a missing description is harmless
  System::Free $3
  System::Free $2
  ; Started with the same two arguments as the service program starts itself.
  System::Call '*(&w520 "$INSTDIR\${SERVICE_EXE}") p.r2'
  System::Call '*(&w16 "/Service") p.r3'
  System::Call '*(p r2, p r3) p.r4'
  System::Call 'advapi32::StartServiceW(p r1, i 2, p r4) i.r5'
  ${If} $5 = 0
    DetailPrint "サービスを開始できませんでした。"
  ${EndIf}
  System::Free $4
  System::Free $3
  System::Free $2
  System::Call 'advapi32::CloseServiceHandle(p r1)'
  System::Call 'advapi32::CloseServiceHandle(p r0)'
FunctionEnd

; ---------------------------------------------------------------------------
; Ending the running programs. The helper goes first (it would restart the
; limiter), then the limiter by its own orderly exit: WM_CLOSE with a non-zero
; wParam skips the question and the password for an administrator's account,
; stores the account's running state and stops the helper once more. A
; limiter that does not go (another account's, a box in the way) and the
; programs of other sessions are ended by force.

!macro EndPrograms UN
Function ${UN}EndPrograms
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $2 0
  ${Do}
    FindWindow $0 "${HELPER_CLASS}" ""
    ${If} $0 <> 0
      System::Call 'user32::SendMessageTimeoutW(p r0, i ${WM_HELPER_STOP}, p 0, p 0, i 2, i 5000, *p .r1)'   ; SMTO_ABORTIFHUNG
    ${EndIf}
    FindWindow $0 "${TRAY_CLASS}" ""
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    ${If} $2 = 0
      DetailPrint "実行中の ${PRODUCT} を終了しています..."
    ${EndIf}
    StrCpy $EndedLimiter 1
    System::Call 'user32::SendMessageTimeoutW(p r0, i 0x0010, p 1, p 0, i 2, i 5000, *p .r1)'   ; WM_CLOSE
    ; Its exit waits a second for the helper; give it a few.
    ${ForEach} $1 1 50 + 1
      System::Call 'user32::IsWindow(p r0) i.r3'
      ${If} $3 = 0
        ${ExitFor}
      ${EndIf}
      Sleep 100
    ${Next}
    IntOp $2 $2 + 1
    ${If} $2 >= 3
      ${Break}
    ${EndIf}
  ${Loop}
  ; Whatever is left, here and in other sessions: helpers first, twice,
  ; because a limiter and its helper restart each other.
  ${ForEach} $1 1 2 + 1
    nsExec::Exec '"$SYSDIR\taskkill.exe" /F /IM ${HELPER_EXE}'
    Pop $0
    nsExec::Exec '"$SYSDIR\taskkill.exe" /F /IM ${LIMITER_EXE}'
    Pop $0
  ${Next}
  nsExec::Exec '"$SYSDIR\taskkill.exe" /F /IM ${NOTIFIER_EXE}'
  Pop $0
  Sleep 500
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro EndPrograms ""
!insertmacro EndPrograms "un."

; ---------------------------------------------------------------------------

Function .onInit
  SetRegView 64
  SetShellVarContext all
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} は 64 ビット版の Windows 専用です。" /SD IDOK
    Abort
  ${EndIf}
  ; An earlier installation: the same folder, so an upgrade replaces it.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
    StrCpy $INSTDIR $0
  ${EndIf}
FunctionEnd

Section "${PRODUCT} (必須)" SecMain
  SectionIn RO
  SetRegView 64
  SetShellVarContext all

  ; The service first, so that nothing it does brings a limiter back; then
  ; the programs whose files are about to be replaced.
  Call RemoveService
  StrCpy $EndedLimiter 0
  Call EndPrograms

  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "${BIN_DIR}\${LIMITER_EXE}"
  File "${BIN_DIR}\${HELPER_EXE}"
  File "${BIN_DIR}\${EDITOR_EXE}"
  File "${BIN_DIR}\${BACKUP_EXE}"
  File "${BIN_DIR}\${SERVICE_EXE}"
  File "${BIN_DIR}\${NOTIFIER_EXE}"
  File "${BIN_DIR}\cfwCommon.dll"
  File "${BIN_DIR}\hvCommon.dll"
  File "${BIN_DIR}\cfwHook.dll"
  File "/oname=${HELP_CHM}" "${HELP_FILE}"

  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; Every user's logon starts the limiter.
  WriteRegStr HKLM "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\${LIMITER_EXE}"'

  CreateDirectory "${START_MENU_DIR}"
  CreateShortcut "${START_MENU_DIR}\${PRODUCT} 設定ユーティリティ.lnk" "$INSTDIR\${EDITOR_EXE}" "" "$INSTDIR\${EDITOR_EXE}" 0
  CreateShortcut "${START_MENU_DIR}\${PRODUCT} バックアップ ツール.lnk" "$INSTDIR\${BACKUP_EXE}" "" "$INSTDIR\${BACKUP_EXE}" 0
  CreateShortcut "${START_MENU_DIR}\${PRODUCT} ヘルプ.lnk" "$INSTDIR\${HELP_CHM}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${PRODUCT_VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${LIMITER_EXE},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Notification Service" SecService
  SetRegView 64
  Call RegisterService
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecMain} "Halvern Curfew 本体、ヘルパー、設定ユーティリティ、バックアップ ツールとヘルプ。すべてのユーザーのログイン時に起動するように登録します。"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecService} "(推奨) 設定の変更を、ユーザーの切り替えやリモート デスクトップでログインしているすべてのユーザーに反映させる Windows サービスです。"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInstSuccess
  ; The limiter ended for the upgrade comes back at once in this session.
  ${If} $EndedLimiter = 1
    Exec '"$INSTDIR\${LIMITER_EXE}"'
  ${EndIf}
  ; A computer whose settings were never set up gets the setup wizard.
  ${IfNot} ${Silent}
    ReadRegDWORD $0 HKLM "${SETTINGS_ROOT_KEY}" "IsInitialized"
    ${If} $0 <> 1
      Exec '"$INSTDIR\${EDITOR_EXE}" /Wizard'
    ${EndIf}
  ${EndIf}
FunctionEnd

; ---------------------------------------------------------------------------

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Uninstall"
  SetRegView 64
  SetShellVarContext all

  Call un.RemoveService
  Call un.EndPrograms

  DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
  Delete "${START_MENU_DIR}\${PRODUCT} 設定ユーティリティ.lnk"
  Delete "${START_MENU_DIR}\${PRODUCT} バックアップ ツール.lnk"
  Delete "${START_MENU_DIR}\${PRODUCT} ヘルプ.lnk"
  RMDir "${START_MENU_DIR}"

  Delete "$INSTDIR\${LIMITER_EXE}"
  Delete "$INSTDIR\${HELPER_EXE}"
  Delete "$INSTDIR\${EDITOR_EXE}"
  Delete "$INSTDIR\${BACKUP_EXE}"
  Delete "$INSTDIR\${SERVICE_EXE}"
  Delete "$INSTDIR\${NOTIFIER_EXE}"
  Delete "$INSTDIR\cfwCommon.dll"
  Delete "$INSTDIR\hvCommon.dll"
  Delete "$INSTDIR\cfwHook.dll"
  Delete "$INSTDIR\${HELP_CHM}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  RMDir "$INSTDIR\.."

  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  ; The settings stay unless the administrator asks otherwise, so that a
  ; reinstall or an upgrade finds them. Silent uninstalls keep them.
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "${PRODUCT} の設定 (登録済みのユーザーとグループ、時間切れ時の動作、パスワード ロック) も削除しますか？$\r$\n$\r$\n再インストールやアップグレードの後も同じ設定を使う場合は [いいえ] を選んでください。" /SD IDNO IDNO keep
    DeleteRegKey HKLM "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKLM "Software\Halvern Software"
  keep:
SectionEnd

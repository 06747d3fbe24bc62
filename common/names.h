// Names that cross program boundaries: window classes other programs look
// for, the message numbers they send, the per-session mutexes, the service
// and the file names of the programs in the install folder. Every program and
// every test takes them from here. No Windows header, so pure code and the
// host build can use it too.
#pragma once

namespace hv::names {

// Window classes.
inline constexpr wchar_t kTrayClass[] = L"hvCurfew2_Tray";    // the limiter's tray window
inline constexpr wchar_t kMonitorClass[] = L"hvCurfew2_Main"; // the limiter's monitor window
inline constexpr wchar_t kHelperClass[] = L"cfwHelper";       // the helper's hidden window

// 0x8001 (WM_APP + 1): "take the new settings" to the tray window, "stop" to
// the helper's window.
inline constexpr unsigned kApplySettingsMessage = 0x8001;
inline constexpr unsigned kHelperStopMessage = 0x8001;
// To the helper's window, which keeps them for a restarted limiter: wParam is
// the value offered (0 only asks), the result the value kept. The countdown's
// deadline (the earliest offered wins) and the latest grant period (the
// highest wins), so that nothing sent here can give time.
inline constexpr unsigned kHelperDeadlineMessage = 0x8002;
inline constexpr unsigned kHelperGrantMessage = 0x8003;

// Single-instance mutexes, one per logon session (no namespace prefix).
inline constexpr wchar_t kLimiterMutex[] = L"hvCurfew";
inline constexpr wchar_t kEditorMutex[] = L"cfwEdit";
inline constexpr wchar_t kBackupMutex[] = L"cfwBackup";
inline constexpr wchar_t kServiceMutex[] = L"cfwNotifySvc";
inline constexpr wchar_t kHelperMutex[] = L"cfwHelper";

// The notification service and its user control code.
inline constexpr wchar_t kServiceName[] = L"cfwNotifySvc";
inline constexpr unsigned kNotifySettingsControl = 128;
// The service's pipe (wire format in common/shared/service_pipe.h): served
// by the service, open to the sessions' users for requests.
inline constexpr wchar_t kServicePipe[] = L"\\\\.\\pipe\\cfwNotifySvc";

// The limiter's first argument when the helper or the service starts it: a
// limiter already running is then left alone without a word (the two may
// start one at the same moment), rather than told of with "already running".
inline constexpr wchar_t kAutoStartSwitch[] = L"/Auto";

// Programs and files beside each other in the install folder.
inline constexpr wchar_t kLimiterFile[] = L"hvCurfew.exe";
inline constexpr wchar_t kHelperFile[] = L"cfwHelper.exe";
inline constexpr wchar_t kEditorFile[] = L"cfwEdit.exe";
inline constexpr wchar_t kBackupFile[] = L"cfwBackup.exe";
inline constexpr wchar_t kServiceFile[] = L"cfwNotifySvc.exe";
inline constexpr wchar_t kNotifierFile[] = L"cfwNotify.exe";
inline constexpr wchar_t kHelpFile[] = L"hvCurfew.chm";

}  // namespace hv::names

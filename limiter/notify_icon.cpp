#include "notify_icon.h"

#include "hvShared.h"

#include <wchar.h>

#include "limiter.h"

namespace {

DWORD InfoFlags(tray::BalloonKind kind)
{
    static const DWORD kFlags[] = {NIIF_NONE, NIIF_INFO, NIIF_WARNING, NIIF_ERROR};
    return kFlags[kind];
}

}  // namespace

void NotifyIcon::Create(HWND owner, HICON icon, const wchar_t* tip)
{
    data_.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data_.hWnd = owner;
    data_.uID = 1;
    data_.uCallbackMessage = WM_USER;
    data_.hIcon = icon;
    wcsncpy(data_.szTip, tip, ARRAYSIZE(data_.szTip) - 1);
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
    balloons_ = g_osVersion > 0x410;
    Add();
}

bool NotifyIcon::Show(HICON icon, const wchar_t* tip, const tray::Warning* balloon)
{
    data_.hIcon = icon;
    wcsncpy(data_.szTip, tip, ARRAYSIZE(data_.szTip) - 1);
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    if (balloon && balloons_) {
        data_.uFlags |= NIF_INFO;
        wcsncpy(data_.szInfoTitle, hv::LoadText(balloon->title).c_str(), ARRAYSIZE(data_.szInfoTitle) - 1);
        wcsncpy(data_.szInfo, hv::LoadText(balloon->text).c_str(), ARRAYSIZE(data_.szInfo) - 1);
        data_.dwInfoFlags = InfoFlags(balloon->kind);
        data_.uTimeout = 15000;
    } else if (balloons_) {
        data_.szInfoTitle[0] = L'\0';
        data_.szInfo[0] = L'\0';
        data_.dwInfoFlags = 0;
        data_.uTimeout = 0;
    }
    return Shell_NotifyIconW(NIM_MODIFY, &data_) != FALSE;
}

void NotifyIcon::KeepPresent()
{
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    if (!Shell_NotifyIconW(NIM_MODIFY, &data_))
        Add();
}

void NotifyIcon::Add() { Shell_NotifyIconW(NIM_ADD, &data_); }

void NotifyIcon::Remove() { Shell_NotifyIconW(NIM_DELETE, &data_); }

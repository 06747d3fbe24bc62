// The limiter's one notification-area icon (identifier 1, callback WM_USER),
// kept for the window's lifetime and changed in place.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "tray_logic.h"

class NotifyIcon {
public:
    void Create(HWND owner, HICON icon, const wchar_t* tip);
    // Sets icon and tip; with a warning also the balloon (kind, title, text).
    bool Show(HICON icon, const wchar_t* tip, const tray::Warning* balloon);
    // Timer 2: modify the icon, add it again when the shell lost it.
    void KeepPresent();
    void Add();
    void Remove();

private:
    NOTIFYICONDATAW data_{};
    bool balloons_ = true;
};

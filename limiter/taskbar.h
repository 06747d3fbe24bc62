// The tray window's taskbar button: its overlay icon with a description.
#pragma once

#include <windows.h>
#include <shobjidl.h>

class TaskbarOverlay {
public:
    TaskbarOverlay() = default;
    ~TaskbarOverlay();
    TaskbarOverlay(const TaskbarOverlay&) = delete;
    TaskbarOverlay& operator=(const TaskbarOverlay&) = delete;

    // A new taskbar button (first shown, or the shell's taskbar came back):
    // the interface is made again for it.
    void ButtonCreated();
    // Sets the overlay; nothing happens where the taskbar object cannot be made.
    void Set(HWND window, HICON icon, const wchar_t* description);
    // Before COM goes away.
    void Release();

private:
    ITaskbarList3* list_ = nullptr;  // one per taskbar button, not one per call
    bool triedForButton_ = false;    // a failed creation is not retried every second
};

// Waits, on a thread of the system's pool, for another process of the pair
// (limiter and helper) to end, and posts a message to a window when it does.
// Header only: the helper links none of the system's libraries.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "raii.h"

namespace hv {

class ProcessWatch {
public:
    ProcessWatch() = default;
    ~ProcessWatch() { Reset(); }
    ProcessWatch(const ProcessWatch&) = delete;
    ProcessWatch& operator=(const ProcessWatch&) = delete;

    // Watches `process` (taken over; needs SYNCHRONIZE access): when it ends,
    // `msg` is posted to `notify` with the process id as wParam, once.
    bool Watch(HANDLE process, DWORD pid, HWND notify, UINT msg)
    {
        Reset();
        process_.reset(process);
        if (!process_)
            return false;
        pid_ = pid;
        notify_ = notify;
        msg_ = msg;
        if (!RegisterWaitForSingleObject(&wait_, process_.get(), &ProcessWatch::Ended, this, INFINITE,
                                         WT_EXECUTEONLYONCE)) {
            wait_ = nullptr;
            process_.reset();
            pid_ = 0;
            return false;
        }
        return true;
    }

    // Opens the process that owns window `w` and watches it.
    bool WatchOwnerOf(HWND w, HWND notify, UINT msg)
    {
        DWORD pid = 0;
        if (!w || !GetWindowThreadProcessId(w, &pid) || pid == 0)
            return false;
        if (pid == pid_ && Alive())
            return true;
        return Watch(OpenProcess(SYNCHRONIZE, FALSE, pid), pid, notify, msg);
    }

    // Stops watching; waits for a callback that is running to finish.
    void Reset()
    {
        if (wait_)
            UnregisterWaitEx(wait_, INVALID_HANDLE_VALUE);
        wait_ = nullptr;
        process_.reset();
        pid_ = 0;
    }

    bool Alive() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
    DWORD pid() const { return pid_; }
    HANDLE process() const { return process_.get(); }

private:
    static void CALLBACK Ended(void* context, BOOLEAN)
    {
        auto* self = static_cast<ProcessWatch*>(context);
        PostMessageW(self->notify_, self->msg_, self->pid_, 0);
    }

    UniqueHandle process_;
    HANDLE wait_ = nullptr;
    DWORD pid_ = 0;
    HWND notify_ = nullptr;
    UINT msg_ = 0;
};

// Starts the program at `path` through the shell, in its own folder, and
// watches its process with `watch`. `path` is a full path: a bare name, which
// the search path could resolve to a planted copy, is refused.
inline bool StartAndWatch(const std::wstring& path, HWND owner, ProcessWatch& watch, UINT msg,
                          const wchar_t* parameters = nullptr)
{
    const size_t slash = path.find_last_of(L"\\/");
    if (path.empty() || slash == std::wstring::npos)
        return false;
    const std::wstring folder = path.substr(0, slash + 1);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = L"Open";
    info.lpFile = path.c_str();
    info.lpParameters = parameters;
    info.lpDirectory = folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info) || reinterpret_cast<INT_PTR>(info.hInstApp) <= 32)
        return false;
    if (info.hProcess)
        watch.Watch(info.hProcess, GetProcessId(info.hProcess), owner, msg);
    return true;
}

}  // namespace hv

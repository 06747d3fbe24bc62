#include "taskbar.h"

TaskbarOverlay::~TaskbarOverlay() { Release(); }

void TaskbarOverlay::Release()
{
    if (list_)
        list_->Release();
    list_ = nullptr;
    triedForButton_ = false;
}

void TaskbarOverlay::ButtonCreated() { Release(); }

void TaskbarOverlay::Set(HWND window, HICON icon, const wchar_t* description)
{
    if (!list_ && !triedForButton_) {
        triedForButton_ = true;
        ITaskbarList3* list = nullptr;
        if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                       reinterpret_cast<void**>(&list)))) {
            if (SUCCEEDED(list->HrInit()))
                list_ = list;
            else
                list->Release();
        }
    }
    if (list_)
        list_->SetOverlayIcon(window, icon, description);
}

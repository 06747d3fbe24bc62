// Entry point of the settings utility: window class, main window (whose
// creation runs the admission checks), help, accelerators and the message
// loop with dialog-style keyboard handling.
#include <windows.h>
#include <htmlhelp.h>
#include <shellapi.h>
#include <wctype.h>

#include "cfwHook.h"
#include "editor.h"
#include "resource.h"

namespace {

std::wstring QueryUserName()
{
    DWORD size = 0;
    GetUserNameW(nullptr, &size);
    if (size == 0)
        return std::wstring();
    std::wstring name(size, L'\0');
    if (!GetUserNameW(name.data(), &size))
        return std::wstring();
    name.resize(size > 0 ? size - 1 : 0);
    return name;
}

std::wstring FirstArgument()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring first = argv && argc > 1 ? argv[1] : L"";
    LocalFree(argv);
    return first;
}

// "hvCurfew.chm" beside the program, its drive letter in upper case.
std::wstring HelpPath()
{
    std::wstring path = hv::SiblingPath(hv::names::kHelpFile);
    if (path.size() > 1 && path[1] == L':')
        path[0] = static_cast<wchar_t>(towupper(path[0]));
    return path;
}

int RunMessageLoop(HWND main, HACCEL accelerators)
{
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (accelerators && TranslateAcceleratorW(main, accelerators, &msg))
            continue;
        if (IsDialogMessageW(main, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show)
{
    g_editor.instance = instance;
    g_editor.osVersion = hv::OsVersionNumber();
    g_editor.firstArgument = FirstArgument();
    if (!RegisterMainWindowClass())
        return -1;
    g_editor.userName = QueryUserName();
    HWND main = CreateMainWindow(show);
    if (!main) {
        UnregisterMainWindowClass();
        return -2;
    }
    g_editor.helpPath = HelpPath();
    DWORD_PTR helpCookie = 0;
    hv::CallHtmlHelp(nullptr, nullptr, HH_INITIALIZE, reinterpret_cast<DWORD_PTR>(&helpCookie));
    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_MAIN));
    CFWHL_Init(main);
    const int code = RunMessageLoop(main, accelerators);
    CFWHL_Uninit();
    hv::CallHtmlHelp(nullptr, nullptr, HH_UNINITIALIZE, helpCookie);
    UnregisterMainWindowClass();
    if (accelerators)
        DestroyAcceleratorTable(accelerators);
    return code;
}

// The main window of the settings utility: the admission checks while it is
// created, the lists of registered users and groups, the commands, Apply
// and the orderly close.
#include "editor.h"

#include <commctrl.h>
#include <htmlhelp.h>
#include <shellapi.h>
#include <shlobj.h>

#include "cfwHook.h"
#include "editor_logic.h"
#include "hvCommon.h"
#include "resource.h"

namespace {

constexpr wchar_t kClassName[] = L"cfwEdit";

using hv::UniqueImageList;

// What the window owns, attached to it while it exists.
struct MainWindow {
    HWND hwnd = nullptr;
    hv::UniqueGdi font;
    UniqueImageList usersImages, groupsImages;
    hv::UniqueIcon usersIcon, groupsIcon;
};

MainWindow* Context(HWND hwnd) { return reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

HWND Child(HWND hwnd, int id) { return GetDlgItem(hwnd, id); }

// --- creation ----------------------------------------------------------------------

void CreateImageLists(MainWindow& w)
{
    const UINT colour = g_editor.osVersion > 0x0501 ? ILC_COLOR32 : (ILC_COLOR16 | ILC_MASK);
    const auto load = [](int id) {
        return hv::UniqueIcon(static_cast<HICON>(
            LoadImageW(g_editor.instance, MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
    };
    w.usersImages.reset(ImageList_Create(16, 16, colour, 4, 4));
    w.groupsImages.reset(ImageList_Create(16, 16, colour, 4, 4));
    w.usersIcon = load(IDI_USERS);
    w.groupsIcon = load(IDI_GROUPS);
    if (w.usersImages && w.usersIcon)
        ImageList_AddIcon(w.usersImages.get(), w.usersIcon.get());
    if (w.groupsImages && w.groupsIcon)
        ImageList_AddIcon(w.groupsImages.get(), w.groupsIcon.get());
}

// The admission checks, the start switch and the password prompt, before
// anything is shown; false refuses the window.
bool Admitted(HWND hwnd)
{
    const bool administrator =
        hv::CountsAsAdministrator(QueryAdministratorsMember(), hv::LookupFailure::CountsAsNonMember);
    switch (editor::DecideAdmission(administrator, IsUserAnAdmin() != FALSE)) {
    case editor::Admission::NotAdministrator:
        ShowNotAdministratorDialog(hwnd);
        return false;
    case editor::Admission::FilteredToken:
        ShowElevationDialog(hwnd);
        return false;
    case editor::Admission::Admit:
        break;
    }
    ReadOptionDataW(&g_editor.options);
    const editor::StartSwitch start =
        editor::ParseStartSwitch(g_editor.firstArgument.empty() ? nullptr : g_editor.firstArgument.c_str());
    if (start == editor::StartSwitch::Wizard && IsUserAnAdmin())
        RunSetupWizard(hwnd);
    // The upgrade may have set a password lock: the prompt below asks for it.
    if (start == editor::StartSwitch::Upgrade) {
        if (IsUserAnAdmin())
            RunSettingsUpgrade(hwnd);
        ReadOptionDataW(&g_editor.options);
    }
    if (g_editor.options.PasswordLockHash != PASSWORD_LOCK_OFF && RunPasswordPrompt(hwnd) != IDOK)
        return false;
    return true;
}

struct ChildSpec {
    int id;
    const wchar_t* cls;
    DWORD style;
    DWORD exStyle;
    unsigned text;
};

void CreateChildren(MainWindow& w)
{
    constexpr DWORD kList = WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_LIST | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
    constexpr DWORD kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
    // A zone's display text can be long: cut with an ellipsis, never wrapped.
    constexpr DWORD kZoneLine = WS_CHILD | WS_VISIBLE | SS_NOPREFIX | SS_ENDELLIPSIS;
    static const ChildSpec kChildren[] = {
        {IDC_USERS_LABEL, WC_STATICW, WS_CHILD | WS_VISIBLE, 0, IDS_USERS_LABEL},
        {IDC_USERS_LIST, WC_LISTVIEWW, kList, WS_EX_CLIENTEDGE, 0},
        {IDC_GROUPS_LABEL, WC_STATICW, WS_CHILD | WS_VISIBLE, 0, IDS_GROUPS_LABEL},
        {IDC_GROUPS_LIST, WC_LISTVIEWW, kList, WS_EX_CLIENTEDGE, 0},
        {IDC_MENU_GROUP, WC_BUTTONW, WS_CHILD | BS_GROUPBOX, WS_EX_TRANSPARENT, IDS_MENU_GROUP},
        {IDC_USERS_BUTTON, WC_BUTTONW, kButton, 0, IDS_USERS_BUTTON},
        {IDC_GROUPS_BUTTON, WC_BUTTONW, kButton, 0, IDS_GROUPS_BUTTON},
        {IDC_TIMEOUT_BUTTON, WC_BUTTONW, kButton, 0, IDS_TIMEOUT_BUTTON},
        {IDC_LOCK_BUTTON, WC_BUTTONW, kButton, 0, IDS_LOCK_BUTTON},
        {IDC_SERVICE_BUTTON, WC_BUTTONW, kButton, 0, IDS_SERVICE_BUTTON},
        {IDC_BACKUP_BUTTON, WC_BUTTONW, kButton, 0, IDS_BACKUP_BUTTON},
        {IDC_APPLY_BUTTON, WC_BUTTONW, (kButton & ~BS_PUSHBUTTON) | BS_DEFPUSHBUTTON, 0, IDS_APPLY_BUTTON},
        {IDC_EXIT_BUTTON, WC_BUTTONW, kButton, 0, IDS_EXIT_BUTTON},
        {IDC_ZONE_TEXT, WC_STATICW, kZoneLine, 0, 0},
        {IDC_ZONE_NOTE, WC_STATICW, kZoneLine, 0, 0},
    };
    w.font.reset(CreateFontW(12, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS UI Gothic"));
    for (const ChildSpec& c : kChildren) {
        const std::wstring text = c.text ? hv::LoadText(c.text) : std::wstring();
        HWND child = CreateWindowExW(c.exStyle, c.cls, text.c_str(), c.style, 0, 0, 0, 0, w.hwnd,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), g_editor.instance, nullptr);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(w.font.get()), FALSE);
    }
    SendMessageW(Child(w.hwnd, IDC_USERS_LIST), LVM_SETIMAGELIST, LVSIL_SMALL,
                 reinterpret_cast<LPARAM>(w.usersImages.get()));
    SendMessageW(Child(w.hwnd, IDC_GROUPS_LIST), LVM_SETIMAGELIST, LVSIL_SMALL,
                 reinterpret_cast<LPARAM>(w.groupsImages.get()));
    HVCSetVisualStyle(Child(w.hwnd, IDC_USERS_LIST), 1);
    HVCSetVisualStyle(Child(w.hwnd, IDC_GROUPS_LIST), 1);
}

void RefreshLists(HWND hwnd)
{
    RefreshListView(Child(hwnd, IDC_GROUPS_LIST), CFW_REG_GROUPS_W);
    RefreshListView(Child(hwnd, IDC_USERS_LIST), CFW_REG_USERS_W);
}

bool OnCreate(MainWindow& w)
{
    HVCSetScreenEx(w.hwnd, nullptr, HVC_SCREEN_CENTER, 0, 0, editor::kMinTrackWidth, editor::kMinTrackHeight);
    g_editor.mutex.reset(CreateMutexW(nullptr, FALSE, hv::names::kEditorMutex));
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        g_editor.mutex.reset();
        EditorMessageBox(w.hwnd, IDS_ALREADY_RUNNING, MB_ICONEXCLAMATION);
        return false;
    }
    CreateImageLists(w);
    if (!Admitted(w.hwnd))
        return false;
    CreateChildren(w);
    RefreshZoneLine(w.hwnd);
    HWND progress = ShowProgressWindow(w.hwnd, IDS_STARTING_TITLE, IDS_STARTING_TEXT);
    RefreshLists(w.hwnd);
    if (progress)
        DestroyWindow(progress);
    SetActiveWindow(w.hwnd);
    return true;
}

// --- layout ----------------------------------------------------------------------------

void OnSize(HWND hwnd, int width, int height)
{
    for (const editor::ControlPlace& p : editor::MainWindowLayout(width, height)) {
        HWND child = Child(hwnd, p.id);
        if (!child)
            continue;
        if (p.id == IDC_MENU_GROUP)
            ShowWindow(child, SW_HIDE);
        MoveWindow(child, p.x, p.y, p.width, p.height, TRUE);
        if (p.id == IDC_MENU_GROUP)
            ShowWindow(child, SW_SHOW);
    }
}

// --- commands ------------------------------------------------------------------------------

void OnRefresh(HWND hwnd)
{
    if (!IsUserAnAdmin())
        return;
    HWND progress = ShowProgressWindow(hwnd, IDS_REFRESHING_TITLE, IDS_REFRESHING_TEXT);
    EnableWindow(hwnd, FALSE);
    RefreshLists(hwnd);
    EnableWindow(hwnd, TRUE);
    if (progress)
        DestroyWindow(progress);
}

// A program beside this one, by full path: the current directory must never
// decide what an administrator starts.
void StartSibling(HWND hwnd, const wchar_t* file, const wchar_t* parameters, unsigned failureText)
{
    const std::wstring path = hv::SiblingPath(file);
    const INT_PTR result =
        path.empty() ? 0
                     : reinterpret_cast<INT_PTR>(ShellExecuteW(hwnd, L"Open", path.c_str(), parameters,
                                                               hv::ProgramFolder().c_str(), SW_SHOWNORMAL));
    if (result <= 32)
        EditorMessageBox(hwnd, failureText, MB_ICONSTOP);
}

void OnHelp(HWND hwnd)
{
    if (!g_editor.helpPath.empty() && HVCGetFileExistW(g_editor.helpPath.c_str()))
        hv::CallHtmlHelp(hwnd, g_editor.helpPath.c_str(), HH_DISPLAY_TOC, 0);
    else
        EditorMessageBox(hwnd, IDS_HELP_MISSING, MB_ICONSTOP);
}

bool ServiceRunning(SC_HANDLE service)
{
    SERVICE_STATUS status{};
    return QueryServiceStatus(service, &status) && status.dwCurrentState == SERVICE_RUNNING;
}

bool NotifyServiceRunning()
{
    hv::UniqueService manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager)
        return false;
    hv::UniqueService service(OpenServiceW(manager.get(), hv::names::kServiceName, SERVICE_QUERY_STATUS));
    return service && ServiceRunning(service.get());
}

bool NotifyService()
{
    hv::UniqueService manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager)
        return false;
    hv::UniqueService service(OpenServiceW(manager.get(), hv::names::kServiceName, SERVICE_ALL_ACCESS));
    if (!service || !ServiceRunning(service.get()))
        return false;
    SERVICE_STATUS status{};
    return ControlService(service.get(), hv::names::kNotifySettingsControl, &status) != FALSE;
}

bool Confirmed(HWND hwnd, unsigned textId)
{
    return CFWHL_MessageBoxW(hwnd, hv::LoadText(textId).c_str(), hv::LoadText(IDS_CONFIRM_CAPTION).c_str(),
                             MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// Saves the option record and tells the limiters: every session's through
// the service when it runs, else the one of this session.
void OnApply(HWND hwnd)
{
    if (NotifyServiceRunning()) {
        if (!Confirmed(hwnd, IDS_APPLY_ASK_ALL))
            return;
        WriteOptionRecord(g_editor.options);
        RefreshZoneLine(hwnd);
        if (NotifyService())
            EditorMessageBox(hwnd, IDS_APPLY_DONE_ALL, MB_ICONINFORMATION);
        else
            EditorMessageBox(hwnd, IDS_APPLY_FAILED, MB_ICONSTOP);
        return;
    }
    HWND tray = FindWindowW(hv::names::kTrayClass, nullptr);
    if (!tray) {
        EditorMessageBox(hwnd, IDS_APPLY_NO_LIMITER, MB_ICONSTOP);
        return;
    }
    if (!Confirmed(hwnd, IDS_APPLY_ASK_ONE))
        return;
    WriteOptionRecord(g_editor.options);
    RefreshZoneLine(hwnd);
    SendMessageW(tray, WM_APPLY_SETTINGS, 0, 0);
    EditorMessageBox(hwnd, IDS_APPLY_DONE_ONE, MB_ICONINFORMATION);
}

void OnCommand(HWND hwnd, int id)
{
    switch (id) {
    case IDC_APPLY_BUTTON:
    case IDM_APPLY:
        OnApply(hwnd);
        break;
    case IDC_EXIT_BUTTON:
    case IDM_EXIT:
        SendMessageW(hwnd, WM_CLOSE, 0, 0);
        break;
    case IDM_REFRESH:
        OnRefresh(hwnd);
        break;
    case IDC_TIMEOUT_BUTTON:
    case IDM_TIMEOUT:
        RunTimeoutDialog(hwnd);
        break;
    case IDC_LOCK_BUTTON:
    case IDM_LOCK:
        RunPasswordLockDialog(hwnd);
        break;
    case IDC_SERVICE_BUTTON:
    case IDM_SERVICE:
        StartSibling(hwnd, hv::names::kServiceFile, L"/Setup", IDS_SERVICE_START_FAILED);
        break;
    case IDC_BACKUP_BUTTON:
    case IDM_BACKUP:
        StartSibling(hwnd, hv::names::kBackupFile, nullptr, IDS_BACKUP_START_FAILED);
        break;
    case IDM_HELP:
        OnHelp(hwnd);
        break;
    case IDM_ABOUT:
        RunAboutDialog(hwnd);
        break;
    case IDC_USERS_BUTTON:
    case IDM_USERS:
        RunUsersDialog(hwnd);
        break;
    case IDC_GROUPS_BUTTON:
    case IDM_GROUPS:
        RunGroupsDialog(hwnd);
        break;
    }
}

void OnClose(HWND hwnd, WPARAM ask)
{
    if (ask == 0 &&
        CFWHL_MessageBoxW(hwnd, hv::LoadText(IDS_CLOSE_ASK).c_str(), hv::LoadText(IDS_CLOSE_CAPTION).c_str(),
                          MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) != IDOK)
        return;
    hv::CallHtmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
    WriteOptionRecord(g_editor.options);
    DestroyWindow(hwnd);
}

LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    MainWindow* w = Context(hwnd);
    switch (message) {
    case WM_NCCREATE: {
        auto* created = new MainWindow;
        created->hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        break;
    }
    case WM_CREATE:
        g_editor.mainWindow = hwnd;
        return w && OnCreate(*w) ? 0 : -1;
    case WM_SIZE:
        OnSize(hwnd, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {editor::kMinTrackWidth, editor::kMinTrackHeight};
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && Child(hwnd, IDC_USERS_LABEL))
            SetFocus(Child(hwnd, IDC_USERS_LABEL));
        return 0;
    case WM_COMMAND:
        OnCommand(hwnd, LOWORD(wParam));
        return 0;
    case WM_TIMECHANGE:
    case WM_SETTINGCHANGE:
        // The computer's zone may have moved away from the recorded one.
        RefreshZoneLine(hwnd);
        break;
    case WM_CLOSE:
        OnClose(hwnd, wParam);
        return 0;
    case WM_DESTROY:
        if (w) {
            w->usersImages.reset();
            w->groupsImages.reset();
            w->usersIcon.reset();
            w->groupsIcon.reset();
            w->font.reset();
        }
        if (g_editor.mutex)
            ReleaseMutex(g_editor.mutex.get());
        g_editor.mutex.reset();
        g_editor.mainWindow = nullptr;
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        delete w;
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return hv::GuardedOr([&] { return HandleMessage(hwnd, message, wParam, lParam); },
                         [&] { return DefWindowProcW(hwnd, message, wParam, lParam); });
}

hv::UniqueIcon g_classIcon, g_classIconSmall;

}  // namespace

bool RegisterMainWindowClass()
{
    g_classIcon.reset(static_cast<HICON>(
        LoadImageW(g_editor.instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR)));
    g_classIconSmall.reset(static_cast<HICON>(
        LoadImageW(g_editor.instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = g_editor.instance;
    wc.hIcon = g_classIcon.get();
    wc.hIconSm = g_classIconSmall.get();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszMenuName = MAKEINTRESOURCEW(IDM_MAIN);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
}

// Also releases the class's icons: nothing uses them once the class is gone.
void UnregisterMainWindowClass()
{
    UnregisterClassW(kClassName, g_editor.instance);
    g_classIcon.reset();
    g_classIconSmall.reset();
}

void RefreshMainWindowLists()
{
    if (g_editor.mainWindow && GetDlgItem(g_editor.mainWindow, IDC_USERS_LIST))
        RefreshLists(g_editor.mainWindow);
}

void RefreshZoneLine(HWND mainWindow)
{
    HWND kept = GetDlgItem(mainWindow, IDC_ZONE_TEXT), note = GetDlgItem(mainWindow, IDC_ZONE_NOTE);
    if (!kept || !note)
        return;
    const std::wstring recorded = hv::RecordedZoneKeyName(), computer = hv::ComputerZoneKeyName();
    const editor::ZoneLines lines =
        editor::DescribeZones(recorded, recorded.empty() ? std::wstring() : hv::ZoneDisplayName(recorded), computer,
                              computer.empty() ? std::wstring() : hv::ZoneDisplayName(computer), hv::LoadText);
    SetWindowTextW(kept, lines.kept.c_str());
    SetWindowTextW(note, lines.note.c_str());
}

HWND CreateMainWindow(int show)
{
    HWND hwnd = CreateWindowExW(0, kClassName, hv::LoadText(IDS_TITLE).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                g_editor.instance, nullptr);
    if (!hwnd)
        return nullptr;
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);
    return hwnd;
}

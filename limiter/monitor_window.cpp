// The monitor window: a list of the current account and, after the show-all
// action, of every registered account with its mode and remaining time. It
// runs on a thread of its own with its own message loop, so that it stays
// responsive while the tray window shows modal boxes.
#include <windows.h>
#include <commctrl.h>
#include <htmlhelp.h>
#include <lm.h>
#include <process.h>

#include <time.h>

#include <algorithm>
#include <atomic>
#include <iterator>
#include <string>
#include <vector>

#include "cfwHook.h"
#include "hvCommon.h"
#include "limiter.h"
#include "monitor_logic.h"
#include "raii.h"
#include "resource.h"

namespace {

constexpr int kClientWidth = 640, kClientHeight = 400;
enum TimerId : UINT_PTR { TIMER_CLOCK = 1, TIMER_REFRESH = 2 };
constexpr UINT kRefreshPeriod = 60000;
enum GroupId { GROUP_CURRENT = 0, GROUP_REGISTERED = 1 };
enum Column { COL_NAME, COL_FULLNAME, COL_MODE, COL_REMAIN };

struct ImageListTraits {
    using Handle = HIMAGELIST;
    static Handle Empty() { return nullptr; }
    static bool Valid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ImageList_Destroy(h); }
};
using UniqueImageList = hv::Unique<ImageListTraits>;

// Lives on the monitor thread's stack for as long as its message loop runs.
struct MonitorContext {
    HWND window = nullptr;
    HWND list = nullptr;
    HWND button = nullptr;
    HWND status = nullptr;
    UniqueImageList images;  // shared with the list view, released here
    hv::UniqueGdi buttonFont;
    bool groups = false;      // item groups exist (OS version above 0x500)
    bool allUsers = false;    // set by the show-all action, never reset
    bool mayShowAll = false;  // administrators only
};

// Set by the monitor thread once its window is destroyed.
std::atomic<bool> g_monitorEnding{false};

MonitorContext* ContextOf(HWND w) { return reinterpret_cast<MonitorContext*>(GetWindowLongPtrW(w, GWLP_USERDATA)); }

limiter::LocalTime Now() { return limiter::ToLocalTime(static_cast<int64_t>(time(nullptr))); }

// --- accounts -------------------------------------------------------------------

// Sub-keys of Users under HKEY_LOCAL_MACHINE; false when the key cannot be
// opened. A key name too long for an account name is passed over, so that it
// cannot hide the accounts enumerated after it.
bool EnumerateRegistered(std::vector<std::wstring>& names)
{
    hv::RegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, CFW_REG_USERS_W, 0, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS)
        return false;
    for (DWORD i = 0;; ++i) {
        wchar_t name[32];
        DWORD length = static_cast<DWORD>(std::size(name));
        const LSTATUS r = RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (r == ERROR_MORE_DATA)
            continue;
        if (r != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return true;
}

// The account's full name through the platform's account query at `level`
// (2 or 10); false when the query fails.
bool QueryFullName(const std::wstring& name, DWORD level, std::wstring& full)
{
    LPBYTE buffer = nullptr;
    const bool ok = NetUserGetInfo(nullptr, name.c_str(), level, &buffer) == NERR_Success && buffer;
    if (ok) {
        const wchar_t* text = level == 2 ? reinterpret_cast<USER_INFO_2*>(buffer)->usri2_full_name
                                         : reinterpret_cast<USER_INFO_10*>(buffer)->usri10_full_name;
        full = text ? text : L"";
    }
    if (buffer)
        NetApiBufferFree(buffer);
    return ok;
}

// Column 1. The current account is asked for its detailed record first; where
// that level is refused, the short record carries the same full name.
std::wstring FullName(const std::wstring& name, bool current)
{
    std::wstring full;
    const bool ok = (current && QueryFullName(name, 2, full)) || QueryFullName(name, 10, full);
    return monitor::FullNameText(ok, full, hv::LoadText);
}

int32_t EvaluateSchedule(const UserData& user, const limiter::LocalTime& now)
{
    GroupData group{};
    if ((user.LimitMode & 0xFFFF) == LIMIT_GROUP)
        ReadGroupDataW(user.Group, &group);
    return limiter::GetRemainSchedule(user, group, now);
}

struct Row {
    std::wstring name, fullName, mode, remain;
    monitor::ListImage image;
    int group;
};

// A registered account, from its stored settings. Its timer countdown lives
// in its own session's limiter and cannot be shown from here.
Row RegisteredRow(const std::wstring& name, const limiter::LocalTime& now)
{
    UserData user{};
    ReadUserDataW(name.c_str(), &user);
    const int32_t seconds = EvaluateSchedule(user, now);
    const bool timer = (user.LimitMode & 0xFFFF) == LIMIT_TIMER;
    return {name,
            FullName(name, false),
            monitor::ModeText(user.LimitMode, hv::LoadText),
            timer ? hv::LoadText(IDS_MONITOR_CANNOT_SHOW) : monitor::RemainText(seconds, hv::LoadText),
            monitor::ImageFor(seconds),
            GROUP_REGISTERED};
}

// The current account, from the limiter's own live state: the tray's
// countdown in the timer mode, the record in memory otherwise. The image
// follows the time shown beside it.
Row CurrentRow(const limiter::LocalTime& now)
{
    const LiveState live = ReadLiveState();
    const UserData& user = live.user;
    const int32_t seconds = (user.LimitMode & 0xFFFF) == LIMIT_TIMER ? live.displayed : EvaluateSchedule(user, now);
    const std::wstring name = g_userName;
    return {name, FullName(name, true), monitor::ModeText(user.LimitMode, hv::LoadText),
            monitor::RemainText(seconds, hv::LoadText),
            monitor::ImageFor(seconds), GROUP_CURRENT};
}

// --- list view -------------------------------------------------------------------

std::wstring ItemName(HWND list, int index)
{
    wchar_t text[64] = {};
    LVITEMW item{};
    item.iSubItem = COL_NAME;
    item.pszText = text;
    item.cchTextMax = static_cast<int>(std::size(text));
    SendMessageW(list, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
    return text;
}

std::vector<std::wstring> ItemNames(HWND list)
{
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    std::vector<std::wstring> names;
    names.reserve(count);
    for (int i = 0; i < count; ++i)
        names.push_back(ItemName(list, i));
    return names;
}

// index -1 appends a new item.
void SetRow(const MonitorContext& c, int index, const Row& row)
{
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | (c.groups ? LVIF_GROUPID : 0);
    item.pszText = const_cast<wchar_t*>(row.name.c_str());
    item.iImage = row.image;
    item.iGroupId = row.group;
    if (index < 0) {
        item.iItem = static_cast<int>(SendMessageW(c.list, LVM_GETITEMCOUNT, 0, 0));
        index = static_cast<int>(SendMessageW(c.list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        if (index < 0)
            return;
    } else {
        item.iItem = index;
        SendMessageW(c.list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    const std::wstring* texts[] = {&row.fullName, &row.mode, &row.remain};
    for (int col = COL_FULLNAME; col <= COL_REMAIN; ++col) {
        LVITEMW sub{};
        sub.iSubItem = col;
        sub.pszText = const_cast<wchar_t*>(texts[col - COL_FULLNAME]->c_str());
        SendMessageW(c.list, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&sub));
    }
}

int CALLBACK CompareRanks(LPARAM a, LPARAM b, LPARAM)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

// Orders the items by name: each item carries its rank in the sorted names as
// its parameter, and the list sorts by that. Comparing by item index while the
// list view moves its items is not reliable on every platform.
void SortByName(HWND list)
{
    const std::vector<std::wstring> names = ItemNames(list);
    std::vector<int> order(names.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return monitor::CompareNames(names[a], names[b]) < 0; });
    for (size_t rank = 0; rank < order.size(); ++rank) {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = order[rank];
        item.lParam = static_cast<LPARAM>(rank);
        SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageW(list, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(CompareRanks));
}

void SetStatusText(const MonitorContext& c, int part, const std::wstring& text)
{
    SendMessageW(c.status, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(text.c_str()));
}

// One pass over the registered accounts and one over the list.
void Refresh(MonitorContext& c)
{
    const limiter::LocalTime now = Now();
    SendMessageW(c.list, WM_SETREDRAW, FALSE, 0);

    std::vector<std::wstring> registered;
    const bool opened = c.allUsers && EnumerateRegistered(registered);
    const std::wstring current = g_userName;
    const monitor::SyncPlan plan = monitor::PlanSync(ItemNames(c.list), opened ? &registered : nullptr, current);

    for (size_t i = 0; i < plan.registeredItem.size(); ++i) {
        if (plan.registeredItem[i] != -2)
            SetRow(c, plan.registeredItem[i], RegisteredRow(registered[i], now));
    }
    for (int index : plan.deletions)
        SendMessageW(c.list, LVM_DELETEITEM, index, 0);
    SetRow(c, plan.currentItem, CurrentRow(now));

    SetStatusText(c, 0 | SBT_NOBORDERS, monitor::AsOfText(now, hv::LoadText));
    SendMessageW(c.list, WM_SETREDRAW, TRUE, 0);
    SortByName(c.list);
    InvalidateRect(c.list, nullptr, TRUE);
    SetTimer(c.window, TIMER_REFRESH, kRefreshPeriod, nullptr);
}

// --- layout and commands ------------------------------------------------------------

void Layout(MonitorContext& c)
{
    RECT client{}, bar{};
    GetClientRect(c.window, &client);
    SendMessageW(c.status, WM_SIZE, 0, 0);
    GetWindowRect(c.status, &bar);
    const monitor::Layout l =
        monitor::ComputeLayout(client.right, client.bottom, bar.bottom - bar.top, c.allUsers);
    MoveWindow(c.list, l.list.x, l.list.y, l.list.width, l.list.height, TRUE);
    if (!c.allUsers)
        MoveWindow(c.button, l.button.x, l.button.y, l.button.width, l.button.height, TRUE);
    int parts[2] = {l.statusParts[0], l.statusParts[1]};
    SendMessageW(c.status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
}

void ShowAll(MonitorContext& c)
{
    HWND w = c.window;
    if (!c.mayShowAll || c.allUsers)
        return;
    if (g_options.PasswordLockHash != PASSWORD_LOCK_OFF && RunPasswordDialog(w) != 1)
        return;
    // The window may have been closed (tray's Exit) while the box was open.
    if (!IsWindow(w) ||
        CFWHL_MessageBoxW(w, hv::LoadText(IDS_MONITOR_SHOWALL_QUESTION).c_str(), hv::LoadText(IDS_TITLE).c_str(),
                          MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES ||
        !IsWindow(w))
        return;
    c.allUsers = true;
    EnableWindow(c.button, FALSE);
    ShowWindow(c.button, SW_HIDE);
    EnableMenuItem(GetMenu(w), IDM_MONITOR_SHOWALL, MF_BYCOMMAND | MF_GRAYED);
    Layout(c);
    Refresh(c);
}

void OnCommand(MonitorContext& c, int id)
{
    switch (id) {
    case IDC_MONITOR_SHOWALL:
    case IDM_MONITOR_SHOWALL:
        ShowAll(c);
        break;
    case IDM_MONITOR_REFRESH:
        Refresh(c);
        break;
    case IDM_MONITOR_CLOSE:
        DestroyWindow(c.window);
        break;
    case IDM_HELP:
        // Posted, not sent: the tray thread may be waiting for this one.
        if (g_trayWindow)
            PostMessageW(g_trayWindow, WM_COMMAND, IDM_HELP, 0);
        break;
    case IDM_ABOUT:
        RunAboutDialog(c.window);
        break;
    default:
        break;
    }
}

void OnMenuSelect(MonitorContext& c, WPARAM wp, LPARAM lp)
{
    const UINT flags = HIWORD(wp);
    if (flags == 0xFFFF && lp == 0)
        return;  // the menu closed; WM_EXITMENULOOP follows
    const unsigned help = (flags & (MF_POPUP | MF_SEPARATOR)) ? 0 : monitor::MenuHelp(LOWORD(wp));
    const std::wstring text = help ? hv::LoadText(help) : std::wstring();
    SendMessageW(c.status, SB_SETTEXTW, SB_SIMPLEID | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text.c_str()));
}

// --- creation and end -------------------------------------------------------------

HFONT MakeButtonFont()
{
    return CreateFontW(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS UI Gothic");
}

void BuildImageList(MonitorContext& c)
{
    const UINT colour = g_osVersion > 0x500 ? ILC_COLOR32 : (ILC_COLOR16 | ILC_MASK);
    c.images.reset(ImageList_Create(16, 16, colour, 4, 8));
    if (!c.images)
        return;
    for (int id = IDI_STATE_NOLIMIT; id <= IDI_STATE_OUT; ++id) {
        HICON icon = g_images.stateSmall[id - IDI_STATE_INIT];
        hv::UniqueIcon own;
        if (!icon) {
            own.reset(static_cast<HICON>(LoadImageW(g_instance, MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, 0)));
            icon = own.get();
        }
        ImageList_AddIcon(c.images.get(), icon);
    }
}

void AddColumns(HWND list)
{
    static const struct {
        unsigned header;
        int width;
        int format;
    } kColumns[] = {
        {IDS_MONITOR_COL_NAME, 160, LVCFMT_LEFT},
        {IDS_MONITOR_COL_FULLNAME, 192, LVCFMT_LEFT},
        {IDS_MONITOR_COL_MODE, 128, LVCFMT_LEFT},
        {IDS_MONITOR_COL_REMAIN, 96, LVCFMT_RIGHT},
    };
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        LVCOLUMNW col{};
        col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        col.fmt = kColumns[i].format;
        col.cx = kColumns[i].width;
        std::wstring header = hv::LoadText(kColumns[i].header);
        col.pszText = header.data();
        col.iSubItem = i;
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&col));
    }
}

void AddGroups(HWND list)
{
    static const unsigned kHeaders[] = {IDS_MONITOR_GROUP_CURRENT, IDS_MONITOR_GROUP_REGISTERED};
    for (int id = GROUP_CURRENT; id <= GROUP_REGISTERED; ++id) {
        LVGROUP group{};
        group.cbSize = sizeof group;
        group.mask = LVGF_HEADER | LVGF_GROUPID | LVGF_ALIGN;
        std::wstring header = hv::LoadText(kHeaders[id]);
        group.pszHeader = header.data();
        group.iGroupId = id;
        group.uAlign = LVGA_HEADER_LEFT;
        SendMessageW(list, LVM_INSERTGROUP, -1, reinterpret_cast<LPARAM>(&group));
    }
    SendMessageW(list, LVM_ENABLEGROUPVIEW, TRUE, 0);
}

bool OnCreate(HWND w, MonitorContext& c)
{
    c.window = w;
    c.allUsers = false;
    c.groups = g_osVersion > 0x500;
    if (!GetMenu(w))
        SetMenu(w, LoadMenuW(g_instance, MAKEINTRESOURCEW(IDM_MONITOR_MENU)));

    BuildImageList(c);
    c.list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                 LVS_NOSORTHEADER | LVS_SHAREIMAGELISTS,
                             0, 0, 0, 0, w, reinterpret_cast<HMENU>(IDC_MONITOR_LIST), g_instance, nullptr);
    c.button = CreateWindowExW(0, L"Button", hv::LoadText(IDS_MONITOR_SHOWALL_BUTTON).c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0,
                               0, 0, w, reinterpret_cast<HMENU>(IDC_MONITOR_SHOWALL), g_instance, nullptr);
    c.status = CreateWindowExW(0, STATUSCLASSNAMEW, hv::LoadText(IDS_MONITOR_STATUS).c_str(), WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, w,
                               reinterpret_cast<HMENU>(IDC_MONITOR_STATUS), g_instance, nullptr);
    if (!c.list || !c.button || !c.status)
        return false;
    AddColumns(c.list);
    const DWORD ex = LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP;
    SendMessageW(c.list, LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
    if (c.groups)
        AddGroups(c.list);
    SendMessageW(c.list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(c.images.get()));
    c.buttonFont.reset(MakeButtonFont());
    SendMessageW(c.button, WM_SETFONT, reinterpret_cast<WPARAM>(c.buttonFont.get()), FALSE);
    HVCSetVisualStyle(c.list, 1);

    Layout(c);
    const limiter::LocalTime now = Now();
    SetStatusText(c, 1, monitor::ClockText(now));
    SetStatusText(c, 0 | SBT_NOBORDERS, monitor::AsOfText(now, hv::LoadText));
    Refresh(c);

    // As everywhere in the limiter, a failed group lookup counts as membership.
    c.mayShowAll = CountsAsAdministrator();
    if (!c.mayShowAll) {
        EnableWindow(c.button, FALSE);
        EnableMenuItem(GetMenu(w), IDM_MONITOR_SHOWALL, MF_BYCOMMAND | MF_GRAYED);
    }

    // Let the clock tick just after whole seconds.
    hv::WaitForNextWholeSecond();
    SetTimer(w, TIMER_CLOCK, 1000, nullptr);
    SetTimer(w, TIMER_REFRESH, kRefreshPeriod, nullptr);
    HVCSetScreenEx(w, nullptr, HVC_SCREEN_CENTER, 0, 0, kClientWidth, kClientHeight);
    return true;
}

void OnDestroy(MonitorContext& c)
{
    KillTimer(c.window, TIMER_CLOCK);
    KillTimer(c.window, TIMER_REFRESH);
    if (c.list)
        DestroyWindow(c.list);
    if (c.button)
        DestroyWindow(c.button);
    c.list = c.button = nullptr;
    c.images.reset();
    c.buttonFont.reset();
    g_monitorWindow = nullptr;
    g_monitorEnding = true;
    PostQuitMessage(0);
}

LRESULT HandleMessage(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    MonitorContext* c = ContextOf(w);
    if (!c)
        return DefWindowProcW(w, msg, wp, lp);

    switch (msg) {
    case WM_CREATE:
        return OnCreate(w, *c) ? 0 : -1;
    case WM_SIZE:
        if (c->status)
            Layout(*c);
        return 0;
    case WM_TIMER:
        if (wp == TIMER_CLOCK)
            SetStatusText(*c, 1, monitor::ClockText(Now()));
        else if (wp == TIMER_REFRESH)
            Refresh(*c);
        return 0;
    case WM_COMMAND:
        OnCommand(*c, LOWORD(wp));
        return 0;
    case WM_ENTERMENULOOP:
        SendMessageW(c->status, SB_SIMPLE, TRUE, 0);
        SendMessageW(c->status, SB_SETTEXTW, SB_SIMPLEID | SBT_NOBORDERS, reinterpret_cast<LPARAM>(L""));
        return 0;
    case WM_MENUSELECT:
        OnMenuSelect(*c, wp, lp);
        return 0;
    case WM_EXITMENULOOP:
        SendMessageW(c->status, SB_SIMPLE, FALSE, 0);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE && c->list) {
            SetFocus(c->list);
            return 0;
        }
        break;
    case WM_SETFOCUS:
        if (c->list)
            SetFocus(c->list);
        return 0;
    case WM_CLOSE:
        DestroyWindow(w);
        return 0;
    case WM_DESTROY:
        OnDestroy(*c);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(w, GWLP_USERDATA, 0);
        break;
    default:
        break;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

// --- the thread ---------------------------------------------------------------------

struct AcceleratorTraits {
    using Handle = HACCEL;
    static Handle Empty() { return nullptr; }
    static bool Valid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DestroyAcceleratorTable(h); }
};

unsigned __stdcall MonitorThread(void*)
{
    hv::Unique<AcceleratorTraits> accel(LoadAcceleratorsW(g_instance, MAKEINTRESOURCEW(IDA_MONITOR)));
    MonitorContext context;
    HWND w = CreateWindowExW(0, kMonitorClass, hv::LoadText(IDS_MONITOR_TITLE).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, g_instance,
                             &context);
    if (!w)
        return 1;
    g_monitorWindow = w;
    ShowWindow(w, SW_SHOWNORMAL);
    // Asked for by the user (tray, "/Monitor", jump list): bring it to the front.
    SetForegroundWindow(w);
    UpdateWindow(w);

    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (CallHtmlHelp(nullptr, nullptr, HH_PRETRANSLATEMESSAGE, reinterpret_cast<DWORD_PTR>(&msg)))
            continue;
        if (accel && TranslateAcceleratorW(w, accel.get(), &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    g_monitorWindow = nullptr;
    return static_cast<unsigned>(msg.wParam);
}

bool ThreadRunning(HANDLE thread)
{
    DWORD code = 0;
    return thread && GetExitCodeThread(thread, &code) && code == STILL_ACTIVE;
}

}  // namespace

LRESULT CALLBACK MonitorWndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    return hv::GuardedOr([&] { return HandleMessage(w, msg, wp, lp); },
                         [&] { return msg == WM_CREATE ? -1 : DefWindowProcW(w, msg, wp, lp); });
}

void OpenMonitorWindow()
{
    if (HWND w = g_monitorWindow) {
        if (IsIconic(w))
            ShowWindowAsync(w, SW_RESTORE);
        SetForegroundWindow(w);
        return;
    }
    // Started a moment ago and still creating its window: one is enough. A
    // thread whose window is already gone is only ending: once it has, the
    // command opens a new one instead of being lost.
    if (ThreadRunning(g_monitorThread) &&
        (!g_monitorEnding || WaitForSingleObject(g_monitorThread, 2000) != WAIT_OBJECT_0))
        return;
    if (g_monitorThread) {
        CloseHandle(g_monitorThread);
        g_monitorThread = nullptr;
    }
    g_monitorEnding = false;
    g_monitorThread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, MonitorThread, nullptr, 0, nullptr));
}

void CloseMonitorWindowAndWait()
{
    HANDLE thread = g_monitorThread;
    if (!thread)
        return;
    // The monitor may be in a modal box or still creating its window; it is
    // asked to close as soon as its window exists. Sent messages are served
    // while waiting, so that nothing the monitor sends here can deadlock.
    const ULONGLONG deadline = GetTickCount64() + 10000;
    bool asked = false;
    while (ThreadRunning(thread) && GetTickCount64() < deadline) {
        if (!asked) {
            if (HWND w = g_monitorWindow)
                asked = PostMessageW(w, WM_CLOSE, 0, 0) != FALSE;
        }
        if (MsgWaitForMultipleObjects(1, &thread, FALSE, 20, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
            MSG m;
            PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
    if (ThreadRunning(thread))
        return;  // hung: the tray's timer releases the handle if it ever ends
    CloseHandle(thread);
    g_monitorThread = nullptr;
}

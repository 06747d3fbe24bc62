// The user information dialog: the running clock, the account and a
// description of its limit mode, refreshed every second.
#include "limiter.h"

#include <lm.h>

#include <time.h>

#include "cfwHook.h"
#include "raii.h"
#include "dialog_logic.h"
#include "resource.h"

namespace {

constexpr UINT_PTR kClockTimer = 1;
constexpr UINT_PTR kModeTimer = 2;

struct UserInfoContext {
    hv::UniqueIcon large;
    hv::UniqueIcon small;
};

std::wstring AccountLabel()
{
    USER_INFO_10* info = nullptr;
    std::wstring label;
    if (NetUserGetInfo(nullptr, g_userName, 10, reinterpret_cast<BYTE**>(&info)) == NERR_Success && info)
        label = limiter::FormatUserLabel(g_userName, info->usri10_full_name);
    else
        label = limiter::FormatUserLabel(g_userName, nullptr);
    if (info)
        NetApiBufferFree(info);
    return label;
}

void ShowClock(HWND dlg)
{
    SetDlgItemTextW(dlg, IDC_USERINFO_CLOCK,
                    limiter::FormatInfoClock(limiter::ToLocalTime(time(nullptr)), hv::LoadText).c_str());
}

void ShowMode(HWND dlg)
{
    GroupData group = {};
    if ((g_user.LimitMode & 0xFFFFu) == LIMIT_GROUP)
        ReadGroupDataW(g_user.Group, &group);
    const bool unlimited = limiter::IsUnlimitedNow(g_user, group, limiter::ToLocalTime(time(nullptr)));
    if (const unsigned text = limiter::ModeDescription(unlimited, g_user.LimitMode))
        SetDlgItemTextW(dlg, IDC_USERINFO_MODE, hv::LoadText(text).c_str());
}

void OnInit(HWND dlg, UserInfoContext& ctx)
{
    ctx.large.reset(static_cast<HICON>(LoadImageW(g_instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                                  GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
    ctx.small.reset(static_cast<HICON>(LoadImageW(g_instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                                  GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
    SendMessageW(dlg, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(ctx.large.get()));
    SendMessageW(dlg, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(ctx.small.get()));

    SetDlgItemTextW(dlg, IDC_USERINFO_USER, AccountLabel().c_str());
    ShowMode(dlg);

    // Start on a whole second so that the one-second timer keeps in step
    // with the clock it shows.
    hv::WaitForNextWholeSecond();
    ShowClock(dlg);
    SetTimer(dlg, kClockTimer, 1000, nullptr);
    SetTimer(dlg, kModeTimer, 1000, nullptr);
}

void OnClose(HWND dlg, UserInfoContext& ctx)
{
    KillTimer(dlg, kClockTimer);
    KillTimer(dlg, kModeTimer);
    SendMessageW(dlg, WM_SETICON, ICON_BIG, 0);
    SendMessageW(dlg, WM_SETICON, ICON_SMALL, 0);
    ctx.large.reset();
    ctx.small.reset();
    EndDialog(dlg, 1);
}

INT_PTR HandleMessage(HWND dlg, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* ctx = reinterpret_cast<UserInfoContext*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dlg, DWLP_USER, lp);
        OnInit(dlg, *reinterpret_cast<UserInfoContext*>(lp));
        return TRUE;
    case WM_TIMER:
        if (wp == kClockTimer)
            ShowClock(dlg);
        else if (wp == kModeTimer)
            ShowMode(dlg);
        return TRUE;
    case WM_COMMAND:
        if ((LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) && ctx) {
            OnClose(dlg, *ctx);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

INT_PTR CALLBACK UserInfoDlgProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp)
{
    return hv::Guarded<INT_PTR>(FALSE, [&] { return HandleMessage(dlg, msg, wp, lp); });
}

}  // namespace

INT_PTR RunUserInfoDialog(HWND owner)
{
    UserInfoContext ctx;
    CFWHL_DialogBoxParamW(g_instance, MAKEINTRESOURCEW(IDD_USERINFO), owner, UserInfoDlgProc,
                          reinterpret_cast<LPARAM>(&ctx));
    return 1;
}

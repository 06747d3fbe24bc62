// The hook library's boxes are the real platform boxes: the test reads them
// back from the screen, checks where they appear and answers them.
#include <windows.h>

#include <gtest/gtest.h>

#include <future>

#include "cfwHook.h"
#include "e2e.h"
#include "hook_test_res.h"

namespace {

using namespace std::chrono_literals;

class Owner {
public:
    Owner(int x, int y, int w, int h)
    {
        hwnd_ = CreateWindowExW(0, L"Static", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, w, h, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~Owner() { DestroyWindow(hwnd_); }
    HWND get() const { return hwnd_; }

private:
    HWND hwnd_;
};

POINT Centre(HWND w)
{
    RECT r;
    GetWindowRect(w, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The box runs on its own thread (with its own owner window, since owner and
// box must share a thread); this thread finds and answers it.
template <typename Show>
std::future<INT_PTR> OnThread(Show show)
{
    return std::async(std::launch::async, show);
}

TEST(Hook, MessageBoxIsReadBackAnsweredAndCentred)
{
    POINT ownerCentre = {};
    auto result = OnThread([&] {
        Owner owner(100, 80, 600, 420);
        ownerCentre = Centre(owner.get());
        return static_cast<INT_PTR>(
            CFWHL_MessageBoxW(owner.get(), L"設定を反映しますか？", L"確認", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2));
    });
    auto box = e2e::WaitForMessageBox(GetCurrentProcessId(), L"確認");
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(L"設定を反映しますか？", box->text);
    ASSERT_EQ(2u, box->buttons.size());
    EXPECT_EQ(IDYES, box->buttons[0].first);
    EXPECT_EQ(IDNO, box->buttons[1].first);
    // Centred over the owner, within a pixel of rounding.
    e2e::WaitUntil([&] { return std::abs(Centre(box->hwnd).x - ownerCentre.x) <= 1; }, 2s);
    EXPECT_NEAR(ownerCentre.x, Centre(box->hwnd).x, 1);
    EXPECT_NEAR(ownerCentre.y, Centre(box->hwnd).y, 1);
    EXPECT_TRUE(e2e::Answer(*box, IDNO));
    EXPECT_EQ(IDNO, result.get());
}

TEST(Hook, BoxesWorkWithoutInitAndWithoutOwner)
{
    auto result = OnThread([] { return static_cast<INT_PTR>(CFWHL_MessageBoxW(nullptr, L"本文", L"所有者なし", MB_OK)); });
    auto box = e2e::WaitForMessageBox(GetCurrentProcessId(), L"所有者なし");
    ASSERT_TRUE(box.has_value());
    EXPECT_TRUE(e2e::Answer(*box, IDOK));
    EXPECT_EQ(IDOK, result.get());
}

TEST(Hook, WarningBoxStaysOnTop)
{
    auto result = OnThread([] {
        Owner owner(50, 50, 300, 200);
        return static_cast<INT_PTR>(
            CFWHL_MessageBoxMostW(owner.get(), L"タイムアウトまであと 1 分を切りました。", L"タイムアウト 1 分前", MB_ICONWARNING));
    });
    auto box = e2e::WaitForMessageBox(GetCurrentProcessId(), L"タイムアウト 1 分前");
    ASSERT_TRUE(box.has_value());
    EXPECT_TRUE(e2e::WaitUntil([&] { return (GetWindowLongW(box->hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }, 2s));
    EXPECT_TRUE(e2e::Answer(*box, IDOK));
    result.get();
}

TEST(Hook, ModalDialogReturnsItsEndValueAndIsCentred)
{
    POINT ownerCentre = {};
    auto result = OnThread([&] {
        Owner owner(200, 150, 500, 400);
        ownerCentre = Centre(owner.get());
        return CFWHL_DialogBoxParamW(
            GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PROBE), owner.get(),
            [](HWND dlg, UINT msg, WPARAM wp, LPARAM lp) -> INT_PTR {
                if (msg == WM_INITDIALOG) {
                    SetWindowLongPtrW(dlg, DWLP_USER, lp);
                    return TRUE;
                }
                if (msg == WM_COMMAND && LOWORD(wp) == IDOK) {
                    EndDialog(dlg, GetWindowLongPtrW(dlg, DWLP_USER));
                    return TRUE;
                }
                return FALSE;
            },
            42);
    });
    HWND dlg = e2e::WaitForWindow(L"#32770", L"テスト ダイアログ", GetCurrentProcessId());
    ASSERT_NE(nullptr, dlg);
    EXPECT_EQ(L"確認用のダイアログです。", e2e::ControlText(dlg, IDC_PROBE_TEXT));
    EXPECT_NEAR(ownerCentre.x, Centre(dlg).x, 1);
    EXPECT_NEAR(ownerCentre.y, Centre(dlg).y, 1);
    e2e::Click(dlg, IDOK);
    EXPECT_EQ(42, result.get());
}

}  // namespace

// Window placement, centred message boxes and dialogs of hvCommon.dll with
// real windows on a virtual display.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "e2e.h"
#include "hvCommon.h"
#include "window_test.h"

namespace {

const wchar_t kClass[] = L"hvcPlacementTest";

RECT WindowRect(HWND w)
{
    RECT r = {};
    GetWindowRect(w, &r);
    return r;
}

SIZE ClientSize(HWND w)
{
    RECT r = {};
    GetClientRect(w, &r);
    return {r.right, r.bottom};
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

// Leaves a known code behind, so that a function that must not touch the
// code can be seen not to.
void LeaveCodeOne()
{
    HVCGetFileExistW(L"");
    ASSERT_EQ(HVCERR_INVALID_ARGUMENT, HVCGetLastError());
}

class Windows : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kClass;
        RegisterClassW(&wc);
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
    }
    void TearDown() override
    {
        for (HWND w : windows_)
            DestroyWindow(w);
    }
    HWND Make(const wchar_t* title, int x, int y, int w, int h, bool visible = true)
    {
        HWND hwnd = CreateWindowExW(0, kClass, title, WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), x, y, w, h,
                                    nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        EXPECT_NE(nullptr, hwnd);
        windows_.push_back(hwnd);
        return hwnd;
    }
    static RECT WorkArea()
    {
        RECT work;
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        return work;
    }
    std::vector<HWND> windows_;
};

TEST_F(Windows, PlacesAtAPointByClientSize)
{
    HWND w = Make(L"placed", 300, 300, 200, 150, false);
    ASSERT_TRUE(HVCSetScreen(w, nullptr, 40, 60, 384, 96));
    EXPECT_EQ(HVCERR_SUCCESS, HVCGetLastError());
    EXPECT_EQ(40, WindowRect(w).left);
    EXPECT_EQ(60, WindowRect(w).top);
    EXPECT_EQ(384, ClientSize(w).cx);
    EXPECT_EQ(96, ClientSize(w).cy);
    EXPECT_TRUE(IsWindowVisible(w));  // shown as well

    LeaveCodeOne();
    ASSERT_TRUE(HVCSetScreenEx(w, nullptr, HVC_SCREEN_AT, 32, 32, 500, 300));
    EXPECT_EQ(HVCERR_SUCCESS, HVCGetLastError());
    EXPECT_EQ(32, WindowRect(w).left);
    EXPECT_EQ(32, WindowRect(w).top);
    EXPECT_EQ(500, ClientSize(w).cx);
    EXPECT_EQ(300, ClientSize(w).cy);
}

TEST_F(Windows, CentresOnTheScreenAndLeavesItHidden)
{
    HWND w = Make(L"centred", 10, 10, 300, 200);
    ASSERT_TRUE(HVCSetScreen(w, nullptr, 10, 10, 640, 400));
    const RECT before = WindowRect(w);
    ASSERT_TRUE(HVCSetScreenEx(w, nullptr, HVC_SCREEN_CENTER, 999, 999, 640, 400));
    EXPECT_EQ(HVCERR_SUCCESS, HVCGetLastError());
    const RECT after = WindowRect(w);
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    EXPECT_EQ(640, ClientSize(w).cx);
    EXPECT_EQ(400, ClientSize(w).cy);
    EXPECT_EQ(before.right - before.left, after.right - after.left);  // same client, same outer size
    EXPECT_EQ((desktop.right - (after.right - after.left)) / 2, after.left);
    EXPECT_EQ((desktop.bottom - (after.bottom - after.top)) / 2, after.top);
    EXPECT_FALSE(IsWindowVisible(w));
}

TEST_F(Windows, ResizesInPlace)
{
    HWND w = Make(L"in place", 123, 77, 300, 200);
    ASSERT_TRUE(HVCSetScreenEx(w, nullptr, HVC_SCREEN_IN_PLACE, 0, 0, 450, 250));
    EXPECT_EQ(123, WindowRect(w).left);
    EXPECT_EQ(77, WindowRect(w).top);
    EXPECT_EQ(450, ClientSize(w).cx);
    EXPECT_EQ(250, ClientSize(w).cy);
}

// With a reference window and no size, the window takes the reference's
// client size and keeps its own frame.
TEST_F(Windows, TakesTheClientSizeOfAReferenceWindow)
{
    HWND ref = Make(L"reference", 600, 100, 100, 100);
    ASSERT_TRUE(HVCSetScreen(ref, nullptr, 600, 100, 333, 222));
    HWND w = Make(L"follower", 10, 10, 200, 150);
    ASSERT_TRUE(HVCSetScreen(w, ref, 20, 30, 0, 0));
    EXPECT_EQ(20, WindowRect(w).left);
    EXPECT_EQ(333, ClientSize(w).cx);
    EXPECT_EQ(222, ClientSize(w).cy);

    HWND v = Make(L"centred follower", 10, 10, 200, 150);
    ASSERT_TRUE(HVCSetCenterScreen(v, ref, 0, 0));
    EXPECT_EQ(333, ClientSize(v).cx);
    EXPECT_EQ(222, ClientSize(v).cy);
}

TEST_F(Windows, RefusalsMoveNothing)
{
    HWND w = Make(L"refused", 50, 60, 300, 200);
    HWND ref = Make(L"reference", 400, 60, 300, 200);
    struct Case {
        const char* what;
        BOOL (*call)(HWND w, HWND ref);
    } cases[] = {
        {"zero width without a reference", [](HWND w, HWND) { return HVCSetScreen(w, nullptr, 0, 0, 0, 100); }},
        {"zero height without a reference",
         [](HWND w, HWND) { return HVCSetCenterScreen(w, nullptr, 100, 0); }},
        {"negative x", [](HWND w, HWND ref) { return HVCSetScreen(w, ref, -1, 0, 100, 100); }},
        {"negative y", [](HWND w, HWND) { return HVCSetScreen(w, nullptr, 0, -5, 100, 100); }},
        {"negative size with a reference", [](HWND w, HWND ref) { return HVCSetCenterScreen(w, ref, -1, 0); }},
        {"no window", [](HWND, HWND) { return HVCSetScreen(nullptr, nullptr, 0, 0, 100, 100); }},
        {"not a window", [](HWND, HWND) { return HVCSetScreen(reinterpret_cast<HWND>(0x4321), nullptr, 0, 0, 9, 9); }},
        {"mode 3", [](HWND w, HWND) { return HVCSetScreenEx(w, nullptr, 3, 0, 0, 100, 100); }},
        {"mode -1", [](HWND w, HWND) { return HVCSetScreenEx(w, nullptr, -1, 0, 0, 100, 100); }},
        {"mode 2 with a zero size", [](HWND w, HWND) { return HVCSetScreenEx(w, nullptr, 2, 0, 0, 0, 100); }},
    };
    const RECT before = WindowRect(w);
    for (const Case& c : cases) {
        HVCGetFileExistW(L"C:\\");  // code 0 before the call
        EXPECT_FALSE(c.call(w, ref)) << c.what;
        EXPECT_EQ(HVCERR_INVALID_ARGUMENT, HVCGetLastError()) << c.what;
        EXPECT_TRUE(SameRect(before, WindowRect(w))) << c.what;
        EXPECT_TRUE(IsWindowVisible(w)) << c.what;
    }
}

// ---- centred boxes ----

struct DialogRun {
    LPARAM param = 0;
    LPARAM seen = 0;
    RECT atInit = {};
    const wchar_t* screenshot = nullptr;
};

// Records where the dialog is when its own procedure first sees it, then
// ends it (after a screenshot when one is asked for).
INT_PTR CALLBACK RecordingDialog(HWND dlg, UINT msg, WPARAM, LPARAM lParam)
{
    auto* run = reinterpret_cast<DialogRun*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        run = reinterpret_cast<DialogRun*>(lParam);
        SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        run->seen = lParam;
        GetWindowRect(dlg, &run->atInit);
        SetTimer(dlg, 1, run->screenshot ? 300 : 1, nullptr);
        return TRUE;
    case WM_TIMER:
        KillTimer(dlg, 1);
        if (run->screenshot)
            e2e::Screenshot(run->screenshot);
        EndDialog(dlg, 42);
        return TRUE;
    }
    return FALSE;
}

enum class Via { Plain, Wide, Narrow };

RECT RunDialog(Via via, int id, HWND owner, const wchar_t* screenshot = nullptr)
{
    DialogRun run;
    run.screenshot = screenshot;
    const HINSTANCE self = GetModuleHandleW(nullptr);
    const LPARAM param = reinterpret_cast<LPARAM>(&run);
    INT_PTR result = 0;
    switch (via) {
    case Via::Plain:
        result = DialogBoxParamW(self, MAKEINTRESOURCEW(id), owner, RecordingDialog, param);
        break;
    case Via::Wide:
        result = HVCDialogBoxParamW(self, MAKEINTRESOURCEW(id), owner, RecordingDialog, param);
        break;
    case Via::Narrow:
        result = HVCDialogBoxParamA(self, MAKEINTRESOURCEA(id), owner, RecordingDialog, param);
        break;
    }
    EXPECT_EQ(42, result);
    EXPECT_EQ(param, run.seen);
    return run.atInit;
}

int Width(const RECT& r) { return r.right - r.left; }

INT_PTR CALLBACK Modeless(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }
int Height(const RECT& r) { return r.bottom - r.top; }

TEST_F(Windows, DialogIsCentredOverItsOwner)
{
    HWND owner = Make(L"所有者", 100, 120, 700, 450);
    const RECT o = WindowRect(owner);
    const RECT work = WorkArea();
    const RECT plain = RunDialog(Via::Plain, IDD_SMALL, owner);

    LeaveCodeOne();
    const RECT d = RunDialog(Via::Wide, IDD_SMALL, owner, L"common_centred_dialog");
    EXPECT_EQ(HVCERR_INVALID_ARGUMENT, HVCGetLastError());  // untouched
    EXPECT_TRUE(Width(d) == Width(plain) && Height(d) == Height(plain));
    EXPECT_EQ(o.left + (Width(o) - Width(d)) / 2, d.left);
    EXPECT_EQ(o.top + (Height(o) - Height(d)) / 2, d.top);
    EXPECT_FALSE(SameRect(plain, d));  // it really moved
    EXPECT_LE(d.right, work.right);

    EXPECT_TRUE(SameRect(d, RunDialog(Via::Narrow, IDD_SMALL, owner)));
    // The hook went with the first dialog: the next plain one is left alone.
    EXPECT_TRUE(SameRect(plain, RunDialog(Via::Plain, IDD_SMALL, owner)));
}

TEST_F(Windows, DialogIsKeptOnTheWorkArea)
{
    HWND owner = Make(L"owner", 100, 120, 700, 450);
    const RECT o = WindowRect(owner);
    const RECT work = WorkArea();

    // A dialog whose right edge lies off the work area goes flush with it.
    // (The system keeps new dialogs on the screen, so it is pushed there.)
    HWND dlg = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SMALL), owner, Modeless, 0);
    ASSERT_NE(nullptr, dlg);
    const int w = Width(WindowRect(dlg)), h = Height(WindowRect(dlg));
    SetWindowPos(dlg, nullptr, work.right - w / 2, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_GT(WindowRect(dlg).right, work.right);
    LeaveCodeOne();
    EXPECT_TRUE(HVCSetCenterDialogWindow(dlg));
    EXPECT_EQ(HVCERR_INVALID_ARGUMENT, HVCGetLastError());  // untouched
    EXPECT_EQ(work.right - w, WindowRect(dlg).left);
    EXPECT_EQ(o.top + (Height(o) - h) / 2, WindowRect(dlg).top);
    // Likewise at the bottom.
    SetWindowPos(dlg, nullptr, 30, work.bottom - h / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(HVCSetCenterDialogWindow(dlg));
    EXPECT_EQ(o.left + (Width(o) - w) / 2, WindowRect(dlg).left);
    EXPECT_EQ(work.bottom - h, WindowRect(dlg).top);
    // Not at all without an owner or over a minimised one.
    HWND ownerless = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SMALL), nullptr, Modeless, 0);
    const RECT alone = WindowRect(ownerless);
    EXPECT_FALSE(HVCSetCenterDialogWindow(ownerless));
    EXPECT_TRUE(SameRect(alone, WindowRect(ownerless)));
    DestroyWindow(ownerless);
    ShowWindow(owner, SW_MINIMIZE);
    const RECT kept = WindowRect(dlg);
    EXPECT_FALSE(HVCSetCenterDialogWindow(dlg));
    EXPECT_TRUE(SameRect(kept, WindowRect(dlg)));
    DestroyWindow(dlg);
    ShowWindow(owner, SW_RESTORE);

    // Wider than the work area: it starts at 0.
    const RECT wide = RunDialog(Via::Wide, IDD_WIDE, owner, L"common_wide_dialog");
    ASSERT_GT(Width(wide), work.right - work.left);
    EXPECT_EQ(0, wide.left);
    EXPECT_EQ(o.top + (Height(o) - Height(wide)) / 2, wide.top);
}

TEST_F(Windows, MinimisedOwnerLeavesTheDialogWherePlaced)
{
    HWND owner = Make(L"minimised owner", 100, 120, 700, 450);
    ShowWindow(owner, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(owner));
    const RECT plain = RunDialog(Via::Plain, IDD_SMALL, owner);
    EXPECT_TRUE(SameRect(plain, RunDialog(Via::Wide, IDD_SMALL, owner)));
    // Nothing happens without an owner either, and the code stays as it was.
    LeaveCodeOne();
    const RECT ownerless = RunDialog(Via::Plain, IDD_SMALL, nullptr);
    EXPECT_TRUE(SameRect(ownerless, RunDialog(Via::Wide, IDD_SMALL, nullptr)));
    EXPECT_EQ(HVCERR_INVALID_ARGUMENT, HVCGetLastError());
}

// Watches for this process's message box from a second thread, notes its
// rectangle, optionally takes a screenshot, and presses OK.
class BoxWatcher {
public:
    explicit BoxWatcher(const wchar_t* screenshot)
        : thread_([this, screenshot] {
              auto box = e2e::WaitForMessageBox(GetCurrentProcessId(), nullptr, std::chrono::seconds(10));
              if (!box)
                  return;
              found_ = true;
              rect_ = WindowRect(box->hwnd);
              text_ = box->text;
              if (screenshot)
                  e2e::Screenshot(screenshot);
              e2e::Answer(*box, IDOK);
          })
    {
    }
    ~BoxWatcher()
    {
        if (thread_.joinable())
            thread_.join();
    }
    const RECT& Finish()
    {
        thread_.join();
        return rect_;
    }
    bool found() const { return found_; }
    const std::wstring& text() const { return text_; }

private:
    bool found_ = false;
    RECT rect_ = {};
    std::wstring text_;
    std::thread thread_;
};

TEST_F(Windows, MessageBoxIsCentredOverItsOwner)
{
    HWND owner = Make(L"メッセージの所有者", 80, 90, 760, 500);
    const RECT o = WindowRect(owner);
    const wchar_t kText[] = L"残り時間はあと 10 分です。\n作業を保存してください。";
    struct Case {
        bool narrow;
        const wchar_t* screenshot;
    } cases[] = {{false, L"common_centred_message_box"}, {true, nullptr}};
    for (const Case& c : cases) {
        LeaveCodeOne();
        BoxWatcher watcher(c.screenshot);
        int result;
        if (c.narrow) {
            char text[256], caption[64];
            WideCharToMultiByte(CP_ACP, 0, kText, -1, text, sizeof text, nullptr, nullptr);
            WideCharToMultiByte(CP_ACP, 0, L"お知らせ", -1, caption, sizeof caption, nullptr, nullptr);
            result = HVCMessageBoxA(owner, text, caption, MB_OKCANCEL | MB_ICONINFORMATION);
        } else {
            result = HVCMessageBoxW(owner, kText, L"お知らせ", MB_OKCANCEL | MB_ICONINFORMATION);
        }
        const RECT box = watcher.Finish();
        ASSERT_TRUE(watcher.found()) << c.narrow;
        EXPECT_EQ(IDOK, result);
        EXPECT_EQ(std::wstring(kText), watcher.text()) << c.narrow;
        EXPECT_EQ(o.left + (Width(o) - Width(box)) / 2, box.left) << c.narrow;
        EXPECT_EQ(o.top + (Height(o) - Height(box)) / 2, box.top) << c.narrow;
        EXPECT_EQ(HVCERR_INVALID_ARGUMENT, HVCGetLastError()) << c.narrow;
    }
    // The hook went with the box.
    const RECT plain = RunDialog(Via::Plain, IDD_SMALL, owner);
    EXPECT_NE(o.left + (Width(o) - Width(plain)) / 2, plain.left);
}

TEST_F(Windows, MessageBoxOverMinimisedOwnerStaysWhereTheSystemPutsIt)
{
    HWND owner = Make(L"minimised", 80, 90, 760, 500);
    const RECT before = RunDialog(Via::Plain, IDD_SMALL, owner);
    ShowWindow(owner, SW_MINIMIZE);
    RECT plain, centred;
    {
        BoxWatcher watcher(nullptr);
        MessageBoxW(owner, L"plain", L"box", MB_OK);
        plain = watcher.Finish();
    }
    {
        BoxWatcher watcher(nullptr);
        EXPECT_EQ(IDOK, HVCMessageBoxW(owner, L"plain", L"box", MB_OK));
        centred = watcher.Finish();
    }
    EXPECT_TRUE(SameRect(plain, centred));
    // The hook removed itself at the box's initialisation all the same.
    ShowWindow(owner, SW_RESTORE);
    EXPECT_TRUE(SameRect(before, RunDialog(Via::Plain, IDD_SMALL, owner)));
}

TEST_F(Windows, VisualStyle)
{
    HWND parent = Make(L"list", 10, 10, 400, 300);
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 380, 260, parent,
                                reinterpret_cast<HMENU>(IDC_LIST), GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(S_OK, HVCSetVisualStyle(list, 1));
    EXPECT_EQ(HVCERR_SUCCESS, HVCGetLastError());
    // Turning the style off passes empty names; whatever the theme call
    // answers comes back unchanged, with code 0.
    HMODULE uxtheme = GetModuleHandleW(L"uxtheme.dll");
    ASSERT_NE(nullptr, uxtheme);  // the call above loaded it, and comctl32 keeps it
    const auto setTheme = reinterpret_cast<HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR)>(
        reinterpret_cast<void (*)()>(GetProcAddress(uxtheme, "SetWindowTheme")));
    const HRESULT direct = setTheme(list, L"", L"");
    LeaveCodeOne();
    EXPECT_EQ(direct, HVCSetVisualStyle(list, 0));
    EXPECT_EQ(HVCERR_SUCCESS, HVCGetLastError());
}

}  // namespace

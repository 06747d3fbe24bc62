// End-to-end helpers for tests that drive the real programs under Wine:
// start a program from the build's bin folder, find its windows, read and set
// control texts, press buttons, answer message boxes, take screenshots.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// Folder of the product's programs and DLLs (build/win64/bin).
std::wstring BinDir();
// Folder for screenshots and other files a test leaves for people to look at.
std::wstring ArtifactDir();

using Env = std::map<std::wstring, std::wstring>;

// The fake clock. A test program declared with hv_wine_test(... FAKE_CLOCK)
// runs, with every program it starts, under libfaketime: SetFakeClock moves
// the local time of all of them to `when` ("2026-01-02 17:59:50"), from where
// it runs on at normal speed. Programs started afterwards see it at once;
// running ones within a second. One timeline for all processes, so a program
// restarted later does not jump back to `when`. Fails the test when the
// program was not declared with FAKE_CLOCK.
bool SetFakeClock(const std::string& when);
// Older form: sets the clock as above and returns no extra environment.
Env FakeClockAt(const std::string& when);

class Process {
public:
    Process() = default;
    Process(HANDLE process, DWORD pid) : h_(process), pid_(pid) {}
    ~Process();
    Process(Process&& o) noexcept;
    Process& operator=(Process&& o) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    explicit operator bool() const { return h_ != nullptr; }
    DWORD pid() const { return pid_; }
    HANDLE handle() const { return h_; }
    bool Running() const;
    // The exit code, or nothing when the process is still running after `ms`.
    std::optional<DWORD> Wait(DWORD ms);
    void Kill();

private:
    HANDLE h_ = nullptr;
    DWORD pid_ = 0;
};

// Starts BinDir()\program (or `program` itself when it is a path) with the
// given arguments (and extra environment).
Process Start(const std::wstring& program, const std::wstring& args = L"", const Env& env = {});

// Ends every process whose image name is `exe` (e.g. a limiter and its helper
// that restart each other), and waits until they are gone.
void KillAll(const std::wstring& exe);
std::vector<DWORD> Pids(const std::wstring& exe);

// Polls `done` every 20 ms until it is true or `timeout` passes. For waits
// whose running out may be the expected answer ("nothing appears").
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

// Where a wait was asked for: the caller's file and line, filled in by the
// compiler at the call site.
struct Caller {
    const char* file;
    int line;
};
#define E2E_HERE_ARGS const char* file_ = __builtin_FILE(), int line_ = __builtin_LINE()

// Waits that must succeed: when `timeout` passes they fail the test at the
// caller's line, naming what was awaited and for how long.
bool Await(const std::string& what, const std::function<bool()>& done, std::chrono::milliseconds timeout,
           E2E_HERE_ARGS);

// Top-level windows by class and/or title (null = any) and owning process (0 = any).
std::vector<HWND> FindWindows(const wchar_t* cls, const wchar_t* title, DWORD pid = 0);
HWND WaitForWindow(const wchar_t* cls, const wchar_t* title, DWORD pid = 0,
                   std::chrono::milliseconds timeout = std::chrono::seconds(10));

// The window must appear: a test failure at the caller's line otherwise.
HWND AwaitWindow(const wchar_t* cls, const wchar_t* title, DWORD pid = 0,
                 std::chrono::milliseconds timeout = std::chrono::seconds(10), E2E_HERE_ARGS);

std::wstring ClassName(HWND w);
std::wstring Text(HWND w);
std::wstring ControlText(HWND parent, int id);
void SetControlText(HWND parent, int id, const std::wstring& text);
// Posts the click so that a modal box it opens does not block the test.
void Click(HWND parent, int id);

struct MessageBoxInfo {
    HWND hwnd = nullptr;
    std::wstring caption;
    std::wstring text;
    std::vector<std::pair<int, std::wstring>> buttons;  // id, label
};
// Dialog-class (#32770) top-level windows of `pid` that show a message box text.
std::optional<MessageBoxInfo> FindMessageBox(DWORD pid = 0, const wchar_t* caption = nullptr);
std::optional<MessageBoxInfo> WaitForMessageBox(DWORD pid = 0, const wchar_t* caption = nullptr,
                                                std::chrono::milliseconds timeout = std::chrono::seconds(10));
// The box must appear: a test failure at the caller's line otherwise.
std::optional<MessageBoxInfo> AwaitMessageBox(DWORD pid, const wchar_t* caption,
                                              std::chrono::milliseconds timeout = std::chrono::seconds(10),
                                              E2E_HERE_ARGS);
MessageBoxInfo Describe(HWND box);
// Waits for the box of `pid` with this caption, answers it with `button` and
// returns its text ("(no box)" when none came, which also fails the test).
std::wstring AnswerMessageBox(DWORD pid, const wchar_t* caption, int button = IDOK,
                              std::chrono::milliseconds timeout = std::chrono::seconds(5), E2E_HERE_ARGS);
// Presses the button with `id` (IDOK, IDYES ...) and waits for the box to go.
bool Answer(const MessageBoxInfo& box, int id);

// Saves the whole virtual screen as a 24-bit BMP in ArtifactDir(); the test
// runner turns it into name.png for people to look at. Needs a display.
bool Screenshot(const std::wstring& name);

// Registry helpers for fixtures.
void DeleteTree(HKEY root, const wchar_t* path);

}  // namespace e2e

namespace e2e {

// One item of a list view in another process: column texts, image index and
// group id (-1 when the list has no groups).
struct ListViewItem {
    std::vector<std::wstring> texts;
    int image = -1;
    int group = -1;
};
// Reads every item of the list view `list` (the first `columns` columns)
// through memory placed in its owning process.
std::vector<ListViewItem> ListViewItems(HWND list, int columns);

}  // namespace e2e

// Shared set-up of the settings utility's end-to-end tests: empty settings,
// the real cfwEdit.exe started and found by its process, its dialogs found by
// title, and every program it or the test started ended afterwards.
#pragma once

#include <windows.h>

#include <string>

#include "limiter_fixture.h"

namespace editor_test {

using namespace std::chrono_literals;

constexpr wchar_t kTitle[] = L"Halvern Curfew 設定ユーティリティ";
constexpr DWORD kRefused = static_cast<DWORD>(-2);  // the main window was refused

// The stored option record (defaults when the values are missing).
OptionData StoredOptions();
void CreateKey(const wchar_t* path);
std::wstring UsersKey(const wchar_t* name);
std::wstring GroupsKey(const wchar_t* name);
// Subkey names of a key in the registry's enumeration order.
std::vector<std::wstring> SubkeyNames(const wchar_t* path);
std::vector<std::wstring> ListTexts(HWND list);
// A screenshot once the windows have had time to paint.
void Shot(const wchar_t* name);

class EditorTest : public limiter_test::LimiterTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts cfwEdit.exe; with `awaitMain` also waits for its main window.
    HWND StartEditor(const std::wstring& args = L"", bool awaitMain = true);
    // The main window, once shown (it exists, hidden, while being created).
    HWND AwaitMain();
    // A visible dialog-class window of the utility with this title.
    HWND AwaitDialog(const wchar_t* title, std::chrono::milliseconds timeout = 10s);
    // Posts a command to a window and waits for the dialog it opens.
    HWND OpenDialog(int command, const wchar_t* title);
    // The utility's message box with this caption; fails the test otherwise.
    e2e::MessageBoxInfo AwaitBox(const wchar_t* caption, std::chrono::milliseconds timeout = 10s);
    // Closes the utility through the close question answered with OK.
    void CloseWithOk();

    e2e::Process editor_;
    HWND main_ = nullptr;
};

}  // namespace editor_test

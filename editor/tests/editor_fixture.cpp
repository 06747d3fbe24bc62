#include "editor_fixture.h"

#include <commctrl.h>

namespace editor_test {

OptionData StoredOptions()
{
    OptionData o{};
    ReadOptionDataW(&o);
    return o;
}

void CreateKey(const wchar_t* path)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                             nullptr));
    RegCloseKey(key);
}

std::wstring UsersKey(const wchar_t* name) { return std::wstring(CFW_REG_USERS_W L"\\") + name; }
std::wstring GroupsKey(const wchar_t* name) { return std::wstring(CFW_REG_GROUPS_W L"\\") + name; }

std::vector<std::wstring> SubkeyNames(const wchar_t* path)
{
    std::vector<std::wstring> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD chars = ARRAYSIZE(name);
        if (RegEnumKeyExW(key, i, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name);
    }
    RegCloseKey(key);
    return names;
}

std::vector<std::wstring> ListTexts(HWND list)
{
    std::vector<std::wstring> texts;
    for (const auto& item : e2e::ListViewItems(list, 1))
        texts.push_back(item.texts.at(0));
    return texts;
}

void Shot(const wchar_t* name)
{
    Sleep(400);
    e2e::Screenshot(name);
}

void EditorTest::SetUp()
{
    LimiterTest::SetUp();
    WriteOptions(TIMEOUT_LOGOFF, PASSWORD_LOCK_OFF);
}

void EditorTest::TearDown()
{
    e2e::KillAll(hv::names::kEditorFile);
    LimiterTest::TearDown();
}

HWND EditorTest::StartEditor(const std::wstring& args, bool awaitMain)
{
    editor_ = e2e::Start(hv::names::kEditorFile, args);
    if (!editor_ || !awaitMain)
        return nullptr;
    return AwaitMain();
}

HWND EditorTest::AwaitMain()
{
    main_ = e2e::AwaitWindow(L"cfwEdit", nullptr, editor_.pid(), 20s);
    // The window exists while it is being created; it is shown once the
    // checks have passed and the lists are filled.
    e2e::Await("the main window to be shown", [&] { return IsWindowVisible(main_) != FALSE; }, 20s);
    Sleep(300);  // let it paint
    return main_;
}

HWND EditorTest::AwaitDialog(const wchar_t* title, std::chrono::milliseconds timeout)
{
    HWND found = nullptr;
    e2e::Await(
        "a dialog of the settings utility",
        [&] {
            for (HWND w : e2e::FindWindows(L"#32770", title, editor_.pid()))
                if (IsWindowVisible(w))
                    return (found = w) != nullptr;
            return false;
        },
        timeout);
    return found;
}

HWND EditorTest::OpenDialog(int command, const wchar_t* title)
{
    PostMessageW(main_, WM_COMMAND, static_cast<WPARAM>(command), 0);
    return AwaitDialog(title);
}

e2e::MessageBoxInfo EditorTest::AwaitBox(const wchar_t* caption, std::chrono::milliseconds timeout)
{
    auto box = e2e::AwaitMessageBox(editor_.pid(), caption, timeout);
    return box ? *box : e2e::MessageBoxInfo{};
}

void EditorTest::CloseWithOk()
{
    e2e::Click(main_, 1011);
    auto box = AwaitBox(L"終了確認");
    EXPECT_TRUE(e2e::Answer(box, IDOK));
    EXPECT_EQ(0u, editor_.Wait(10000).value_or(1234));
}

}  // namespace editor_test

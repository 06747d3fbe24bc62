// Registering users and groups through the real dialogs: typed names with
// their refusals, the bulk registration from the account list, deletion with
// its question, the reserved group, a full-length group name chosen for a
// user, and failed writes told to the administrator.
#include <windows.h>

#include <aclapi.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "editor_texts.h"
#include "resource.h"

namespace {

using namespace editor_test;

std::vector<std::wstring> ListBoxItems(HWND list)
{
    std::vector<std::wstring> items;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[64] = {};
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.emplace_back(text);
    }
    return items;
}

bool KeyExists(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

class Registration : public EditorTest {
protected:
    HWND OpenUsers() { return OpenDialog(IDC_USERS_BUTTON, L"ユーザーの追加と削除"); }
    HWND OpenGroups() { return OpenDialog(IDM_GROUPS, L"グループの追加と削除"); }

    // Opens the add dialog of a registration dialog.
    HWND OpenAdd(HWND registration, const wchar_t* title)
    {
        e2e::Click(registration, IDC_REG_ADD);
        return AwaitDialog(title);
    }

    // Types `name` into an add dialog, presses OK and answers the box that
    // comes with this caption, returning its text.
    std::wstring AddAnswered(HWND add, int edit, const std::wstring& name, const wchar_t* caption)
    {
        e2e::SetControlText(add, edit, name);
        e2e::Click(add, IDOK);
        return e2e::AnswerMessageBox(editor_.pid(), caption, IDOK, 10s);
    }

    void Select(HWND registration, const std::wstring& name)
    {
        const auto items = ListBoxItems(GetDlgItem(registration, IDC_REG_LIST));
        const auto at = std::find(items.begin(), items.end(), name);
        ASSERT_NE(items.end(), at) << "no " << testing::PrintToString(name);
        SendDlgItemMessageW(registration, IDC_REG_LIST, LB_SETCURSEL, static_cast<WPARAM>(at - items.begin()), 0);
    }

    void AwaitClosed(HWND dialog)
    {
        e2e::Await("the dialog to close", [&] { return !IsWindow(dialog); }, 10s);
    }
};

TEST_F(Registration, UsersByHandAndFromTheAccountList)
{
    ASSERT_TRUE(StartEditor());
    HWND users = OpenUsers();
    ASSERT_TRUE(users);
    Shot(L"editor_users_dialog");
    HWND list = GetDlgItem(users, IDC_REG_LIST);

    HWND add = OpenAdd(users, L"ユーザーの追加");
    ASSERT_TRUE(add);
    Shot(L"editor_add_user");
    EXPECT_EQ(20, SendDlgItemMessageW(add, IDC_ADD_NAME, EM_GETLIMITTEXT, 0, 0));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(add, IDC_ADD_ACCOUNTS)));
    EXPECT_EQ(L"ユーザー名を入力してください。", AddAnswered(add, IDC_ADD_NAME, L"", L"エラー"));
    // Names no account can have make no key, nested or not.
    for (const wchar_t* refused : {L"kids\\taro", L"a:b", L" . "})
        EXPECT_EQ(editor::RcText(IDS_USER_NAME_REFUSED), AddAnswered(add, IDC_ADD_NAME, refused, L"エラー")) << refused;
    EXPECT_FALSE(KeyExists(UsersKey(L"kids")));
    EXPECT_TRUE(IsWindow(add));
    e2e::SetControlText(add, IDC_ADD_NAME, L"taro");
    e2e::Click(add, IDOK);
    AwaitClosed(add);
    EXPECT_EQ(L"ユーザーを追加しました。", e2e::AnswerMessageBox(editor_.pid(), L"追加完了", IDOK, 10s));
    EXPECT_TRUE(KeyExists(UsersKey(L"taro")));
    EXPECT_EQ(std::vector<std::wstring>{L"taro"}, ListBoxItems(list));

    add = OpenAdd(users, L"ユーザーの追加");
    EXPECT_EQ(L"入力されたユーザー名は既に追加されています。",
              AddAnswered(add, IDC_ADD_NAME, L"taro", L"ユーザーの追加と削除"));
    EXPECT_TRUE(IsWindow(add));

    // The account list: this account, not registered yet, checked.
    e2e::Click(add, IDC_ADD_BULK);
    HWND accounts = GetDlgItem(add, IDC_ADD_ACCOUNTS);
    e2e::Await("the account list to be enabled", [&] { return IsWindowEnabled(accounts) != FALSE; }, 5s);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(add, IDC_ADD_NAME)));
    auto rows = e2e::ListViewItems(accounts, 3);
    const std::wstring me = limiter_test::UserName();
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(me, rows[0].texts[0]);
    EXPECT_EQ(L"いいえ", rows[0].texts[1]);
    EXPECT_EQ(INDEXTOSTATEIMAGEMASK(2), SendMessageW(accounts, LVM_GETITEMSTATE, 0, LVIS_STATEIMAGEMASK));
    Shot(L"editor_add_user_bulk");
    e2e::Click(add, IDOK);
    EXPECT_EQ(L"選択したユーザーを一括登録しますか？", e2e::AnswerMessageBox(editor_.pid(), L"一括登録確認", IDNO));
    EXPECT_FALSE(KeyExists(UsersKey(me.c_str())));
    e2e::Click(add, IDOK);
    e2e::AnswerMessageBox(editor_.pid(), L"一括登録確認", IDYES);
    AwaitClosed(add);
    EXPECT_EQ(L"ユーザーを追加しました。", e2e::AnswerMessageBox(editor_.pid(), L"追加完了", IDOK, 10s));
    EXPECT_TRUE(KeyExists(UsersKey(me.c_str())));

    // Now marked as registered and left unchecked.
    add = OpenAdd(users, L"ユーザーの追加");
    rows = e2e::ListViewItems(GetDlgItem(add, IDC_ADD_ACCOUNTS), 3);
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(L"はい", rows[0].texts[1]);
    EXPECT_EQ(INDEXTOSTATEIMAGEMASK(1),
              SendDlgItemMessageW(add, IDC_ADD_ACCOUNTS, LVM_GETITEMSTATE, 0, LVIS_STATEIMAGEMASK));
    e2e::Click(add, IDCANCEL);
    AwaitClosed(add);

    // Change and delete want a selection.
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    e2e::Click(users, IDC_REG_CHANGE);
    EXPECT_EQ(L"設定変更するユーザーを選択してください。", e2e::AnswerMessageBox(editor_.pid(), L"設定変更エラー"));
    e2e::Click(users, IDC_REG_DELETE);
    EXPECT_EQ(L"削除するユーザーを選択してください。", e2e::AnswerMessageBox(editor_.pid(), L"削除エラー"));

    Select(users, L"taro");
    e2e::Click(users, IDC_REG_DELETE);
    auto box = AwaitBox(L"削除確認");
    EXPECT_EQ(L"ユーザー taro を削除してもよろしいですか？\n(一度削除すると元に戻すことはできません。)", box.text);
    Shot(L"editor_delete_question");
    EXPECT_TRUE(e2e::Answer(box, IDNO));
    EXPECT_TRUE(KeyExists(UsersKey(L"taro")));
    e2e::Click(users, IDC_REG_DELETE);
    e2e::AnswerMessageBox(editor_.pid(), L"削除確認", IDYES);
    EXPECT_EQ(L"taro の削除が完了しました。", e2e::AnswerMessageBox(editor_.pid(), L"削除完了", IDOK, 10s));
    EXPECT_FALSE(KeyExists(UsersKey(L"taro")));
    EXPECT_EQ(std::vector<std::wstring>{me}, ListBoxItems(list));

    // Esc closes it like "閉じる", and the main window's list follows.
    PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
    AwaitClosed(users);
    EXPECT_EQ(std::vector<std::wstring>{me}, ListTexts(GetDlgItem(main_, IDC_USERS_LIST)));
}

TEST_F(Registration, GroupsReservedNameAndAFullLengthNameChosenForAUser)
{
    CreateKey(GroupsKey(L"SimpleModeUsers").c_str());
    CreateKey(UsersKey(L"hanako").c_str());
    ASSERT_TRUE(StartEditor());
    HWND groups = OpenGroups();
    ASSERT_TRUE(groups);
    Shot(L"editor_groups_dialog");

    Select(groups, L"SimpleModeUsers");
    e2e::Click(groups, IDC_REG_DELETE);
    EXPECT_EQ(editor::RcText(IDS_RESERVED_GROUP).replace(editor::RcText(IDS_RESERVED_GROUP).find(L"%s"), 2,
                                                          L"SimpleModeUsers"),
              e2e::AnswerMessageBox(editor_.pid(), L"グループの追加と削除"));
    EXPECT_TRUE(KeyExists(GroupsKey(L"SimpleModeUsers")));
    PostMessageW(groups, WM_COMMAND, IDOK, 0);
    AwaitClosed(groups);

    // Registry names ignore case, so the same name in other letters is a
    // key of its own only instead of the reserved one: an ordinary group.
    e2e::DeleteTree(HKEY_LOCAL_MACHINE, GroupsKey(L"SimpleModeUsers").c_str());
    CreateKey(GroupsKey(L"simplemodeusers").c_str());
    groups = OpenGroups();
    ASSERT_TRUE(groups);
    Select(groups, L"simplemodeusers");
    e2e::Click(groups, IDC_REG_DELETE);
    e2e::AnswerMessageBox(editor_.pid(), L"削除確認", IDYES);
    EXPECT_EQ(L"simplemodeusers の削除が完了しました。", e2e::AnswerMessageBox(editor_.pid(), L"削除完了", IDOK, 10s));
    EXPECT_FALSE(KeyExists(GroupsKey(L"simplemodeusers")));
    CreateKey(GroupsKey(L"SimpleModeUsers").c_str());

    HWND add = OpenAdd(groups, L"グループの追加");
    ASSERT_TRUE(add);
    Shot(L"editor_add_group");
    EXPECT_EQ(L"グループ名を入力してください。", AddAnswered(add, IDC_ADD_GROUP_NAME, L"", L"エラー"));
    EXPECT_EQ(editor::RcText(IDS_GROUP_NAME_REFUSED), AddAnswered(add, IDC_ADD_GROUP_NAME, L"kids/big", L"エラー"));
    EXPECT_FALSE(KeyExists(GroupsKey(L"kids")));
    EXPECT_EQ(L"入力されたグループ名は既に存在します。",
              AddAnswered(add, IDC_ADD_GROUP_NAME, L"SimpleModeUsers", L"グループの追加と削除"));
    // Typed: the 32nd character does not go in.
    e2e::SetControlText(add, IDC_ADD_GROUP_NAME, L"");
    const std::wstring typed = L"abcdefghijklmnopqrstuvwxyz0123456";
    for (wchar_t c : typed)
        PostMessageW(GetDlgItem(add, IDC_ADD_GROUP_NAME), WM_CHAR, c, 0);
    const std::wstring name31 = typed.substr(0, 31);
    e2e::Await("the typed name", [&] { return e2e::ControlText(add, IDC_ADD_GROUP_NAME) == name31; }, 5s);
    e2e::Click(add, IDOK);
    AwaitClosed(add);
    EXPECT_EQ(L"グループを追加しました。", e2e::AnswerMessageBox(editor_.pid(), L"追加完了", IDOK, 10s));
    EXPECT_TRUE(KeyExists(GroupsKey(name31.c_str())));
    const auto listed = ListBoxItems(GetDlgItem(groups, IDC_REG_LIST));
    EXPECT_NE(listed.end(), std::find(listed.begin(), listed.end(), name31));

    // A new group reads as the every-day mode, not as "no limit".
    Select(groups, name31);
    e2e::Click(groups, IDC_REG_CHANGE);
    HWND limits = AwaitDialog((L"グループ '" + name31 + L"' の制限設定").c_str());
    ASSERT_TRUE(limits);
    Shot(L"editor_group_limits");
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(limits, IDC_MODE_DAILY));
    EXPECT_FALSE(GetDlgItem(limits, IDC_MODE_NONE));
    e2e::Click(limits, IDC_MODE_DAY_OF_WEEK);
    e2e::Click(limits, IDOK);
    AwaitClosed(limits);
    GroupData group{};
    EXPECT_EQ(11, ReadGroupDataW(name31.c_str(), &group));
    EXPECT_EQ(static_cast<uint32_t>(GROUP_DAY_OF_WEEK), group.LimitMode);
    PostMessageW(groups, WM_COMMAND, IDOK, 0);
    AwaitClosed(groups);
    e2e::Await("the main window's groups", [&] { return ListTexts(GetDlgItem(main_, IDC_GROUPS_LIST)).size() == 2; },
               5s);

    // The user dialog's group selection lists it and takes it.
    HWND users = OpenUsers();
    Select(users, L"hanako");
    e2e::Click(users, IDC_REG_CHANGE);
    limits = AwaitDialog(L"ユーザー 'hanako' の制限設定");
    ASSERT_TRUE(limits);
    e2e::Click(limits, IDC_CHOOSE_GROUP);
    HWND select = AwaitDialog(L"グループの選択");
    ASSERT_TRUE(select);
    Shot(L"editor_group_select");
    e2e::Click(select, IDOK);
    EXPECT_EQ(L"グループ名を選択してください。", e2e::AnswerMessageBox(editor_.pid(), L"グループ選択"));
    const auto choices = ListBoxItems(GetDlgItem(select, IDC_GROUP_SELECT_LIST));
    const auto at = std::find(choices.begin(), choices.end(), name31);
    ASSERT_NE(choices.end(), at);
    SendDlgItemMessageW(select, IDC_GROUP_SELECT_LIST, LB_SETCURSEL, static_cast<WPARAM>(at - choices.begin()), 0);
    e2e::Click(select, IDOK);
    AwaitClosed(select);
    EXPECT_EQ(name31, e2e::ControlText(limits, IDC_USER_GROUP));
    e2e::Click(limits, IDC_MODE_GROUP);
    e2e::Click(limits, IDOK);
    AwaitClosed(limits);
    UserData user{};
    ReadUserDataW(L"hanako", &user);
    EXPECT_EQ(static_cast<uint32_t>(LIMIT_GROUP), user.LimitMode);
    EXPECT_EQ(name31, std::wstring(user.Group));
}

// A key nobody may write values into or create keys under.
void DenyWrites(const std::wstring& path)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, READ_CONTROL | WRITE_DAC, &key));
    EXPLICIT_ACCESSW entries[2] = {};
    wchar_t everyone[] = L"Everyone";
    entries[0].grfAccessPermissions = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
    entries[0].grfAccessMode = DENY_ACCESS;
    entries[0].Trustee.TrusteeForm = TRUSTEE_IS_NAME;
    entries[0].Trustee.ptstrName = everyone;
    entries[1] = entries[0];
    entries[1].grfAccessPermissions = KEY_READ | DELETE | READ_CONTROL | WRITE_DAC;
    entries[1].grfAccessMode = SET_ACCESS;
    PACL acl = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, SetEntriesInAclW(2, entries, nullptr, &acl));
    ASSERT_EQ(ERROR_SUCCESS, SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION |
                                                 PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr, acl, nullptr));
    LocalFree(acl);
    RegCloseKey(key);
}

TEST_F(Registration, FailedWritesAreToldAndKeepTheDialog)
{
    CreateKey(UsersKey(L"saburo").c_str());
    DenyWrites(UsersKey(L"saburo"));
    ASSERT_TRUE(StartEditor());
    HWND users = OpenUsers();
    ASSERT_TRUE(users);

    // The record cannot be written: said so, and the dialog stays.
    Select(users, L"saburo");
    e2e::Click(users, IDC_REG_CHANGE);
    HWND limits = AwaitDialog(L"ユーザー 'saburo' の制限設定");
    ASSERT_TRUE(limits);
    e2e::Click(limits, IDC_MODE_DAILY);
    e2e::Click(limits, IDOK);
    auto box = AwaitBox(L"保存エラー");
    EXPECT_EQ(0u, box.text.find(L"saburo の設定をレジストリに書き込めませんでした。")) << box.text;
    Shot(L"editor_save_failed");
    EXPECT_TRUE(e2e::Answer(box, IDOK));
    EXPECT_TRUE(IsWindow(limits));
    e2e::Click(limits, IDCANCEL);
    AwaitClosed(limits);

    // Users opens but takes no lasting key (a volatile key has only
    // volatile children): the typed name fails, the checked accounts are
    // named.
    e2e::DeleteTree(HKEY_LOCAL_MACHINE, CFW_REG_USERS_W);
    HKEY volatileKey = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, CFW_REG_USERS_W, 0, nullptr, REG_OPTION_VOLATILE,
                                             KEY_ALL_ACCESS, nullptr, &volatileKey, nullptr));
    RegCloseKey(volatileKey);
    HWND add = OpenAdd(users, L"ユーザーの追加");
    ASSERT_TRUE(add);
    EXPECT_EQ(L"ユーザーの追加中にエラーが発生しました。", AddAnswered(add, IDC_ADD_NAME, L"shiro", L"ユーザー追加エラー"));
    e2e::Click(add, IDC_ADD_BULK);
    e2e::Await("the account list to be enabled",
               [&] { return IsWindowEnabled(GetDlgItem(add, IDC_ADD_ACCOUNTS)) != FALSE; }, 5s);
    e2e::Click(add, IDOK);
    e2e::AnswerMessageBox(editor_.pid(), L"一括登録確認", IDYES);
    box = AwaitBox(L"ユーザー追加エラー");
    EXPECT_EQ(editor::RcText(IDS_BULK_FAILED) + limiter_test::UserName(), box.text);
    Shot(L"editor_bulk_failed");
    EXPECT_TRUE(e2e::Answer(box, IDOK));
    // Nobody was registered: no "added", the dialog stays for another try.
    Sleep(500);
    EXPECT_TRUE(IsWindow(add));
    EXPECT_FALSE(e2e::FindMessageBox(editor_.pid(), L"追加完了"));
    EXPECT_FALSE(KeyExists(UsersKey(limiter_test::UserName().c_str())));
    e2e::Click(add, IDCANCEL);
    AwaitClosed(add);
}

}  // namespace

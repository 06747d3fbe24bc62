// The user and group lists follow their registry keys: the key is enumerated
// once, the list read once, and only the differences are applied. Also the
// creation and deletion of the keys that register a user or a group.
#include "editor.h"

#include <commctrl.h>

#include <vector>

#include "editor_logic.h"
#include "resource.h"
#include "schedule_logic.h"

namespace {

constexpr DWORD kNameChars = 32;  // terminator included, as the records' names

// The subkey names in enumeration order; false when the key cannot be read.
// A name too long for a record is passed over, not taken as the end.
bool ReadSubkeyNames(const wchar_t* keyPath, std::vector<std::wstring>& names)
{
    hv::RegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return false;
    for (DWORD index = 0;; ++index) {
        wchar_t name[kNameChars];
        DWORD chars = kNameChars;
        const LSTATUS status = RegEnumKeyExW(key.get(), index, name, &chars, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA)
            continue;
        if (status != ERROR_SUCCESS)
            break;
        names.emplace_back(name, chars);
    }
    return true;
}

std::vector<std::wstring> ListViewTexts(HWND list)
{
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    std::vector<std::wstring> texts;
    texts.reserve(static_cast<size_t>(count > 0 ? count : 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[kNameChars] = {};
        LVITEMW item{};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = kNameChars;
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        texts.emplace_back(text);
    }
    return texts;
}

}  // namespace

std::wstring ListBoxText(HWND list, int index)
{
    const LRESULT chars = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (chars == LB_ERR)
        return {};
    std::wstring text(static_cast<size_t>(chars) + 1, L'\0');
    const LRESULT got = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
    return text;
}

std::vector<std::wstring> ListBoxNames(HWND list)
{
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    std::vector<std::wstring> texts;
    for (int i = 0; i < count; ++i)
        texts.push_back(ListBoxText(list, i));
    return texts;
}

void RefreshListBox(HWND list, const wchar_t* keyPath)
{
    std::vector<std::wstring> names;
    if (!ReadSubkeyNames(keyPath, names))
        return;
    for (const editor::ListChange& c : editor::PlanListRefresh(ListBoxNames(list), names)) {
        if (c.kind == editor::ListChange::Insert)
            SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(c.position), reinterpret_cast<LPARAM>(c.text.c_str()));
        else
            SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(c.position), 0);
    }
}

KeyCreation CreateRegisteredKey(const wchar_t* keyPath, const std::wstring& name)
{
    hv::RegKey parent;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        parent.put(), nullptr) != ERROR_SUCCESS)
        return KeyCreation::ParentFailed;
    return CreateRegisteredKey(parent.get(), name);
}

KeyCreation CreateRegisteredKey(HKEY parent, const std::wstring& name)
{
    hv::RegKey key;
    DWORD disposition = 0;
    if (RegCreateKeyExW(parent, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key.put(),
                        &disposition) != ERROR_SUCCESS)
        return KeyCreation::Failed;
    return disposition == REG_OPENED_EXISTING_KEY ? KeyCreation::Existed : KeyCreation::Created;
}

bool DeleteRegisteredKey(const wchar_t* keyPath, const std::wstring& name)
{
    hv::RegKey parent;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_ALL_ACCESS, parent.put()) == ERROR_SUCCESS &&
           RegDeleteKeyW(parent.get(), name.c_str()) == ERROR_SUCCESS;
}

void RefreshListView(HWND list, const wchar_t* keyPath)
{
    std::vector<std::wstring> names;
    if (!ReadSubkeyNames(keyPath, names))
        return;  // the list stays as it is
    const std::vector<editor::ListChange> changes = editor::PlanListRefresh(ListViewTexts(list), names);
    if (changes.empty())
        return;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (const editor::ListChange& c : changes) {
        if (c.kind == editor::ListChange::Insert) {
            LVITEMW item{};
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = static_cast<int>(c.position);
            item.pszText = const_cast<wchar_t*>(c.text.c_str());
            item.iImage = 0;
            SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        } else {
            SendMessageW(list, LVM_DELETEITEM, static_cast<WPARAM>(c.position), 0);
        }
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

bool RegisterTypedName(HWND dialog, const wchar_t* keyPath, const std::wstring& name, const TypedNameTexts& texts)
{
    if (name.empty()) {
        CaptionedBox(dialog, texts.empty, IDS_ERROR_CAPTION, MB_ICONEXCLAMATION);
        return false;
    }
    // A backslash would make nested keys; other characters no account or group may hold.
    if (editor::NameRefused(name)) {
        CaptionedBox(dialog, texts.refused, IDS_ERROR_CAPTION, MB_ICONEXCLAMATION);
        return false;
    }
    switch (CreateRegisteredKey(keyPath, name)) {
    case KeyCreation::ParentFailed:
        CaptionedBox(dialog, texts.parentFailed, texts.addCaption, MB_ICONEXCLAMATION);
        return false;
    case KeyCreation::Failed:
        CaptionedBox(dialog, texts.addFailed, texts.addCaption, MB_ICONEXCLAMATION);
        return false;
    case KeyCreation::Existed:
        CaptionedBox(dialog, texts.exists, texts.listCaption, MB_ICONINFORMATION);
        return false;
    case KeyCreation::Created:
        break;
    }
    return true;
}

// The HTML Help loader takes the module registered for the HTML Help class,
// an expandable registration included, before the system folder's one. A
// program of its own: the loaded module is kept for the life of the process.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "limiter.h"

namespace {

const wchar_t kServerKey[] = L"SOFTWARE\\Classes\\CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

TEST(HtmlHelpLoader, UsesTheRegisteredServerWithItsVariablesExpanded)
{
    const std::wstring standin = std::wstring(ProgramFolder()) + L"htmlhelp_standin.dll";
    ASSERT_NE(GetFileAttributesW(standin.c_str()), INVALID_FILE_ATTRIBUTES);
    std::wstring folder = ProgramFolder();
    folder.pop_back();
    ASSERT_TRUE(SetEnvironmentVariableW(L"HV_HTMLHELP_DIR", folder.c_str()));

    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, kServerKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                             &key, nullptr));
    const wchar_t value[] = L"%HV_HTMLHELP_DIR%\\htmlhelp_standin.dll";
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExW(key, nullptr, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(value), sizeof value));
    RegCloseKey(key);

    EXPECT_EQ(CallHtmlHelp(nullptr, L"none.chm", 0, 0), 0x5151) << "the stand-in answered";
    EXPECT_TRUE(GetModuleHandleW(standin.c_str()));
}

}  // namespace

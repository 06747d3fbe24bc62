// The setup program under Wine, silently, in the test's own fresh prefix:
// what a first installation leaves behind, that the limiter starts from the
// logon entry and its and the settings utility's Help commands find the help
// file, an upgrade over a running limiter, and a silent uninstall that keeps
// the settings. The tests run in order and build on each other.
#include <windows.h>
#include <shlobj.h>
#include <commctrl.h>

#include <stdio.h>

#include <gtest/gtest.h>

#include <string>

#include "e2e.h"
#include "names.h"

using namespace std::chrono_literals;
namespace names = hv::names;

namespace {

constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\HalvernCurfew";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValue[] = L"Halvern Curfew";
constexpr wchar_t kSettingsKey[] = L"Software\\Halvern Software\\Halvern Curfew\\2.0";
constexpr wchar_t kKidKey[] = L"Software\\Halvern Software\\Halvern Curfew\\2.0\\Users\\kid";
constexpr wchar_t kHelpMissing[] = L"ヘルプ ファイル hvCurfew.chm がみつかりませんでした。";
constexpr wchar_t kHelpViewerClass[] = L"HH Parent";
constexpr UINT kEditorHelpCommand = 40009;

std::wstring KnownFolder(REFKNOWNFOLDERID id)
{
    wchar_t* path = nullptr;
    std::wstring result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)))
        result = path;
    CoTaskMemFree(path);
    return result;
}

std::wstring InstallDir() { return KnownFolder(FOLDERID_ProgramFiles) + L"\\Halvern Software\\Halvern Curfew"; }
std::wstring StartMenuDir() { return KnownFolder(FOLDERID_CommonPrograms) + L"\\Halvern Curfew"; }
std::wstring SetupProgram() { return e2e::BinDir() + L"\\..\\installer\\" HV_SETUP_NAME; }

std::string Narrow(const std::wstring& text)
{
    char buffer[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, buffer, sizeof buffer, nullptr, nullptr);
    return buffer;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring RegText(HKEY root, const wchar_t* key, const wchar_t* value)
{
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer;
    if (RegGetValueW(root, key, value, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return L"(none)";
    return buffer;
}

bool RegHas(HKEY root, const wchar_t* key, const wchar_t* value = nullptr)
{
    return RegGetValueW(root, key, value, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

e2e::Process StartLine(const std::wstring& commandLine)
{
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return {};
    CloseHandle(pi.hThread);
    return e2e::Process(pi.hProcess, pi.dwProcessId);
}

// Runs a command line to its end; its exit code (or ~0u when it did not end).
DWORD RunToEnd(const std::wstring& commandLine)
{
    e2e::Process p = StartLine(commandLine);
    return p ? p.Wait(240000).value_or(~0u) : ~0u;
}

DWORD WindowPid(HWND w)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return pid;
}

HWND Only(const wchar_t* cls)
{
    auto found = e2e::FindWindows(cls, nullptr);
    return found.empty() ? nullptr : found.front();
}

struct ServiceInfo {
    bool registered = false;
    std::wstring binary, display;
    DWORD type = 0, start = 0, state = 0;
};

ServiceInfo QueryService()
{
    ServiceInfo info;
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (!manager)
        return info;
    SC_HANDLE service = OpenServiceW(manager, names::kServiceName, SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS);
    if (service) {
        info.registered = true;
        alignas(8) BYTE buffer[8192];
        auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer);
        DWORD needed = 0;
        if (QueryServiceConfigW(service, config, sizeof buffer, &needed)) {
            info.binary = config->lpBinaryPathName ? config->lpBinaryPathName : L"";
            info.display = config->lpDisplayName ? config->lpDisplayName : L"";
            info.type = config->dwServiceType;
            info.start = config->dwStartType;
        }
        SERVICE_STATUS status{};
        if (QueryServiceStatus(service, &status))
            info.state = status.dwCurrentState;
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
    return info;
}

const wchar_t* const kInstalledFiles[] = {
    names::kLimiterFile, names::kHelperFile, names::kEditorFile, names::kBackupFile, names::kServiceFile,
    names::kNotifierFile, L"cfwCommon.dll", L"hvCommon.dll", L"cfwHook.dll", names::kHelpFile, L"Uninstall.exe",
};
const wchar_t* const kLinks[] = {
    L"Halvern Curfew 設定ユーティリティ.lnk",
    L"Halvern Curfew バックアップ ツール.lnk",
    L"Halvern Curfew ヘルプ.lnk",
};

constexpr LRESULT kContentsEntries = 11;  // help/toc.hhc

LRESULT ContentsEntries(HWND viewer)
{
    LRESULT count = 0;
    EnumChildWindows(viewer, [](HWND child, LPARAM out) {
        if (e2e::ClassName(child) == L"SysTreeView32")
            *reinterpret_cast<LRESULT*>(out) += SendMessageW(child, TVM_GETCOUNT, 0, 0);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&count));
    return count;
}

// A help command must open the viewer and never say the file is missing.
void ExpectHelpShown(DWORD pid, const char* who)
{
    SCOPED_TRACE(who);
    HWND viewer = nullptr;
    e2e::Await("the help viewer", [&] {
        for (HWND w : e2e::FindWindows(kHelpViewerClass, nullptr, pid))
            viewer = w;
        auto box = e2e::FindMessageBox(pid);
        return viewer || (box && box->text == kHelpMissing);
    }, 30s);
    auto box = e2e::FindMessageBox(pid);
    EXPECT_FALSE(box && box->text == kHelpMissing) << "the program did not find the help file";
    EXPECT_NE(viewer, nullptr);
    if (viewer) {
        // The viewer's contents tree holds this file's table of contents.
        e2e::Await("the table of contents in the viewer", [&] { return ContentsEntries(viewer) >= kContentsEntries; },
                   30s);
        // Filled is not yet painted.
        RedrawWindow(viewer, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Sleep(1000);
        e2e::Screenshot(L"help_viewer_" + std::wstring(who, who + strlen(who)));
        PostMessageW(viewer, WM_CLOSE, 0, 0);
    }
}

FILETIME Written(const std::wstring& path)
{
    FILETIME t{};
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        t = data.ftLastWriteTime;
    return t;
}

}  // namespace

TEST(Installer, SilentFirstInstallRegistersEverything)
{
    ASSERT_TRUE(Exists(SetupProgram())) << "no setup program at " << Narrow(SetupProgram());
    const ULONGLONG started = GetTickCount64();
    ASSERT_EQ(RunToEnd(L"\"" + SetupProgram() + L"\" /S"), 0u);
    printf("silent first install: %.1f s\n", static_cast<double>(GetTickCount64() - started) / 1000.0);

    const std::wstring dir = InstallDir();
    for (const wchar_t* f : kInstalledFiles)
        EXPECT_TRUE(Exists(dir + L"\\" + f)) << "missing " << Narrow(f);
    for (const wchar_t* link : kLinks)
        EXPECT_TRUE(Exists(StartMenuDir() + L"\\" + link));

    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kRunKey, kRunValue), L"\"" + dir + L"\\hvCurfew.exe\"");

    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName"), L"Halvern Curfew");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, L"Publisher"), L"Halvern Software");
    EXPECT_NE(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion"), L"(none)");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayIcon"), dir + L"\\hvCurfew.exe,0");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, L"UninstallString"), L"\"" + dir + L"\\Uninstall.exe\"");
    DWORD size = 0, bytes = sizeof size;
    EXPECT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, L"EstimatedSize", RRF_RT_REG_DWORD, nullptr, &size,
                           &bytes), ERROR_SUCCESS);
    EXPECT_GT(size, 100u) << "EstimatedSize in KB";

    // The service program's own "/Install" registration, started.
    ServiceInfo service;
    e2e::Await("the service running", [&] {
        service = QueryService();
        return service.state == SERVICE_RUNNING;
    }, 60s);
    EXPECT_EQ(service.binary, L"\"" + dir + L"\\cfwNotifySvc.exe\" /Service");
    EXPECT_EQ(service.display, L"Halvern Curfew Notification Service");
    EXPECT_EQ(service.type, static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS));
    EXPECT_EQ(service.start, static_cast<DWORD>(SERVICE_AUTO_START));

    EXPECT_EQ(Only(names::kTrayClass), nullptr) << "a first installation starts no limiter by itself";
}

TEST(Installer, LimiterStartsFromTheLogonEntryAndFindsTheHelp)
{
    const std::wstring run = RegText(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
    e2e::Process limiter = StartLine(run);
    ASSERT_TRUE(limiter);
    e2e::AwaitWindow(names::kTrayClass, nullptr, limiter.pid(), 60s);
    e2e::AwaitWindow(names::kHelperClass, nullptr, 0, 60s);

    const std::wstring dir = InstallDir();
    EXPECT_EQ(RunToEnd(L"\"" + dir + L"\\hvCurfew.exe\" /Help"), 0u);
    ExpectHelpShown(limiter.pid(), "limiter");

    e2e::Process editor = e2e::Start(dir + L"\\cfwEdit.exe");
    ASSERT_TRUE(editor);
    HWND main = e2e::AwaitWindow(L"cfwEdit", nullptr, editor.pid(), 60s);
    if (main) {
        PostMessageW(main, WM_COMMAND, kEditorHelpCommand, 0);
        ExpectHelpShown(editor.pid(), "editor");
    }
    editor.Kill();
    // The limiter stays running for the upgrade.
}

TEST(Installer, UpgradeEndsTheRunningLimiterReplacesFilesKeepsSettings)
{
    HWND tray = e2e::WaitForWindow(names::kTrayClass, nullptr, 0, 30s);
    HWND helper = e2e::WaitForWindow(names::kHelperClass, nullptr, 0, 30s);
    ASSERT_NE(tray, nullptr) << "the limiter of the previous test is gone";
    ASSERT_NE(helper, nullptr);
    const DWORD oldLimiter = WindowPid(tray), oldHelper = WindowPid(helper);

    // Settings of the earlier installation, and an old file to replace.
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKidKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD mode = 1;
    RegSetValueExW(key, L"LimitMode", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&mode), sizeof mode);
    RegCloseKey(key);
    const std::wstring limiterFile = InstallDir() + L"\\hvCurfew.exe";
    const FILETIME built = Written(limiterFile);
    HANDLE f = CreateFileW(limiterFile.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    SYSTEMTIME oldTime{2001, 1, 0, 1, 0, 0, 0, 0};
    FILETIME old{};
    SystemTimeToFileTime(&oldTime, &old);
    SetFileTime(f, nullptr, nullptr, &old);
    CloseHandle(f);
    e2e::DeleteTree(HKEY_CURRENT_USER, kSettingsKey);

    ASSERT_EQ(RunToEnd(L"\"" + SetupProgram() + L"\" /S"), 0u);

    const FILETIME now = Written(limiterFile);
    EXPECT_EQ(CompareFileTime(&now, &built), 0) << "the running limiter's file was not replaced";
    EXPECT_TRUE(RegHas(HKEY_LOCAL_MACHINE, kKidKey, L"LimitMode")) << "the settings were lost";
    // Ended by its own orderly exit: the running state was stored.
    EXPECT_TRUE(RegHas(HKEY_CURRENT_USER, kSettingsKey, L"LastLoginDate"));
    EXPECT_TRUE(e2e::WaitUntil([&] {
        HANDLE p = OpenProcess(SYNCHRONIZE, FALSE, oldLimiter);
        HANDLE q = OpenProcess(SYNCHRONIZE, FALSE, oldHelper);
        bool gone = (!p || WaitForSingleObject(p, 0) == WAIT_OBJECT_0) && (!q || WaitForSingleObject(q, 0) == WAIT_OBJECT_0);
        if (p) CloseHandle(p);
        if (q) CloseHandle(q);
        return gone;
    }, 30s)) << "the old limiter or helper still runs";
    // The session's limiter comes back from the new files, and the service runs again.
    HWND again = e2e::AwaitWindow(names::kTrayClass, nullptr, 0, 60s);
    EXPECT_NE(WindowPid(again), oldLimiter);
    e2e::Await("the service running again", [] { return QueryService().state == SERVICE_RUNNING; }, 60s);
}

TEST(Installer, SilentUninstallRemovesEverythingButTheSettings)
{
    const std::wstring dir = InstallDir();
    ASSERT_TRUE(Exists(dir + L"\\Uninstall.exe"));
    // The uninstaller runs on from a copy of itself in the temporary folder.
    const ULONGLONG started = GetTickCount64();
    RunToEnd(L"\"" + dir + L"\\Uninstall.exe\" /S");
    e2e::Await("the uninstall key and the folder gone", [&] {
        return !RegHas(HKEY_LOCAL_MACHINE, kUninstallKey) && !Exists(dir);
    }, 180s);
    printf("silent uninstall, to the folder gone: %.1f s\n", static_cast<double>(GetTickCount64() - started) / 1000.0);

    for (const wchar_t* f : kInstalledFiles)
        EXPECT_FALSE(Exists(dir + L"\\" + f));
    EXPECT_FALSE(Exists(StartMenuDir()));
    EXPECT_FALSE(RegHas(HKEY_LOCAL_MACHINE, kRunKey, kRunValue));
    e2e::Await("the service removed", [] { return !QueryService().registered; }, 60s);
    e2e::Await("no limiter and no helper", [] { return !Only(names::kTrayClass) && !Only(names::kHelperClass); },
               60s);
    EXPECT_TRUE(RegHas(HKEY_LOCAL_MACHINE, kKidKey, L"LimitMode")) << "the settings must stay";
}

// Entry point of cfwNotifySvc.exe: the service itself ("/Service") and the
// administrator's tool that registers, removes and sets it up ("/Install",
// "/Uninstall", "/Setup").
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "cfwCommon.h"
#include "resource.h"
#include "service.h"

ServiceProgram g_program;

void RetakeLock()
{
    while (!g_program.mutex) {
        g_program.mutex.reset(CreateMutexW(nullptr, FALSE, hv::names::kServiceMutex));
        if (!g_program.mutex)
            Sleep(10);
    }
}

namespace {

struct Arguments {
    bool present = false;
    std::wstring first;
};

Arguments ReadArguments()
{
    Arguments args;
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv && argc > 1) {
        args.present = true;
        args.first = argv[1];
    }
    LocalFree(argv);
    return args;
}

int Box(unsigned text, unsigned caption, UINT style)
{
    return MessageBoxW(nullptr, hv::LoadText(text).c_str(), hv::LoadText(caption).c_str(), style);
}

// False when an existing lock says another copy runs in this session.
bool TakeLock()
{
    g_program.mutex.reset(CreateMutexW(nullptr, FALSE, hv::names::kServiceMutex));
    return !(g_program.mutex && GetLastError() == ERROR_ALREADY_EXISTS);
}

// Administrators member with an elevated token; otherwise the refusal or
// the offer to restart elevated has been shown.
bool Admitted()
{
    if (!hv::CountsAsAdministrator(hv::IsAdministratorsMember(nullptr), hv::LookupFailure::CountsAsNonMember)) {
        Box(IDS_NOT_ADMIN, IDS_ERROR_CAPTION, MB_OK | MB_ICONSTOP);
        return false;
    }
    if (!IsUserAnAdmin()) {
        ShowElevationDialog();
        return false;
    }
    return true;
}

bool PasswordPassed()
{
    return g_program.lockHash == PASSWORD_LOCK_OFF ||
           hv::RunPasswordPrompt(g_program.instance, IDD_PASSWORD, nullptr, g_program.lockHash) != IDCANCEL;
}

int PlainBox(const wchar_t* text, const wchar_t* caption, UINT style)
{
    return MessageBoxW(nullptr, text, caption, style);
}

void Install()
{
    if (RunChange(ChangeKind::Enable, PlainBox) != Change::Done)
        return;
    if (Box(IDS_START_NOW, IDS_START_NOW_CAPTION, MB_YESNO | MB_ICONQUESTION) == IDYES && !scm::Start())
        Box(IDS_START_FAILED, IDS_START_FAILED_CAPTION, MB_OK | MB_ICONSTOP);
}

int Run(const Arguments& args)
{
    const svc::CommandChoice choice = svc::ParseCommand(args.present, args.first);
    if (choice.command == svc::Command::None)
        return 0;
    if (choice.takesLock && !TakeLock())
        return 0;
    if (choice.needsAdmin && !Admitted())
        return 0;
    switch (choice.command) {
    case svc::Command::Service:
        return RunServiceDispatcher(hv::names::kServiceName);
    case svc::Command::Setup:
        if (!PasswordPassed())
            return 0;
        return static_cast<int>(ShowSettingsDialog());
    case svc::Command::Install:
        if (PasswordPassed())
            Install();
        return 0;
    case svc::Command::Uninstall:
        if (PasswordPassed())
            RunChange(ChangeKind::Disable, PlainBox);
        return 0;
    default:
        return -1;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    g_program.instance = instance;
    OptionData options{};
    options.PasswordLockHash = PASSWORD_LOCK_OFF;
    ReadOptionDataW(&options);
    g_program.lockHash = options.PasswordLockHash;
    const Arguments args = ReadArguments();
    g_program.firstArgument = args.first;
    const int code = hv::GuardedOr([&] { return Run(args); }, [] { return -1; });
    g_program.mutex.reset();
    return code;
}

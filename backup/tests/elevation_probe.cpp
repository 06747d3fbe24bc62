// Shows the tool's offer to restart with administrator rights (dialog 504),
// which Wine never lets the tool reach (there every administrator runs
// elevated). Exit code: the dialog's result, plus 100 when the tool's mutex
// already existed at start (the previous copy had not handed it over).
#include <windows.h>

#include "backup.h"
#include "names.h"

HINSTANCE g_instance;
hv::UniqueHandle g_mutex;

bool IsAdministratorsMember() { return true; }

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    g_instance = instance;
    g_mutex.reset(CreateMutexW(nullptr, FALSE, hv::names::kBackupMutex));
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    const INT_PTR result = RunElevationDialog();
    return static_cast<int>(result) + (existed ? 100 : 0);
}

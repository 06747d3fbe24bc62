// Placeholder: Administrators test, settings utility, help file, HTML Help.
#include "limiter.h"

int IsAdministratorsMember() { return 1; }
int StartSettingsUtility(HWND) { return 0; }
int ShowHelpFile(HWND) { return 0; }
INT_PTR CallHtmlHelp(HWND, const wchar_t*, UINT, DWORD_PTR) { return 0; }
const wchar_t* ProgramFolder() { return L""; }

// A stand-in HTML Help module: ordinal 15 answers with a marker window handle
// that the real module never returns, so a test can tell which one was loaded.
#include <windows.h>

extern "C" HWND WINAPI StandinHtmlHelpW(HWND, LPCWSTR, UINT, DWORD_PTR)
{
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(0x5151));
}

// Waits until it is killed.
#include <windows.h>

int wmain()
{
    Sleep(INFINITE);
    return 0;
}

// Placeholder: the monitor window.
#include "limiter.h"

LRESULT CALLBACK MonitorWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }
void OpenMonitorWindow() {}
void CloseMonitorWindowAndWait() {}

// Placeholder: the tray window.
#include "limiter.h"

LRESULT CALLBACK TrayWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

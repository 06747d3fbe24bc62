// Placeholder: the About box.
#include "limiter.h"

INT_PTR RunAboutDialog(HWND) { return 1; }

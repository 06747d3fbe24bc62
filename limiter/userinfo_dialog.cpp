// Placeholder: the user information dialog.
#include "limiter.h"

INT_PTR RunUserInfoDialog(HWND) { return 1; }

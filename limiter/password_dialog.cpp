// Placeholder: the password prompt.
#include "limiter.h"

INT_PTR RunPasswordDialog(HWND) { return 2; }

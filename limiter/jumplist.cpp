// Placeholder: the taskbar jump list.
#include "limiter.h"

void BuildJumpList() {}
void ClearJumpList() {}

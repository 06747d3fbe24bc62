#include "monitor_logic.h"

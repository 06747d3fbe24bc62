#include "tray_logic.h"

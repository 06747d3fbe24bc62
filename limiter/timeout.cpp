// Placeholder: the time-out sequence and its countdown dialog.
#include "limiter.h"

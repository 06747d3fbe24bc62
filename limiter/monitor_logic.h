// Placeholder: pure decisions of the monitor window (mode and remaining-time texts).
#pragma once

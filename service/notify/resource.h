// Resource ids of cfwNotify.exe.
#pragma once

#define IDI_PROGRAM 100

#define IDS_CAPTION 1
#define IDS_DELIVERED 2
#define IDS_NO_LIMITER 3
#define IDS_NO_ANSWER 4

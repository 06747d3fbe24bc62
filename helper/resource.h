// Resource ids of cfwHelper.exe.
#pragma once

#define IDI_PROGRAM 100

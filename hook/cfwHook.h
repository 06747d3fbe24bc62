// The hook library: every message box and modal dialog of the interactive
// programs goes through it. This build centres boxes over their owner and
// keeps the limiter's warning box in front.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifdef CFWHOOK_BUILD
#define CFWHLAPI __declspec(dllexport)
#else
#define CFWHLAPI __declspec(dllimport)
#endif

CFWHLAPI void CFWHL_Init(HWND mainWindow);
CFWHLAPI void CFWHL_Uninit(void);
CFWHLAPI int CFWHL_MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style);
CFWHLAPI int CFWHL_MessageBoxMostW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style);
CFWHLAPI INT_PTR CFWHL_DialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC proc,
                                       LPARAM param);
CFWHLAPI HWND CFWHL_CreateDialogParamW(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC proc,
                                       LPARAM param);

#ifdef __cplusplus
}
#endif

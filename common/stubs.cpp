#include "hvCommon.h"
extern "C" {
BOOL WINAPI HVCGetFileExistA(LPCSTR) { return 0; }
BOOL WINAPI HVCGetFileExistW(LPCWSTR) { return 0; }
DWORD WINAPI HVCGetFileLengthA(LPCSTR) { return 0; }
DWORD WINAPI HVCGetFileLengthW(LPCWSTR) { return 0; }
ULONGLONG WINAPI HVCGetFileLengthExA(LPCSTR) { return 0; }
ULONGLONG WINAPI HVCGetFileLengthExW(LPCWSTR) { return 0; }
DWORD WINAPI HVCGetCRC32ChecksumA(LPCSTR, DWORD*) { return 0; }
DWORD WINAPI HVCGetCRC32ChecksumW(LPCWSTR, DWORD*) { return 0; }
ULONGLONG WINAPI HVCGetCRC32ChecksumExA(LPCSTR, DWORD*) { return 0; }
ULONGLONG WINAPI HVCGetCRC32ChecksumExW(LPCWSTR, DWORD*) { return 0; }
BOOL WINAPI HVCMakeFolderA(int, LPCSTR) { return 0; }
BOOL WINAPI HVCMakeFolderW(int, LPCWSTR) { return 0; }
BOOL WINAPI HVCRemoveFolderA(LPCSTR, int, DWORD*) { return 0; }
BOOL WINAPI HVCRemoveFolderW(LPCWSTR, int, DWORD*) { return 0; }
BOOL WINAPI HVCPointerFree(LPVOID p) { return HeapFree(GetProcessHeap(), 0, p); }
BOOL WINAPI HVCSetScreen(HWND, HWND, int, int, int, int) { return 0; }
BOOL WINAPI HVCSetCenterScreen(HWND, HWND, int, int) { return 0; }
BOOL WINAPI HVCSetScreenEx(HWND, HWND, int, int, int, int, int) { return 0; }
BOOL WINAPI HVCSetCenterDialogWindow(HWND) { return 0; }
int WINAPI HVCMessageBoxA(HWND o, LPCSTR t, LPCSTR c, UINT s) { return MessageBoxA(o, t, c, s); }
int WINAPI HVCMessageBoxW(HWND o, LPCWSTR t, LPCWSTR c, UINT s) { return MessageBoxW(o, t, c, s); }
INT_PTR WINAPI HVCDialogBoxParamA(HINSTANCE i, LPCSTR t, HWND o, DLGPROC p, LPARAM l) { return DialogBoxParamA(i, t, o, p, l); }
INT_PTR WINAPI HVCDialogBoxParamW(HINSTANCE i, LPCWSTR t, HWND o, DLGPROC p, LPARAM l) { return DialogBoxParamW(i, t, o, p, l); }
HRESULT WINAPI HVCSetVisualStyle(HWND, int) { return 0; }
BOOL WINAPI HVCGetVersionResourceStringA(LPCSTR, LPCSTR, LPCSTR, LPSTR*) { return 0; }
BOOL WINAPI HVCGetVersionResourceStringW(LPCWSTR, LPCWSTR, LPCWSTR, LPWSTR*) { return 0; }
DWORD WINAPI HVCGetLastError(void) { return 0; }
DWORD WINAPI HVCGetLastErrorExA(LPCSTR*) { return 0; }
DWORD WINAPI HVCGetLastErrorExW(LPCWSTR*) { return 0; }
BOOL WINAPI HVCCheckWOW64(void) { return 0; }
}

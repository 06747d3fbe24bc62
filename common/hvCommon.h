// General helpers of Halvern Curfew, exported by hvCommon.dll: files, folders
// and CRC-32, window placement and centred boxes, version strings, the
// library's status code and its texts, the WOW64 test.
//
// Every function leaves a status code for HVCGetLastError (one per process,
// not per thread), except HVCPointerFree, HVCGetLastError, HVCGetLastErrorExA/W,
// HVCSetCenterDialogWindow, HVCMessageBoxA/W and HVCDialogBoxParamA/W, which
// leave it as it was. A result of 0 from the length and checksum functions is
// also a valid value: the status code tells success (0) from failure.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifdef HVCOMMON_BUILD
#define HVCAPI __declspec(dllexport)
#else
#define HVCAPI __declspec(dllimport)
#endif

// Status codes.
#define HVCERR_SUCCESS 0u
#define HVCERR_INVALID_ARGUMENT 1u
#define HVCERR_NOT_FOUND 2u
#define HVCERR_FILE_TOO_LARGE 3u
#define HVCERR_NO_VERSION_RESOURCE 4u
#define HVCERR_RESOURCE_STRING 5u
#define HVCERR_CREATE_FOLDER 6u
#define HVCERR_BASE_PATH 7u
#define HVCERR_NOT_SUPPORTED 8u
#define HVCERR_OPEN_FILE 9u
#define HVCERR_COUNT 10u

// Modes of HVCSetScreenEx.
#define HVC_SCREEN_AT 0        // at (x, y)
#define HVC_SCREEN_CENTER 1    // centred on the primary screen, left hidden
#define HVC_SCREEN_IN_PLACE 2  // resized where it is

// Bases of HVCMakeFolder.
#define HVC_FOLDER_BASE_NONE 0       // the path as given
#define HVC_FOLDER_BASE_DOCUMENTS 1  // below the user's Documents folder

// ---- Files, folders and CRC-32 ----

// 1 when anything matches the path (files, folders, wildcard patterns).
HVCAPI BOOL WINAPI HVCGetFileExistA(LPCSTR path);
HVCAPI BOOL WINAPI HVCGetFileExistW(LPCWSTR path);
// Low 32 bits of the size / the full size; 0 on failure.
HVCAPI DWORD WINAPI HVCGetFileLengthA(LPCSTR path);
HVCAPI DWORD WINAPI HVCGetFileLengthW(LPCWSTR path);
HVCAPI ULONGLONG WINAPI HVCGetFileLengthExA(LPCSTR path);
HVCAPI ULONGLONG WINAPI HVCGetFileLengthExW(LPCWSTR path);
// Bytes read; *checksum receives the running CRC-32 without its final
// inversion ("123456789" gives 0x340BC6D9). The plain forms refuse files above
// 4 GiB (HVCERR_FILE_TOO_LARGE).
HVCAPI DWORD WINAPI HVCGetCRC32ChecksumA(LPCSTR path, DWORD* checksum);
HVCAPI DWORD WINAPI HVCGetCRC32ChecksumW(LPCWSTR path, DWORD* checksum);
HVCAPI ULONGLONG WINAPI HVCGetCRC32ChecksumExA(LPCSTR path, DWORD* checksum);
HVCAPI ULONGLONG WINAPI HVCGetCRC32ChecksumExW(LPCWSTR path, DWORD* checksum);
// base HVC_FOLDER_BASE_DOCUMENTS makes the Documents folder the current
// directory (for good) and creates the path there; an existing folder of that
// name counts as success, an existing file does not.
HVCAPI BOOL WINAPI HVCMakeFolderA(int base, LPCSTR path);
HVCAPI BOOL WINAPI HVCMakeFolderW(int base, LPCWSTR path);
// Empties the folder tree, then removes the folder itself when removeSelf is 1
// (read-only, hidden and system files included); the current directory is
// the same afterwards. Entries that cannot be deleted are skipped and do not
// make the call fail. failedCount may be null; on success it receives the
// number of entries (files and folders, and the folder itself when it was to
// go) still there afterwards: 0 when everything went. Folder links inside the
// tree are removed without following them. A path that cannot be entered
// (missing, not a folder, 260 characters or more) fails with
// HVCERR_NOT_FOUND and leaves *failedCount alone.
HVCAPI BOOL WINAPI HVCRemoveFolderA(LPCSTR path, int removeSelf, DWORD* failedCount);
HVCAPI BOOL WINAPI HVCRemoveFolderW(LPCWSTR path, int removeSelf, DWORD* failedCount);
// Releases a block that the library handed out (null is accepted).
HVCAPI BOOL WINAPI HVCPointerFree(LPVOID block);

// ---- Window placement and centred boxes ----

// cx, cy: the client size without a reference window; with one, an outer size
// (0 = the current one) corrected by the difference of the client areas.
HVCAPI BOOL WINAPI HVCSetScreen(HWND hwnd, HWND ref, int x, int y, int cx, int cy);
HVCAPI BOOL WINAPI HVCSetCenterScreen(HWND hwnd, HWND ref, int cx, int cy);
HVCAPI BOOL WINAPI HVCSetScreenEx(HWND hwnd, HWND ref, int mode, int x, int y, int cx, int cy);
// Centres a dialog over its owner, kept inside the work area's right and
// bottom edges; nonzero when it was moved. The boxes below come up centred
// over their owner (not over a minimised one) through a thread hook.
HVCAPI BOOL WINAPI HVCSetCenterDialogWindow(HWND dialog);
HVCAPI int WINAPI HVCMessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
HVCAPI int WINAPI HVCMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style);
HVCAPI INT_PTR WINAPI HVCDialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc,
                                         LPARAM param);
HVCAPI INT_PTR WINAPI HVCDialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC proc,
                                         LPARAM param);
// style nonzero: the Explorer look; 0: no visual style. The theme call's
// result (0 on success); 0 with HVCERR_NOT_FOUND when the theme library cannot
// be loaded from the system folder, with HVCERR_NOT_SUPPORTED when it lacks
// the call.
HVCAPI HRESULT WINAPI HVCSetVisualStyle(HWND hwnd, int style);

// ---- Version strings, status texts, WOW64 ----

// file null: the calling program; block null: "041104b0". On success *out
// receives a new string to release with HVCPointerFree; otherwise it is left
// alone. A file path of 260 characters or more, a block and value name too
// long for the 256-character query, or a missing value name or out pointer is
// refused with HVCERR_INVALID_ARGUMENT.
HVCAPI BOOL WINAPI HVCGetVersionResourceStringA(LPCSTR file, LPCSTR block, LPCSTR value, LPSTR* out);
HVCAPI BOOL WINAPI HVCGetVersionResourceStringW(LPCWSTR file, LPCWSTR block, LPCWSTR value, LPWSTR* out);
HVCAPI DWORD WINAPI HVCGetLastError(void);
// Also points *text (when text is not null) at the code's fixed text, owned by
// the library (code page 932 in the A form).
HVCAPI DWORD WINAPI HVCGetLastErrorExA(LPCSTR* text);
HVCAPI DWORD WINAPI HVCGetLastErrorExW(LPCWSTR* text);
HVCAPI BOOL WINAPI HVCCheckWOW64(void);

#ifdef __cplusplus
}
#endif

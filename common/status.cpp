// The status code and the exports that read it.
#include "status.h"

#include "hvCommon.h"
#include "status_texts.h"

namespace {
DWORD g_status = HVCERR_SUCCESS;

// A code outside the table never occurs; should it, the caller still gets a
// valid text rather than a pointer past the table.
int Slot(DWORD code)
{
    return code < static_cast<DWORD>(hv::kStatusTextCount) ? static_cast<int>(code) : HVCERR_INVALID_ARGUMENT;
}
}  // namespace

namespace hvc {
void SetStatus(DWORD code) { g_status = code; }
}  // namespace hvc

extern "C" {

DWORD WINAPI HVCGetLastError(void) { return g_status; }

DWORD WINAPI HVCGetLastErrorExA(LPCSTR* text)
{
    const DWORD code = g_status;
    if (text)
        *text = hv::kStatusTextsA[Slot(code)];
    return code;
}

DWORD WINAPI HVCGetLastErrorExW(LPCWSTR* text)
{
    const DWORD code = g_status;
    if (text)
        *text = hv::kStatusTextsW[Slot(code)];
    return code;
}

}  // extern "C"

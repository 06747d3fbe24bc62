// Texts from the program's own string table.
#include "hvShared.h"

#include <stdarg.h>
#include <stdio.h>
#include <wchar.h>

#include <vector>

namespace hv {

std::wstring LoadText(unsigned id)
{
    const wchar_t* text = nullptr;
    // A length of 0 asks for a pointer into the resource itself.
    const int n = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
    if (n > 0 && text)
        return std::wstring(text, static_cast<size_t>(n));
    wchar_t missing[48];
    swprintf(missing, ARRAYSIZE(missing), L"<missing text %u>", id);
    OutputDebugStringW(missing);
    return missing;
}

std::wstring FormatText(unsigned id, ...)
{
    const std::wstring format = LoadText(id);
    std::vector<wchar_t> buffer(format.size() + 256);
    va_list args;
    va_start(args, id);
    const int n = _vsnwprintf(buffer.data(), buffer.size() - 1, format.c_str(), args);
    va_end(args);
    buffer.back() = L'\0';
    return n < 0 ? std::wstring(buffer.data()) : std::wstring(buffer.data(), static_cast<size_t>(n));
}

}  // namespace hv

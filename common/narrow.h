// The narrow (A) exports convert their strings and share the wide code.
#pragma once

#include <windows.h>

#include <string>

namespace hvc {

// A narrow argument in the system's ANSI code page as UTF-16; null stays null.
class WideArg {
public:
    explicit WideArg(LPCSTR text)
    {
        if (!text)
            return;
        null_ = false;
        const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
        if (n > 1) {
            text_.resize(static_cast<size_t>(n));
            MultiByteToWideChar(CP_ACP, 0, text, -1, &text_[0], n);
            text_.resize(static_cast<size_t>(n - 1));
        }
    }
    LPCWSTR get() const { return null_ ? nullptr : text_.c_str(); }

private:
    std::wstring text_;
    bool null_ = true;
};

}  // namespace hvc

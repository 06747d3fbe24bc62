// The fixed texts of the library's status codes, as static data in two forms:
// UTF-16 and code page 932. Generated at build time from status_texts.txt.
// No Windows header, so the host build checks the tables too.
#pragma once

namespace hv {

constexpr int kStatusTextCount = 10;
constexpr int kStatusTextSlot = 256;

#ifdef _WIN32
using StatusChar16 = wchar_t;
#else
using StatusChar16 = char16_t;
#endif

// Slot n holds the NUL-terminated text of code n.
extern const StatusChar16 kStatusTextsW[kStatusTextCount][kStatusTextSlot];
extern const char kStatusTextsA[kStatusTextCount][kStatusTextSlot];

}  // namespace hv

#include "password_hash.h"

#include "../common/crc32.h"

namespace cfw {
namespace {

template <typename Char>
uint32_t Hash(const Char* text)
{
    if (!text)
        return kPasswordLockOff;
    // Built afresh on every call: the function keeps no state at all.
    uint32_t table[256];
    hv::Crc32BuildTable(table);
    uint32_t h = 0xFFFFFFFFu;
    const Char* p = text;
    do {
        h = hv::Crc32Step(table, h, static_cast<uint8_t>(*p));
    } while (*p++ != 0);
    return h;
}

}  // namespace

uint32_t PasswordHash16(const uint16_t* text) { return Hash(text); }
uint32_t PasswordHash8(const char* text) { return Hash(reinterpret_cast<const unsigned char*>(text)); }

}  // namespace cfw

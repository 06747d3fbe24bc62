// The password-lock hash, free of Windows headers so it also builds on the host.
#pragma once
#include <stdint.h>

namespace cfw {

constexpr uint32_t kPasswordLockOff = 0xFFFFFFFFu;

// One CRC-32 table step per character (only the low eight bits of each code
// take part), including the terminating NUL, with no final inversion.
// A null pointer hashes to kPasswordLockOff.
uint32_t PasswordHash16(const uint16_t* text);
uint32_t PasswordHash8(const char* text);

}  // namespace cfw

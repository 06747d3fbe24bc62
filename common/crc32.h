// CRC-32 (IEEE 802.3 polynomial, reflected) without any Windows header, so the
// host build tests it with the sanitizers. The system keeps the running value
// without the final inversion: file checksums and password hashes both store
// the complement of the usual CRC-32.
#pragma once
#include <stddef.h>
#include <stdint.h>

namespace hv {

// Fills the 256-entry reflected table for polynomial 0xEDB88320.
void Crc32BuildTable(uint32_t table[256]);

// One table step per byte; start from 0xFFFFFFFF and apply no final inversion.
inline uint32_t Crc32Step(const uint32_t table[256], uint32_t crc, uint8_t byte)
{
    return table[(crc ^ byte) & 0xFFu] ^ (crc >> 8);
}

uint32_t Crc32Update(const uint32_t table[256], uint32_t crc, const void* data, size_t size);

}  // namespace hv

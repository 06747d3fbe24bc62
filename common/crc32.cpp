#include "crc32.h"

namespace hv {

void Crc32BuildTable(uint32_t table[256])
{
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1u) ? (c >> 1) ^ 0xEDB88320u : (c >> 1);
        table[i] = c;
    }
}

uint32_t Crc32Update(const uint32_t table[256], uint32_t crc, const void* data, size_t size)
{
    const uint8_t* p = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i)
        crc = Crc32Step(table, crc, p[i]);
    return crc;
}

}  // namespace hv

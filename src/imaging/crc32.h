// CRC-32 of PNG chunks: reflected polynomial 0xEDB88320, register preset to
// all ones, result complemented.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Pictor {

class Crc32 {
public:
    // CRC of a whole buffer.
    static uint32_t Compute(const uint8_t* data, size_t size);
    // Continues a running CRC: start with Begin(), feed Update(), finish with End().
    static uint32_t Begin() { return 0xFFFFFFFFu; }
    static uint32_t Update(uint32_t crc, const uint8_t* data, size_t size);
    static uint32_t End(uint32_t crc) { return crc ^ 0xFFFFFFFFu; }
};

} // namespace Pictor

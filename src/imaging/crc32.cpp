#include "imaging/crc32.h"

#include <array>

namespace Pictor {
namespace {

// Eight tables let the CRC advance a whole 64-bit word per step.
using CrcTables = std::array<std::array<uint32_t, 256>, 8>;

constexpr CrcTables BuildTables() {
    CrcTables tables{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        tables[0][n] = c;
    }
    for (uint32_t n = 0; n < 256; ++n)
        for (int t = 1; t < 8; ++t)
            tables[t][n] = (tables[t - 1][n] >> 8) ^ tables[0][tables[t - 1][n] & 0xFF];
    return tables;
}

// Built once, before the program runs.
constexpr CrcTables kTables = BuildTables();

} // namespace

uint32_t Crc32::Update(uint32_t crc, const uint8_t* data, size_t size) {
    while (size >= 8) {
        uint32_t low = crc ^ (uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 |
                              uint32_t(data[3]) << 24);
        crc = kTables[7][low & 0xFF] ^ kTables[6][(low >> 8) & 0xFF] ^
              kTables[5][(low >> 16) & 0xFF] ^ kTables[4][low >> 24] ^ kTables[3][data[4]] ^
              kTables[2][data[5]] ^ kTables[1][data[6]] ^ kTables[0][data[7]];
        data += 8;
        size -= 8;
    }
    while (size--)
        crc = kTables[0][(crc ^ *data++) & 0xFF] ^ (crc >> 8);
    return crc;
}

uint32_t Crc32::Compute(const uint8_t* data, size_t size) {
    return End(Update(Begin(), data, size));
}

} // namespace Pictor

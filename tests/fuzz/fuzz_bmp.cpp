// Bitmap files of any content must be converted or refused without reading
// past their data.
#include "imaging/bmp_reader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto image = DecodeBmpRgb(data, size);
    if (image && image->bytes.size() != static_cast<std::size_t>(image->height) * image->stride) {
        __builtin_trap();
    }
    return 0;
}

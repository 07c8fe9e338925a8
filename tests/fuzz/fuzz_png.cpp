// Fuzzes the PNG decoder: any input either decodes or raises one of the
// decoder's exceptions.
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "imaging/png_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Pictures of more than 4 million pixels only cost time here.
    if (size >= 24) {
        uint64_t width = uint64_t(data[16]) << 24 | data[17] << 16 | data[18] << 8 | data[19];
        uint64_t height = uint64_t(data[20]) << 24 | data[21] << 16 | data[22] << 8 | data[23];
        if (width * height > (uint64_t(1) << 22))
            return 0;
    }
    Pictor::PngInputMemoryStream stream(data, size);
    Pictor::PngDecoder decoder;
    Pictor::BitmapImage image;
    try {
        decoder.ReadImage(stream, image);
    } catch (const Pictor::GraphicsException&) {
    } catch (const Pictor::InputByteStream::StreamError&) {
    } catch (const Pictor::InflateDecoder::StreamError&) {
    } catch (const std::range_error&) {
    }
    return 0;
}

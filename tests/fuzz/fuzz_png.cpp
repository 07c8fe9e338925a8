// Fuzzes the PNG decoder: any input either decodes or raises one of the
// decoder's exceptions, and every picture it decodes that libpng also reads
// must be exactly libpng's picture under the decoder's conversion rules.
// (The decoder may refuse what libpng accepts, and accept damage libpng
// refuses; only pictures both read are compared.)
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>

#include "imaging/libpng_oracle.h"
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
        return 0;
    } catch (const Pictor::InputByteStream::StreamError&) {
        return 0;
    } catch (const Pictor::InflateDecoder::StreamError&) {
        return 0;
    } catch (const std::range_error&) {
        return 0;
    }
    const std::optional<png_oracle::Expected> expected =
        png_oracle::DecodeWithLibpng(png_oracle::Bytes(data, data + size));
    if (!expected)
        return 0;
    const std::string difference = png_oracle::Difference(image, *expected);
    if (!difference.empty()) {
        std::fprintf(stderr, "decoded picture differs from libpng's: %s\n", difference.c_str());
        std::abort();
    }
    return 0;
}

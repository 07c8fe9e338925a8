// PNG decoder: every colour type, bit depth, filter and interlace method of
// the format. Colour types 2 and 6 become 24-bit blue-green-red images (alpha
// composited over the background colour), types 0, 3 and 4 colour-mapped
// images of 8 or fewer bits.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/bitmap_image.h"
#include "imaging/graphics_exception.h"
#include "imaging/inflate_decoder.h"
#include "imaging/png_input_stream.h"

namespace Pictor {

class BitmapImageCoder {
public:
    virtual ~BitmapImageCoder() = default;
    // Called as decoding progresses; does nothing unless overridden.
    virtual void CallProgressFunction() {}
};

class BitmapImageDecoder : public BitmapImageCoder {
public:
    virtual void ReadImage(const char* path, BitmapImage& image) = 0;
};

class PngDecoder : public BitmapImageDecoder {
public:
    // The file cannot be opened.
    class PngError : public GraphicsException {
    public:
        using GraphicsException::GraphicsException;
    };
    // The file violates the format.
    class BadPngStream : public PngError {
    public:
        using PngError::PngError;
    };

    PngDecoder() = default;

    // Decodes the PNG file at `path` (backslashes are taken as folder
    // separators) into `image`. Raises PngError "Can't open input file".
    void ReadImage(const char* path, BitmapImage& image) override;
    // Decodes one PNG datastream into `image`.
    virtual void ReadImage(PngInputStream& stream, BitmapImage& image);

private:
    void DispatchChunk(PngInputStream& stream, BitmapImage& image);
    void ReadHeader(PngInputStream& stream, BitmapImage& image);
    void ReadPalette(PngInputStream& stream, BitmapImage& image);
    void ReadImageData(PngInputStream& stream, BitmapImage& image);
    void ReadBackground(PngInputStream& stream, BitmapImage& image);
    void CheckGamma(PngInputStream& stream);
    void CheckChromaticities(PngInputStream& stream);
    void CheckHistogram(PngInputStream& stream);
    void CheckPhysicalSize(PngInputStream& stream);
    void CheckSignificantBits(PngInputStream& stream);
    void CheckTransparency(PngInputStream& stream);
    void CheckTime(PngInputStream& stream);
    void CheckText(PngInputStream& stream, const char* message);
    void SetImageSize(BitmapImage& image);
    void DecodePass(InflateInputStream& input, BitmapImage& image, uint32_t firstRow,
                    uint32_t firstColumn, uint32_t rowStep, uint32_t columnStep);
    void InflateRow(InflateInputStream& input, uint8_t* row, uint32_t size);
    void UndoFilter(unsigned filter, uint8_t* row, const uint8_t* previous, uint32_t size) const;
    void ConvertRow(const uint8_t* row, BitmapImage& image, uint32_t imageRow, uint32_t passWidth,
                    uint32_t firstColumn, uint32_t columnStep) const;
    uint64_t RowSize(uint64_t width) const;
    unsigned BytesPerPixel() const;

    uint8_t backgroundRed_ = 0;
    uint8_t backgroundGreen_ = 0;
    uint8_t backgroundBlue_ = 0;
    uint8_t backgroundGray_ = 0;
    uint32_t paletteSize_ = 0;
    uint32_t height_ = 0;
    uint32_t width_ = 0;
    uint8_t bitDepth_ = 0;
    int32_t colorType_ = 0;
    uint8_t compressionMethod_ = 0;
    uint8_t filterMethod_ = 0;
    uint8_t interlaceMethod_ = 0;
    std::vector<uint8_t> rowBuffers_[2];
    int currentRow_ = 0;
    uint32_t rowSize_ = 0;
    uint32_t pass_ = 0;
    bool dataSeen_ = false;
    bool paletteSeen_ = false;
    bool headerSeen_ = false;
    bool endSeen_ = false;
    bool inDataSegment_ = false; // the last chunk dispatched was IDAT
    InflateDecoder inflater_;
};

} // namespace Pictor

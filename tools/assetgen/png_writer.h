// Writes 8-bit RGB PNG files (colour type 2) through zlib. The row filter and
// the IDAT split are chosen per file so the pack exercises every filter type
// and the multi-chunk path of a decoder.
#pragma once

#include <cstdint>
#include <vector>

namespace assetgen {

enum class RowFilter : std::uint8_t { None = 0, Sub = 1, Up = 2, Average = 3, Paeth = 4, Adaptive };

struct PngLayout {
    RowFilter filter = RowFilter::Adaptive; // Adaptive picks the cheapest filter per row
    int idatChunks = 1;                     // the compressed stream is cut into this many IDATs
};

// rgb holds width x height pixels of three bytes, top row first. Throws
// std::runtime_error when the sizes disagree or zlib fails.
std::vector<std::uint8_t> encodePng(const std::vector<std::uint8_t>& rgb, int width, int height,
                                    const PngLayout& layout);

} // namespace assetgen

#include "png_writer.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace assetgen {

namespace {

std::uint8_t paethPredictor(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) {
        return static_cast<std::uint8_t>(a);
    }
    return static_cast<std::uint8_t>(pb <= pc ? b : c);
}

// Filters one row; prev is the unfiltered row above (zeros for the first row).
std::vector<std::uint8_t> filterRow(RowFilter filter, const std::uint8_t* row,
                                    const std::uint8_t* prev, size_t length) {
    constexpr size_t bpp = 3;
    std::vector<std::uint8_t> out(length + 1);
    out[0] = static_cast<std::uint8_t>(filter);
    for (size_t i = 0; i < length; ++i) {
        const int a = i >= bpp ? row[i - bpp] : 0;
        const int b = prev[i];
        const int c = i >= bpp ? prev[i - bpp] : 0;
        int predicted = 0;
        switch (filter) {
        case RowFilter::Sub:
            predicted = a;
            break;
        case RowFilter::Up:
            predicted = b;
            break;
        case RowFilter::Average:
            predicted = (a + b) / 2;
            break;
        case RowFilter::Paeth:
            predicted = paethPredictor(a, b, c);
            break;
        default:
            break;
        }
        out[i + 1] = static_cast<std::uint8_t>(row[i] - predicted);
    }
    return out;
}

// The usual heuristic: the filter whose output has the smallest sum of
// absolute values, reading the bytes as signed.
std::vector<std::uint8_t> cheapestFilteredRow(const std::uint8_t* row, const std::uint8_t* prev,
                                              size_t length) {
    std::vector<std::uint8_t> best;
    long bestCost = -1;
    for (RowFilter f :
         {RowFilter::None, RowFilter::Sub, RowFilter::Up, RowFilter::Average, RowFilter::Paeth}) {
        auto candidate = filterRow(f, row, prev, length);
        long cost = 0;
        for (size_t i = 1; i < candidate.size(); ++i) {
            cost += std::abs(static_cast<int>(static_cast<std::int8_t>(candidate[i])));
        }
        if (bestCost < 0 || cost < bestCost) {
            bestCost = cost;
            best = std::move(candidate);
        }
    }
    return best;
}

void putBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void putChunk(std::vector<std::uint8_t>& out, const char type[4], const std::uint8_t* data,
              size_t length) {
    putBigEndian(out, static_cast<std::uint32_t>(length));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data, data + length);
    const uLong crc = crc32(0L, out.data() + typeAt, static_cast<uInt>(length + 4));
    putBigEndian(out, static_cast<std::uint32_t>(crc));
}

std::vector<std::uint8_t> compress(const std::vector<std::uint8_t>& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(size);
    const int status = compress2(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()),
                                 Z_DEFAULT_COMPRESSION);
    if (status != Z_OK) {
        throw std::runtime_error("zlib compress2 failed with status " + std::to_string(status));
    }
    packed.resize(size);
    return packed;
}

} // namespace

std::vector<std::uint8_t> encodePng(const std::vector<std::uint8_t>& rgb, int width, int height,
                                    const PngLayout& layout) {
    if (width <= 0 || height <= 0 ||
        rgb.size() != static_cast<size_t>(width) * static_cast<size_t>(height) * 3) {
        throw std::runtime_error("PNG encoder: pixel data does not match " + std::to_string(width) +
                                 " x " + std::to_string(height));
    }
    const size_t rowLength = static_cast<size_t>(width) * 3;
    std::vector<std::uint8_t> filtered;
    filtered.reserve((rowLength + 1) * height);
    const std::vector<std::uint8_t> zeros(rowLength, 0);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = rgb.data() + rowLength * y;
        const std::uint8_t* prev = y > 0 ? row - rowLength : zeros.data();
        const auto line = layout.filter == RowFilter::Adaptive
                              ? cheapestFilteredRow(row, prev, rowLength)
                              : filterRow(layout.filter, row, prev, rowLength);
        filtered.insert(filtered.end(), line.begin(), line.end());
    }
    const auto packed = compress(filtered);

    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    putBigEndian(header, static_cast<std::uint32_t>(width));
    putBigEndian(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, filters, no interlace
    putChunk(out, "IHDR", header.data(), header.size());

    const size_t chunks = static_cast<size_t>(layout.idatChunks > 1 ? layout.idatChunks : 1);
    const size_t piece = (packed.size() + chunks - 1) / chunks;
    for (size_t at = 0; at < packed.size(); at += piece) {
        putChunk(out, "IDAT", packed.data() + at, std::min(piece, packed.size() - at));
    }
    putChunk(out, "IEND", nullptr, 0);
    return out;
}

} // namespace assetgen

#include "imaging/png_input_stream.h"

#include <algorithm>
#include <cstring>

#include "imaging/crc32.h"

namespace Pictor {
namespace {

[[noreturn]] void PrematureEnd() {
    throw InputByteStream::StreamError("Premature End of File");
}

uint32_t BigEndian32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

} // namespace

void PngInputStream::ReadRaw(uint8_t* out, size_t count) {
    while (count > 0) {
        size_t got = ReadSome(out, count);
        if (got == 0)
            PrematureEnd();
        out += got;
        count -= got;
    }
}

uint32_t PngInputStream::ReadBigEndian32() {
    uint8_t bytes[4];
    ReadRaw(bytes, 4);
    return BigEndian32(bytes);
}

bool PngInputStream::ReadChunk() {
    uint32_t length = ReadBigEndian32();
    if (length == 0)
        return false;
    // The buffer grows with the data actually read, so a damaged length
    // cannot make it allocate more than the file holds (plus one step).
    constexpr size_t kGrowthStep = size_t(1) << 20;
    size_t total = size_t(length) + 4;
    size_t filled = 0;
    while (filled < total) {
        size_t want = std::min(total - filled, kGrowthStep);
        if (chunk_.size() < filled + want)
            chunk_.resize(filled + want);
        ReadRaw(chunk_.data() + filled, want);
        filled += want;
    }
    chunkLength_ = length;
    uint32_t stored = ReadBigEndian32();
    if (Crc32::Compute(chunk_.data(), total) != stored)
        throw InputByteStream::StreamError("Invalid Chunk CRC");
    return true;
}

bool PngInputStream::IsChunk(const char* type) const {
    return std::memcmp(chunk_.data(), type, 4) == 0;
}

bool PngInputFileStream::Open(const char* path) {
    Close();
    file_ = std::fopen(path, "rb");
    return file_ != nullptr;
}

void PngInputFileStream::Close() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

size_t PngInputFileStream::ReadSome(uint8_t* out, size_t count) {
    return file_ ? std::fread(out, 1, count, file_) : 0;
}

size_t PngInputMemoryStream::ReadSome(uint8_t* out, size_t count) {
    size_t take = std::min(count, size_ - position_);
    if (take == 0)
        return 0;
    std::memcpy(out, data_ + position_, take);
    position_ += take;
    return take;
}

InflateInputStream::InflateInputStream(PngInputStream& chunks) : chunks_(chunks) {
    SetBuffer(chunks.ChunkData(), chunks.ChunkData() + chunks.ChunkLength());
}

bool InflateInputStream::FillBuffer() {
    // The data continues only in an immediately following IDAT chunk. A
    // zero-length chunk ends the chunk sequence, so it carries no more data.
    if (!chunks_.ReadChunk() || !chunks_.IsChunk("IDAT"))
        throw StreamError("Missing IDAT Chunk");
    SetBuffer(chunks_.ChunkData(), chunks_.ChunkData() + chunks_.ChunkLength());
    return true;
}

} // namespace Pictor

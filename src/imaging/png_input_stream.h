// Chunk-level sources of PNG data, and the byte view of IDAT data that the
// inflater reads.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "imaging/input_byte_stream.h"

namespace Pictor {

class PngInputStream {
public:
    virtual ~PngInputStream() = default;

    // Reads exactly `count` raw bytes; a short read raises
    // InputByteStream::StreamError "Premature End of File".
    void ReadRaw(uint8_t* out, size_t count);

    // Reads the next whole chunk and checks its CRC. Returns false when the
    // chunk length is 0: such a chunk ends the sequence, its type and CRC are
    // not read.
    bool ReadChunk();

    const char* ChunkType() const { return reinterpret_cast<const char*>(chunk_.data()); }
    bool IsChunk(const char* type) const;
    uint32_t ChunkLength() const { return chunkLength_; }
    const uint8_t* ChunkData() const { return chunk_.data() + 4; }

protected:
    // Reads up to `count` bytes and returns how many were read (0 at the end).
    virtual size_t ReadSome(uint8_t* out, size_t count) = 0;

private:
    uint32_t ReadBigEndian32();

    std::vector<uint8_t> chunk_ = std::vector<uint8_t>(4096); // type, then data
    uint32_t chunkLength_ = 0;
};

// Chunks from a file opened in binary mode.
class PngInputFileStream : public PngInputStream {
public:
    PngInputFileStream() = default;
    ~PngInputFileStream() override { Close(); }
    PngInputFileStream(const PngInputFileStream&) = delete;
    PngInputFileStream& operator=(const PngInputFileStream&) = delete;

    bool Open(const char* path);
    void Close();

protected:
    size_t ReadSome(uint8_t* out, size_t count) override;

private:
    std::FILE* file_ = nullptr;
};

// Chunks from a block of memory (tests, fuzzing, tools).
class PngInputMemoryStream : public PngInputStream {
public:
    PngInputMemoryStream(const uint8_t* data, size_t size) : data_(data), size_(size) {}

protected:
    size_t ReadSome(uint8_t* out, size_t count) override;

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

// The data of the current IDAT chunk as a byte stream; when it runs dry the
// next chunk is read, which must be IDAT ("Missing IDAT Chunk").
class InflateInputStream : public InputByteStream {
public:
    explicit InflateInputStream(PngInputStream& chunks);

protected:
    bool FillBuffer() override;

private:
    PngInputStream& chunks_;
};

} // namespace Pictor

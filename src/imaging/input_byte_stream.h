// A buffered byte source with bit access, least significant bit first, as
// deflate data is read. Subclasses supply the bytes through FillBuffer(); a
// refill happens only when a byte is actually needed, so a reader never looks
// past the data it consumes into a following buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>

namespace Pictor {

class InflateDecoder;

class InputByteStream {
public:
    class StreamError : public std::logic_error {
    public:
        using std::logic_error::logic_error;
    };

    virtual ~InputByteStream() = default;

    // Plain bit reads: end of input is "Premature end of file".
    unsigned GetBit();
    uint32_t GetBits(unsigned count); // count <= 24, first bit in bit 0
    // Bits of a Huffman code: end of input is "Premature end of stream".
    unsigned GetCodeBit();
    // Drops the bits left over from a partly used byte.
    void DropPartialByte();
    // Whole bytes; only valid after DropPartialByte().
    uint8_t GetByte();
    // Copies up to `count` whole bytes that are available without a refill
    // (at least one, refilling if none is). Returns how many were copied.
    size_t ReadAvailableBytes(uint8_t* out, size_t count);

protected:
    // Makes [begin, end) the next bytes of the stream.
    void SetBuffer(const uint8_t* begin, const uint8_t* end) {
        next_ = begin;
        end_ = end;
    }
    // Called when every buffered byte is used: provide more with SetBuffer()
    // and return true, return false at the end of the input, or throw.
    virtual bool FillBuffer() = 0;
    // Forgets buffered bits (a new stream starts).
    void ResetBits() {
        bitBuffer_ = 0;
        bitCount_ = 0;
    }

private:
    friend class InflateDecoder;
    bool PullByte();
    void PullAvailableBytes();

    const uint8_t* next_ = nullptr;
    const uint8_t* end_ = nullptr;
    uint64_t bitBuffer_ = 0; // bits taken from the buffer but not yet used
    unsigned bitCount_ = 0;
};

// A byte stream over a block of memory (tests, tools).
class InputMemoryStream : public InputByteStream {
public:
    InputMemoryStream(const uint8_t* data, size_t size) : data_(data), size_(size) {}

protected:
    bool FillBuffer() override {
        if (delivered_)
            return false;
        delivered_ = true;
        SetBuffer(data_, data_ + size_);
        return size_ != 0;
    }

private:
    const uint8_t* data_;
    size_t size_;
    bool delivered_ = false;
};

} // namespace Pictor

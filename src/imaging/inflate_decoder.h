// Decoder of zlib streams (deflate data behind a two-byte header), on demand:
// each Decode() call delivers the next bytes of the stream and the following
// call continues exactly where it stopped, also inside a stored block or a
// length/distance copy. The trailing Adler-32 checksum is never read.
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <string>

#include "imaging/input_byte_stream.h"

namespace Pictor {

// One canonical Huffman code. The reference model is the classic one
// (mincode, maxcode and valptr per code length over the symbols ordered by
// length, then value); a lookup table over the next kFastBits input bits
// answers every code of that length or shorter in one step and defers the
// rest to the reference model, so both give the same symbols and errors.
class InflateHuffmanDecoder {
public:
    static constexpr unsigned kFastBits = 10;
    static constexpr int kNoCode = -1;    // no code matches within the maximum length
    static constexpr int kNeedsBits = -2; // the given bits end before a code does

    explicit InflateHuffmanDecoder(unsigned maxLength);

    // Builds the code from `count` code lengths (0 = symbol without code).
    void MakeTable(const uint8_t* lengths, unsigned count);

    // Reference decoding, one bit at a time from the stream. A bit pattern
    // that matches no code raises InflateDecoder::StreamError.
    unsigned Decode(InputByteStream& input) const;

    // Reference decoding from `available` buffered bits (first bit in bit 0).
    // Returns the symbol and sets `length`, or kNoCode / kNeedsBits.
    int DecodeBits(uint64_t bits, unsigned available, unsigned& length) const;

    // Table entry for the next kFastBits bits: symbol << 8 | code length, or 0
    // when the code is longer than kFastBits or matches nothing.
    uint32_t FastEntry(uint64_t bits) const { return fast_[bits & ((1u << kFastBits) - 1)]; }

    unsigned MaxLength() const { return maxLength_; }

private:
    static constexpr unsigned kMaxSymbols = 288;
    unsigned maxLength_;
    int minCode_[16] = {};
    int maxCode_[16] = {};
    int valPtr_[16] = {};
    uint16_t symbols_[kMaxSymbols] = {};
    uint32_t fast_[1u << kFastBits] = {};
};

class InflateDecoder {
public:
    class StreamError : public std::exception {
    public:
        explicit StreamError(std::string message) : message_(std::move(message)) {}
        const char* what() const noexcept override { return message_.c_str(); }

    private:
        std::string message_;
    };

    static constexpr uint32_t kWindowSize = 32768;

    InflateDecoder();

    // Starts a new stream: zeroed window, cleared state, zlib header checked,
    // first block header read.
    void OpenStream(InputByteStream& input);

    // Writes up to `count` decoded bytes to `output` and returns how many: all
    // of them, or fewer when the final block ended (EndOfStream() is then set).
    uint32_t Decode(InputByteStream& input, uint32_t count, uint8_t* output);

    bool EndOfStream() const { return endOfStream_; }

private:
    // Output goes into one buffer whose first kWindowSize bytes before the
    // write position are the window; when the buffer is full its last
    // kWindowSize bytes slide to the front. A copy always runs to its end in
    // the buffer: bytes decoded beyond a request wait there for the next call.
    static constexpr uint32_t kMaxMatch = 258;
    static constexpr uint32_t kSlack = 32; // wide copies may write a little past a match
    static constexpr uint32_t kBufferSize = kWindowSize + 65536 + kMaxMatch + kSlack;
    static constexpr uint32_t kDecodeLimit = kBufferSize - kMaxMatch - kSlack;

    void ReadBlockHeader(InputByteStream& input);
    void UseFixedCodes();
    void ReadDynamicCodes(InputByteStream& input);
    void EndBlock(InputByteStream& input);
    void SlideWindow();
    void Produce(InputByteStream& input, uint32_t target);
    void CopyStored(InputByteStream& input, uint32_t target);
    void DecodeFast(InputByteStream& input, uint32_t target);
    void DecodeSymbol(InputByteStream& input);
    unsigned DecodeCode(InputByteStream& input, const InflateHuffmanDecoder& code) const;
    void CopyMatch(uint32_t length, uint32_t distance);

    std::unique_ptr<uint8_t[]> buffer_;
    uint32_t position_ = kWindowSize;  // where the next decoded byte goes
    uint32_t delivered_ = kWindowSize; // bytes before this were handed out
    InflateHuffmanDecoder literalCode_;
    InflateHuffmanDecoder distanceCode_;
    bool finalBlock_ = false;
    bool endOfStream_ = false;
    bool inStoredBlock_ = false;
    uint16_t storedRemaining_ = 0;
};

} // namespace Pictor

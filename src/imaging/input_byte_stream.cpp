#include "imaging/input_byte_stream.h"

#include <algorithm>
#include <cstring>

namespace Pictor {

bool InputByteStream::PullByte() {
    while (next_ == end_) {
        if (!FillBuffer())
            return false;
    }
    bitBuffer_ |= uint64_t(*next_++) << bitCount_;
    bitCount_ += 8;
    return true;
}

void InputByteStream::PullAvailableBytes() {
    // Stops below 64 bits: the fast path shifts a word in above them.
    if (bitCount_ < 56 && end_ - next_ >= 8) {
        // A word at once; only the whole bytes taken stay in the buffer.
        uint64_t word;
        std::memcpy(&word, next_, 8); // little-endian hosts
        unsigned taken = (63 - bitCount_) >> 3;
        bitBuffer_ |= word << bitCount_;
        next_ += taken;
        bitCount_ += 8 * taken;
        bitBuffer_ &= ~uint64_t(0) >> (64 - bitCount_);
        return;
    }
    while (bitCount_ < 56 && next_ != end_) {
        bitBuffer_ |= uint64_t(*next_++) << bitCount_;
        bitCount_ += 8;
    }
}

unsigned InputByteStream::GetBit() {
    return GetBits(1);
}

uint32_t InputByteStream::GetBits(unsigned count) {
    while (bitCount_ < count) {
        if (!PullByte())
            throw StreamError("Premature end of file");
    }
    uint32_t value = uint32_t(bitBuffer_ & ((uint64_t(1) << count) - 1));
    bitBuffer_ >>= count;
    bitCount_ -= count;
    return value;
}

unsigned InputByteStream::GetCodeBit() {
    if (bitCount_ == 0 && !PullByte())
        throw StreamError("Premature end of stream");
    unsigned bit = unsigned(bitBuffer_ & 1);
    bitBuffer_ >>= 1;
    --bitCount_;
    return bit;
}

void InputByteStream::DropPartialByte() {
    unsigned partial = bitCount_ % 8;
    bitBuffer_ >>= partial;
    bitCount_ -= partial;
}

uint8_t InputByteStream::GetByte() {
    return uint8_t(GetBits(8));
}

size_t InputByteStream::ReadAvailableBytes(uint8_t* out, size_t count) {
    if (count == 0)
        return 0;
    size_t copied = 0;
    while (bitCount_ >= 8 && copied < count) {
        out[copied++] = uint8_t(bitBuffer_);
        bitBuffer_ >>= 8;
        bitCount_ -= 8;
    }
    if (copied == count)
        return copied;
    while (next_ == end_) {
        if (copied > 0)
            return copied;
        if (!FillBuffer())
            throw StreamError("Premature end of file");
    }
    size_t take = std::min(count - copied, size_t(end_ - next_));
    std::memcpy(out + copied, next_, take);
    next_ += take;
    return copied + take;
}

} // namespace Pictor

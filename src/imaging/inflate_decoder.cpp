#include "imaging/inflate_decoder.h"

#include <algorithm>
#include <cstring>

namespace Pictor {
namespace {

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                      15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                      67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistanceBase[30] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                        6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                          11, 4,  12, 3, 13, 2, 14, 1, 15};

constexpr unsigned kEndOfBlock = 256;
constexpr unsigned kLastLengthSymbol = 285;
constexpr unsigned kLastDistanceSymbol = 29;

uint64_t LoadLittleEndian64(const uint8_t* p) {
    uint64_t value;
    std::memcpy(&value, p, sizeof value);
    return value; // little-endian hosts only (x86-64, AArch64)
}

unsigned ReverseBits(unsigned code, unsigned length) {
    unsigned reversed = 0;
    for (unsigned i = 0; i < length; ++i, code >>= 1)
        reversed = (reversed << 1) | (code & 1);
    return reversed;
}

[[noreturn]] void Fail(const char* message) {
    throw InflateDecoder::StreamError(message);
}

struct FixedCodes {
    InflateHuffmanDecoder literal{15};
    InflateHuffmanDecoder distance{15};
    FixedCodes() {
        uint8_t lengths[288];
        std::fill(lengths, lengths + 144, 8);
        std::fill(lengths + 144, lengths + 256, 9);
        std::fill(lengths + 256, lengths + 280, 7);
        std::fill(lengths + 280, lengths + 288, 8);
        literal.MakeTable(lengths, 288);
        std::fill(lengths, lengths + 32, 5);
        distance.MakeTable(lengths, 32);
    }
};

const FixedCodes& Fixed() {
    static const FixedCodes codes;
    return codes;
}

} // namespace

// ---------------------------------------------------------------------------
// InflateHuffmanDecoder

InflateHuffmanDecoder::InflateHuffmanDecoder(unsigned maxLength) : maxLength_(maxLength) {
    std::fill(std::begin(maxCode_), std::end(maxCode_), -1);
}

void InflateHuffmanDecoder::MakeTable(const uint8_t* lengths, unsigned count) {
    count = std::min(count, kMaxSymbols);
    unsigned perLength[16] = {};
    for (unsigned s = 0; s < count; ++s)
        ++perLength[std::min<unsigned>(lengths[s], 15)];

    // Symbols ordered by (code length, value); codes assigned canonically.
    unsigned next[16] = {};
    int code = 0;
    unsigned position = 0;
    for (unsigned length = 1; length <= 15; ++length) {
        valPtr_[length] = int(position);
        minCode_[length] = code;
        maxCode_[length] = perLength[length] ? code + int(perLength[length]) - 1 : -1;
        next[length] = position;
        position += perLength[length];
        code = (code + int(perLength[length])) << 1;
    }
    for (unsigned s = 0; s < count; ++s) {
        unsigned length = lengths[s];
        if (length != 0 && length <= 15)
            symbols_[next[length]++] = uint16_t(s);
    }

    // The lookup table holds every code of up to kFastBits bits; a code only
    // counts if it fits its length (over-full length sets leave the surplus
    // unreachable, exactly as the reference walk does).
    std::fill(std::begin(fast_), std::end(fast_), 0u);
    for (unsigned length = 1; length <= std::min(kFastBits, maxLength_); ++length) {
        if (maxCode_[length] < 0)
            continue;
        for (int c = minCode_[length]; c <= maxCode_[length] && c < (1 << length); ++c) {
            uint32_t entry =
                uint32_t(symbols_[valPtr_[length] + c - minCode_[length]]) << 8 | length;
            for (unsigned i = ReverseBits(unsigned(c), length); i < (1u << kFastBits);
                 i += 1u << length)
                fast_[i] = entry;
        }
    }
}

unsigned InflateHuffmanDecoder::Decode(InputByteStream& input) const {
    int code = 0;
    for (unsigned length = 1; length <= maxLength_; ++length) {
        code = code * 2 + int(input.GetCodeBit());
        if (code <= maxCode_[length])
            return symbols_[valPtr_[length] + code - minCode_[length]];
    }
    Fail("Invalid Huffman Code");
}

int InflateHuffmanDecoder::DecodeBits(uint64_t bits, unsigned available, unsigned& length) const {
    int code = 0;
    for (length = 1; length <= maxLength_; ++length) {
        if (length > available)
            return kNeedsBits;
        code = code * 2 + int(bits & 1);
        bits >>= 1;
        if (code <= maxCode_[length])
            return symbols_[valPtr_[length] + code - minCode_[length]];
    }
    return kNoCode;
}

// ---------------------------------------------------------------------------
// InflateDecoder

InflateDecoder::InflateDecoder()
    : buffer_(new uint8_t[kBufferSize]()), literalCode_(15), distanceCode_(15) {}

void InflateDecoder::OpenStream(InputByteStream& input) {
    std::memset(buffer_.get(), 0, kWindowSize);
    position_ = delivered_ = kWindowSize;
    finalBlock_ = endOfStream_ = inStoredBlock_ = false;
    storedRemaining_ = 0;

    unsigned cmf = input.GetBits(8);
    unsigned flg = input.GetBits(8);
    if ((cmf & 0x0F) != 8)
        Fail("Invalid Compression Method - Not (8) Deflate");
    if ((cmf * 256 + flg) % 31 != 0)
        Fail("Corrupt Compression Header flags");
    if ((cmf >> 4) + 8 > 15)
        Fail("Invalid Compression Window");
    if (flg & 0x20)
        Fail("Preset dictionary flag set");
    ReadBlockHeader(input);
}

void InflateDecoder::ReadBlockHeader(InputByteStream& input) {
    for (;;) {
        finalBlock_ = input.GetBit() != 0;
        switch (input.GetBits(2)) {
        case 0: {
            input.DropPartialByte();
            unsigned length = input.GetByte();
            length |= unsigned(input.GetByte()) << 8;
            unsigned complement = input.GetByte();
            complement |= unsigned(input.GetByte()) << 8;
            if (length != (~complement & 0xFFFF))
                Fail("Invalid Literal Count");
            if (length == 0) {
                // An empty stored block is valid (flushes emit them).
                if (finalBlock_) {
                    endOfStream_ = true;
                    return;
                }
                continue;
            }
            inStoredBlock_ = true;
            storedRemaining_ = uint16_t(length);
            return;
        }
        case 1:
            UseFixedCodes();
            return;
        case 2:
            ReadDynamicCodes(input);
            return;
        default:
            Fail("Invalid Compression Type");
        }
    }
}

void InflateDecoder::UseFixedCodes() {
    literalCode_ = Fixed().literal;
    distanceCode_ = Fixed().distance;
}

void InflateDecoder::ReadDynamicCodes(InputByteStream& input) {
    unsigned literalCount = 257 + input.GetBits(5);
    unsigned distanceCount = 1 + input.GetBits(5);
    unsigned lengthCount = 4 + input.GetBits(4);

    uint8_t codeLengths[19] = {};
    for (unsigned i = 0; i < lengthCount; ++i)
        codeLengths[kCodeLengthOrder[i]] = uint8_t(input.GetBits(3));
    InflateHuffmanDecoder lengthCode(7);
    lengthCode.MakeTable(codeLengths, 19);

    // Literal/length and distance lengths form one sequence: a repeat may run
    // on from the one into the other.
    uint8_t lengths[288 + 32] = {};
    unsigned total = literalCount + distanceCount;
    unsigned i = 0;
    while (i < total) {
        unsigned symbol = DecodeCode(input, lengthCode);
        unsigned repeat = 0;
        uint8_t value = 0;
        if (symbol < 16) {
            lengths[i++] = uint8_t(symbol);
            continue;
        } else if (symbol == 16) {
            if (i == 0)
                Fail("Length Repeat Without Previous Length");
            value = lengths[i - 1];
            repeat = 3 + input.GetBits(2);
        } else if (symbol == 17) {
            repeat = 3 + input.GetBits(3);
        } else if (symbol == 18) {
            repeat = 11 + input.GetBits(7);
        } else {
            Fail("Bad Length Code");
        }
        if (i + repeat > total)
            Fail("Length Command Out of Range");
        std::fill(lengths + i, lengths + i + repeat, value);
        i += repeat;
    }
    literalCode_.MakeTable(lengths, literalCount);
    distanceCode_.MakeTable(lengths + literalCount, distanceCount);
}

void InflateDecoder::EndBlock(InputByteStream& input) {
    if (finalBlock_)
        endOfStream_ = true;
    else
        ReadBlockHeader(input);
}

uint32_t InflateDecoder::Decode(InputByteStream& input, uint32_t count, uint8_t* output) {
    uint32_t done = 0;
    while (done < count) {
        if (position_ > delivered_) {
            uint32_t take = std::min(position_ - delivered_, count - done);
            std::memcpy(output + done, buffer_.get() + delivered_, take);
            delivered_ += take;
            done += take;
            continue;
        }
        if (endOfStream_)
            break;
        if (position_ + kMaxMatch > kDecodeLimit)
            SlideWindow();
        uint32_t target =
            uint32_t(std::min<uint64_t>(uint64_t(position_) + (count - done), kDecodeLimit));
        Produce(input, target);
    }
    return done;
}

void InflateDecoder::SlideWindow() {
    uint32_t shift = position_ - kWindowSize;
    std::memmove(buffer_.get(), buffer_.get() + shift, kWindowSize);
    position_ -= shift;
    delivered_ -= shift;
}

void InflateDecoder::Produce(InputByteStream& input, uint32_t target) {
    while (position_ < target && !endOfStream_) {
        if (inStoredBlock_)
            CopyStored(input, target);
        else if (input.end_ - input.next_ >= 8)
            DecodeFast(input, target);
        else
            DecodeSymbol(input);
    }
}

void InflateDecoder::CopyStored(InputByteStream& input, uint32_t target) {
    while (storedRemaining_ > 0 && position_ < target) {
        size_t want = std::min<size_t>(storedRemaining_, target - position_);
        size_t got = input.ReadAvailableBytes(buffer_.get() + position_, want);
        position_ += uint32_t(got);
        storedRemaining_ = uint16_t(storedRemaining_ - got);
    }
    if (storedRemaining_ == 0) {
        inStoredBlock_ = false;
        EndBlock(input);
    }
}

unsigned InflateDecoder::DecodeCode(InputByteStream& input,
                                    const InflateHuffmanDecoder& code) const {
    input.PullAvailableBytes();
    if (input.bitCount_ >= code.MaxLength()) {
        uint32_t entry = code.FastEntry(input.bitBuffer_);
        unsigned length = entry & 0xFF;
        int symbol = int(entry >> 8);
        if (entry == 0) {
            symbol = code.DecodeBits(input.bitBuffer_, input.bitCount_, length);
            if (symbol < 0)
                Fail("Invalid Huffman Code");
        }
        input.bitBuffer_ >>= length;
        input.bitCount_ -= length;
        return unsigned(symbol);
    }
    return code.Decode(input);
}

void InflateDecoder::DecodeSymbol(InputByteStream& input) {
    unsigned symbol = DecodeCode(input, literalCode_);
    if (symbol < 256) {
        buffer_[position_++] = uint8_t(symbol);
        return;
    }
    if (symbol == kEndOfBlock) {
        EndBlock(input);
        return;
    }
    if (symbol > kLastLengthSymbol)
        Fail("Invalid Huffman Literal Value");
    unsigned index = symbol - 257;
    uint32_t length = kLengthBase[index] + input.GetBits(kLengthExtra[index]);
    unsigned distanceSymbol = DecodeCode(input, distanceCode_);
    if (distanceSymbol > kLastDistanceSymbol)
        Fail("Invalid Huffman Distance Value");
    uint32_t distance =
        kDistanceBase[distanceSymbol] + input.GetBits(kDistanceExtra[distanceSymbol]);
    CopyMatch(length, distance);
}

void InflateDecoder::CopyMatch(uint32_t length, uint32_t distance) {
    uint8_t* out = buffer_.get() + position_;
    const uint8_t* from = out - distance;
    position_ += length;
    if (distance >= 16) {
        // Whole 16-byte steps; may write up to 15 bytes past the match, which
        // later output overwrites.
        uint8_t* end = out + length;
        do {
            std::memcpy(out, from, 16);
            out += 16;
            from += 16;
        } while (out < end);
    } else if (distance == 1) {
        std::memset(out, *from, length);
    } else if (distance >= 8) {
        uint8_t* end = out + length;
        do {
            std::memcpy(out, from, 8);
            out += 8;
            from += 8;
        } while (out < end);
    } else {
        for (uint32_t i = 0; i < length; ++i)
            out[i] = from[i];
    }
}

void InflateDecoder::DecodeFast(InputByteStream& input, uint32_t target) {
    const uint8_t* in = input.next_;
    const uint8_t* const inEnd = input.end_;
    uint64_t bits = input.bitBuffer_;
    unsigned available = input.bitCount_;
    uint8_t* const buffer = buffer_.get();
    uint32_t position = position_;
    const InflateHuffmanDecoder& literals = literalCode_;
    const InflateHuffmanDecoder& distances = distanceCode_;
    bool blockEnded = false;

    // One refill gives at least 48 bits: enough for a length code, its extra
    // bits, a distance code and its extra bits (15 + 5 + 15 + 13).
    while (position < target) {
        if (available < 48) {
            if (inEnd - in < 8)
                break;
            bits |= LoadLittleEndian64(in) << available;
            unsigned taken = (63 - available) >> 3;
            in += taken;
            available += taken * 8;
        }
        uint32_t entry = literals.FastEntry(bits);
        unsigned length = entry & 0xFF;
        unsigned symbol = entry >> 8;
        if (entry == 0) {
            int slow = literals.DecodeBits(bits, available, length);
            if (slow < 0)
                Fail("Invalid Huffman Code");
            symbol = unsigned(slow);
        }
        bits >>= length;
        available -= length;
        if (symbol < 256) {
            buffer[position++] = uint8_t(symbol);
            continue;
        }
        if (symbol == kEndOfBlock) {
            blockEnded = true;
            break;
        }
        if (symbol > kLastLengthSymbol)
            Fail("Invalid Huffman Literal Value");
        unsigned index = symbol - 257;
        unsigned extra = kLengthExtra[index];
        uint32_t matchLength = kLengthBase[index] + uint32_t(bits & ((1u << extra) - 1));
        bits >>= extra;
        available -= extra;

        entry = distances.FastEntry(bits);
        length = entry & 0xFF;
        symbol = entry >> 8;
        if (entry == 0) {
            int slow = distances.DecodeBits(bits, available, length);
            if (slow < 0)
                Fail("Invalid Huffman Code");
            symbol = unsigned(slow);
        }
        bits >>= length;
        available -= length;
        if (symbol > kLastDistanceSymbol)
            Fail("Invalid Huffman Distance Value");
        extra = kDistanceExtra[symbol];
        uint32_t distance = kDistanceBase[symbol] + uint32_t(bits & ((1u << extra) - 1));
        bits >>= extra;
        available -= extra;
        position_ = position;
        CopyMatch(matchLength, distance);
        position = position_;
    }

    // Hand the unused bits back; bits above `available` are look-ahead copies
    // of bytes not yet taken and must not stay in the buffer.
    input.next_ = in;
    input.bitBuffer_ = available ? bits & (~uint64_t(0) >> (64 - available)) : 0;
    input.bitCount_ = available;
    position_ = position;
    if (blockEnded)
        EndBlock(input);
}

} // namespace Pictor

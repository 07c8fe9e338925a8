// Decoder of zlib streams (deflate data behind a two-byte header), on demand:
// each Decode() call delivers the next bytes of the stream and the following
// call continues exactly where it stopped, also inside a stored block or a
// length/distance copy. The trailing Adler-32 checksum is never read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <string>

#include "imaging/input_byte_stream.h"

namespace Pictor {

// One canonical Huffman code. The reference model is the classic one
// (mincode, maxcode and valptr per code length over the symbols ordered by
// length, then value). A lookup table over the next bits answers every code
// in one or two steps (codes longer than the main table's index continue in a
// subtable) with what the symbol means: a literal, a length or distance base
// with its extra bits, the end of a block, a reserved symbol or no code at
// all. Both give the same symbols and errors; the table is what both the fast
// and the careful decoding read.
class InflateHuffmanDecoder {
public:
    // What a symbol means depends on the code it belongs to.
    enum class Alphabet { kCodeLength, kLiteralLength, kDistance };

    // A table entry: value << 16 | kind | code length << 8 | bits to drop
    // (the code and, for lengths and distances, its extra bits).
    static constexpr uint32_t kLiteral = 0x8000; // value: the byte (two with kPair, first low)
    static constexpr uint32_t kPair = 0x1000;    // two literals; code length: of both codes
    static constexpr uint32_t kSubtable =
        0x4000; // value: its first entry; code length: its index bits
    static constexpr uint32_t kSpecial = 0x2000; // value: one of the three below
    // Neither flag: a length or distance (value: its base) or a code length
    // (value: the symbol).
    static constexpr uint32_t kEndOfBlock = 0;
    static constexpr uint32_t kReservedSymbol = 1; // literal/length 286, 287; distance 30, 31
    static constexpr uint32_t kNoCode = 2;         // no code matches these bits

    static unsigned Value(uint32_t entry) { return entry >> 16; }
    static unsigned LiteralCount(uint32_t entry) { return 1 + ((entry >> 12) & 1); }
    // Stores a literal entry's one or two bytes (two bytes are written either
    // way) and returns the position after them.
    static uint8_t* WriteLiterals(uint8_t* out, uint32_t entry) {
        const uint16_t bytes = uint16_t(Value(entry));
        std::memcpy(out, &bytes, 2); // little-endian hosts
        return out + LiteralCount(entry);
    }
    static unsigned CodeLength(uint32_t entry) { return (entry >> 8) & 0xF; }
    static unsigned DroppedBits(uint32_t entry) { return entry & 0xFF; }
    static unsigned ExtraBits(uint32_t entry) { return DroppedBits(entry) - CodeLength(entry); }
    static bool Is(uint32_t entry, uint32_t specialValue) {
        return (entry & kSpecial) && Value(entry) == specialValue;
    }

    InflateHuffmanDecoder(unsigned maxLength, Alphabet alphabet);

    // Builds the code from `count` code lengths (0 = symbol without code);
    // at most the alphabet's size: 19, 288 or 32.
    void MakeTable(const uint8_t* lengths, unsigned count);

    // Reference decoding, one bit at a time from the stream. A bit pattern
    // that matches no code raises InflateDecoder::StreamError. Sets `length`
    // to the code's length.
    unsigned Decode(InputByteStream& input, unsigned& length) const;

    // Reference decoding from `available` buffered bits (first bit in bit 0).
    // Returns the symbol and sets `length`, or kNoSymbol / kNeedsBits.
    static constexpr int kNoSymbol = -1;
    static constexpr int kNeedsBits = -2;
    int DecodeBits(uint64_t bits, unsigned available, unsigned& length) const;

    // Bits of the main table's index.
    static constexpr unsigned MainBits(Alphabet alphabet) {
        return alphabet == Alphabet::kLiteralLength ? 11 : alphabet == Alphabet::kDistance ? 8 : 7;
    }

    // The entry for the code that starts the given bits (first bit in bit 0),
    // in two steps: the main table's entry, and for a longer code the
    // subtable's. Bits beyond the code are ignored, so bits past the end of
    // the input may be zero: an entry whose code fits the real bits is right.
    static uint32_t MainEntry(const uint32_t* table, unsigned mainBits, uint64_t bits) {
        return table[bits & ((uint32_t(1) << mainBits) - 1)];
    }
    static uint32_t SubtableEntry(const uint32_t* table, unsigned mainBits, uint32_t main,
                                  uint64_t bits) {
        return table[Value(main) + ((bits >> mainBits) & ((uint32_t(1) << CodeLength(main)) - 1))];
    }
    uint32_t Entry(uint64_t bits) const {
        uint32_t entry = MainEntry(table_, mainBits_, bits);
        return entry & kSubtable ? SubtableEntry(table_, mainBits_, entry, bits) : entry;
    }
    const uint32_t* Table() const { return table_; }
    // Whether some main entries hold two literals (see PairLiterals).
    bool HoldsLiteralPairs() const { return holdsPairs_; }

    // The entry the table holds for `symbol` with a code of `length` bits.
    uint32_t EntryForSymbol(unsigned symbol, unsigned length) const;

    unsigned MaxLength() const { return maxLength_; }

private:
    static constexpr unsigned kMaxSymbols = 288;
    static constexpr unsigned kMaxMainBits = 11; // MainBits(Alphabet::kLiteralLength)
    static constexpr double kPairsWorthwhile =
        0.5; // photographs: 0.7 to 0.9; text, renders: below 0.3
    // The main table and, at worst, one subtable of 2^(15 - main bits)
    // entries for every symbol whose code is longer than the main index.
    static constexpr unsigned kTableSize =
        (1u << kMaxMainBits) + kMaxSymbols * (1u << (15 - kMaxMainBits));

    void FillMainTable();
    void FillSubtables(unsigned longest);
    bool LiteralPairsPay(const unsigned* literalsAtLength) const;
    void PairLiterals(unsigned shortestLiteral);

    unsigned maxLength_;
    unsigned mainBits_;
    const uint32_t* meanings_; // the entry of each symbol, without its code length
    bool mayPairLiterals_;
    bool holdsPairs_ = false;
    int minCode_[16] = {};
    int maxCode_[16] = {};
    int valPtr_[16] = {};
    uint16_t symbols_[kMaxSymbols] = {};
    uint32_t table_[kTableSize]; // filled by MakeTable as far as it is used
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

    // The final block has ended and every byte of it was handed out (a fast
    // turn may decode past a request, up to the block's end).
    bool EndOfStream() const { return endOfStream_ && delivered_ == position_; }

private:
    // Output goes into one buffer whose first kWindowSize bytes before the
    // write position are the window; when the buffer is full its last
    // kWindowSize bytes slide to the front. A copy always runs to its end in
    // the buffer: bytes decoded beyond a request wait there for the next call.
    // Large requests are decoded straight into the caller's buffer once it
    // holds a window's worth (DecodeDirect).
    static constexpr uint32_t kMaxMatch = 258;
    static constexpr uint32_t kSlack = 32; // match copies may write up to 31 bytes past a match
    // The most a fast turn writes from below its end: two literal entries of
    // two bytes, then a match with its overrun.
    static constexpr uint32_t kMaxTurnOutput = 4 + kMaxMatch + kSlack;
    // Large enough that sliding the window costs little beside decoding.
    static constexpr uint32_t kBufferSize = kWindowSize + 262144 + kMaxTurnOutput;
    static constexpr uint32_t kDecodeLimit = kBufferSize - kMaxTurnOutput;
    // A fast turn refills twice, each time loading a word and keeping up to
    // seven bytes of it; the fast path stops this far from the input's end.
    static constexpr ptrdiff_t kFastInputMargin = 15;

    void ReadBlockHeader(InputByteStream& input);
    void UseFixedCodes();
    void ReadDynamicCodes(InputByteStream& input);
    void EndBlock(InputByteStream& input);
    void SlideWindow();
    void Produce(InputByteStream& input, uint32_t target);
    void CopyStored(InputByteStream& input, uint32_t target);
    void DecodeFast(InputByteStream& input, uint32_t target);
    uint8_t* DecodeFastInto(InputByteStream& input, uint8_t* out, uint8_t* end);
    bool CanDecodeDirect(const InputByteStream& input, uint32_t done, uint32_t count) const;
    uint32_t DecodeDirect(InputByteStream& input, uint8_t* output, uint32_t done, uint32_t count);
    void DecodeSymbol(InputByteStream& input);
    uint32_t NextEntry(InputByteStream& input, const InflateHuffmanDecoder& code) const;

    std::unique_ptr<uint8_t[]> buffer_;
    uint32_t position_ = kWindowSize;   // where the next decoded byte goes
    uint32_t delivered_ = kWindowSize;  // bytes before this were handed out
    InflateHuffmanDecoder literalCode_; // the codes of the current dynamic block
    InflateHuffmanDecoder distanceCode_;
    const InflateHuffmanDecoder* literals_ = nullptr; // the block's codes: dynamic or fixed
    const InflateHuffmanDecoder* distances_ = nullptr;
    bool finalBlock_ = false;
    bool endOfStream_ = false;
    bool inStoredBlock_ = false;
    uint16_t storedRemaining_ = 0;
};

} // namespace Pictor

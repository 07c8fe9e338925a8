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

constexpr unsigned kEndOfBlockSymbol = 256;
constexpr unsigned kLastLengthSymbol = 285;
constexpr unsigned kLastDistanceSymbol = 29;

uint64_t LoadLittleEndian64(const uint8_t* p) {
    uint64_t value;
    std::memcpy(&value, p, sizeof value);
    return value; // little-endian hosts only (x86-64, AArch64)
}

uint64_t LowBits64(uint64_t bits, unsigned count) {
    return bits & (~uint64_t(0) >> (64 - count)); // count 1 ... 64
}

struct ByteReversal {
    uint8_t of[256] = {};
    constexpr ByteReversal() {
        for (unsigned b = 0; b < 256; ++b)
            for (unsigned i = 0; i < 8; ++i)
                of[b] |= uint8_t(((b >> i) & 1) << (7 - i));
    }
};
constexpr ByteReversal kByteReversal;

// The low `length` bits of a code (up to 15) in reverse order.
unsigned ReverseBits(unsigned code, unsigned length) {
    unsigned reversed =
        unsigned(kByteReversal.of[code & 0xFF]) << 8 | kByteReversal.of[code >> 8 & 0xFF];
    return reversed >> (16 - length);
}

// The shortest code length that some symbol has (one must have a code).
unsigned ShortestLength(const unsigned* symbolsAtLength) {
    unsigned length = 1;
    while (symbolsAtLength[length] == 0)
        ++length;
    return length;
}

[[noreturn]] void Fail(const char* message) {
    throw InflateDecoder::StreamError(message);
}

struct FixedCodes {
    InflateHuffmanDecoder literal{15, InflateHuffmanDecoder::Alphabet::kLiteralLength};
    InflateHuffmanDecoder distance{15, InflateHuffmanDecoder::Alphabet::kDistance};
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

using H = InflateHuffmanDecoder;

constexpr uint32_t MakeEntry(uint32_t value, uint32_t kind, unsigned codeLength,
                             unsigned extraBits) {
    return value << 16 | kind | codeLength << 8 | (codeLength + extraBits);
}

// What each symbol of each alphabet means, as a table entry without its
// code length.
struct SymbolMeanings {
    uint32_t codeLength[19] = {};
    uint32_t literalLength[288] = {};
    uint32_t distance[32] = {};
    constexpr SymbolMeanings() {
        for (unsigned s = 0; s < 19; ++s)
            codeLength[s] = MakeEntry(s, 0, 0, 0);
        for (unsigned s = 0; s < 288; ++s)
            literalLength[s] = s < 256 ? MakeEntry(s, H::kLiteral, 0, 0)
                               : s == kEndOfBlockSymbol
                                   ? MakeEntry(H::kEndOfBlock, H::kSpecial, 0, 0)
                               : s > kLastLengthSymbol
                                   ? MakeEntry(H::kReservedSymbol, H::kSpecial, 0, 0)
                                   : MakeEntry(kLengthBase[s - 257], 0, 0, kLengthExtra[s - 257]);
        for (unsigned s = 0; s < 32; ++s)
            distance[s] = s > kLastDistanceSymbol
                              ? MakeEntry(H::kReservedSymbol, H::kSpecial, 0, 0)
                              : MakeEntry(kDistanceBase[s], 0, 0, kDistanceExtra[s]);
    }
};
constexpr SymbolMeanings kMeanings;

constexpr uint32_t kNoCodeEntry = MakeEntry(H::kNoCode, H::kSpecial, 0, 0);

// The fast path's bit buffer, refilled a word at a time without a branch.
// The bits above the count are already the next input bytes (the refill
// loaded a whole word); the next refill ORs the same bytes over them again, so
// they need no clearing until the buffer is handed back.
struct FastBits {
    const uint8_t* in;
    uint64_t buffer;
    // The count of bits is the low byte (below 64); dropping subtracts whole
    // table entries, whose low byte is their bit count, and leaves the higher
    // bits undefined instead of spending a mask on every symbol.
    uint32_t available;

    void Refill() {
        buffer |= LoadLittleEndian64(in) << (available & 63);
        in += 7 - ((available >> 3) & 7);
        available |= 56;
    }
    // Drops an entry's code and extra bits; returns the bits as they were,
    // which the extra bits are read from.
    uint64_t Drop(uint32_t entry) {
        const uint64_t before = buffer;
        buffer >>= entry & 63; // the dropped bits; a shift takes only the count's low 6 bits
        available -= entry;
        return before;
    }
    unsigned Count() const { return available & 0xFF; }
    uint64_t Owned() const { return Count() ? LowBits64(buffer, Count()) : 0; }
};

// Makes the compiler finish computing `value` here. After a match's refill it
// would otherwise load the input word before the copy (the copy's stores may
// alias it), spill it to the stack and shift it in afterwards.
inline void KeepInRegister(uint64_t& value) {
#if defined(__GNUC__) || defined(__clang__)
    asm("" : "+r"(value));
#else
    (void)value;
#endif
}

// A length or distance: its base plus the extra bits that follow its code.
// Such an entry has no flag set, so the byte above the dropped bits is just
// the code length.
// With BMI2 the low-bits mask is one instruction; compilers do not find it
// here on their own.
template <bool kBmi2> uint32_t BaseAndExtra(uint64_t before, uint32_t entry) {
    uint32_t codeAndExtra; // 28 bits at most
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    if constexpr (kBmi2)
        asm("bzhi %2, %1, %0" : "=r"(codeAndExtra) : "r"(uint32_t(before)), "r"(entry));
    else
#endif
        codeAndExtra = uint32_t(before) & ~(~0u << (entry & 0xFF));
    return H::Value(entry) + (codeAndExtra >> uint8_t(entry >> 8));
}

// One literal entry: a single byte, or where the block's table pairs
// literals, one or two.
template <bool kPairs> uint8_t* WriteLiteralEntry(uint8_t* out, uint32_t entry) {
    if constexpr (kPairs)
        return H::WriteLiterals(out, entry);
    *out = uint8_t(H::Value(entry));
    return out + 1;
}

template <size_t kBytes> struct Word { uint8_t bytes[kBytes]; };

// A match whose period (its distance) lies between one and two words: the
// period's first and last word are loaded once and stored once per period,
// so no load waits for the match's own stores. Writes up to a period minus
// one past `end`.
template <size_t kBytes>
[[gnu::always_inline]] inline void RepeatPeriod(uint8_t* out, uint8_t* const end,
                                                uint32_t distance) {
    Word<kBytes> head, tail;
    std::memcpy(&head, out - distance, kBytes);
    std::memcpy(&tail, out - kBytes, kBytes);
    for (; out < end; out += distance) {
        std::memcpy(out, &head, kBytes);
        std::memcpy(out + distance - kBytes, &tail, kBytes);
    }
}

// A period shorter than a word: one word holds the pattern, repeated, and is
// stored at steps of the largest multiple of the period that fits in it.
[[gnu::always_inline]] inline void RepeatShortPeriod(uint8_t* out, uint8_t* const end,
                                                     uint32_t distance) {
    static constexpr uint8_t kStep[8] = {0, 8, 8, 6, 8, 5, 6, 7};
    uint64_t pattern = LoadLittleEndian64(out - distance) & (~uint64_t(0) >> (64 - 8 * distance));
    for (uint32_t filled = distance; filled < 8; filled *= 2)
        pattern |= pattern << (8 * filled);
    const uint32_t step = kStep[distance];
    for (int i = 0; i < 4; ++i, out += step)
        std::memcpy(out, &pattern, 8);
    for (; out < end; out += step)
        std::memcpy(out, &pattern, 8);
}

// Copies a match of end - out bytes from `distance` back. A distant source
// is copied 16 bytes at a time, the first 32 whatever the length (most
// matches are shorter), so only long matches reach the loop and its exit is
// predictable. It may write up to 31 bytes past `end`, which later output
// overwrites.
[[gnu::always_inline]] inline void CopyMatch(uint8_t* out, uint8_t* const end, uint32_t distance) {
    if (distance >= 32) {
        const uint8_t* from = out - distance;
        std::memcpy(out, from, 16);
        std::memcpy(out + 16, from + 16, 16);
        for (out += 32, from += 32; out < end; out += 16, from += 16)
            std::memcpy(out, from, 16);
    } else if (distance >= 16) {
        RepeatPeriod<16>(out, end, distance);
    } else if (distance >= 8) {
        RepeatPeriod<8>(out, end, distance);
    } else {
        RepeatShortPeriod(out, end, distance);
    }
}

// The fast path's state: it runs while the input holds at least
// kFastInputMargin bytes at the start of a turn, so the turn's two refills
// may load whole words, and while the output is below `end`, which lies
// kMaxTurnOutput bytes or more before the buffer's end, so a turn's writes
// (three literal entries of up to two bytes each, or two and a match with its
// overrun) always fit. It stops where the careful path can take over: the bit
// buffer and the output position exact, the next code not yet taken.
struct FastTurns {
    FastBits bits;
    const uint8_t* inLimit;
    uint8_t* out;
    uint8_t* end;
    const uint32_t* literals; // the tables of the block's codes
    const uint32_t* distances;
    bool blockEnded = false;
};

constexpr unsigned kLiteralBits = H::MainBits(H::Alphabet::kLiteralLength);
constexpr unsigned kDistanceBits = H::MainBits(H::Alphabet::kDistance);

// Local copies throughout: output stores may alias anything in memory.
template <bool kPairs, bool kBmi2>
[[gnu::always_inline]] inline void DecodeTurns(FastTurns& turns) {
    FastBits bits = turns.bits;
    uint8_t* out = turns.out;
    uint8_t* const end = turns.end;
    const uint8_t* const inLimit = turns.inLimit;
    const uint32_t* const literals = turns.literals;
    const uint32_t* const distances = turns.distances;
    bool blockEnded = false;

    if (out < end && bits.in <= inLimit) {
        // The next main entry is looked up ahead, before the refill that
        // precedes taking it: a lookup needs only 15 real bits, and after a
        // refill all 64 are real.
        bits.Refill();
        uint32_t entry = H::MainEntry(literals, kLiteralBits, bits.buffer);
        for (;;) {
            // 56 bits or more are ours here.
            if (entry & H::kLiteral) {
                // Three literal entries take 33 bits at most (11 each, a pair
                // included); after one or two, a refill makes room for a match.
                bits.Drop(entry);
                out = WriteLiteralEntry<kPairs>(out, entry);
                entry = H::MainEntry(literals, kLiteralBits, bits.buffer);
                if (entry & H::kLiteral) {
                    bits.Drop(entry);
                    out = WriteLiteralEntry<kPairs>(out, entry);
                    entry = H::MainEntry(literals, kLiteralBits, bits.buffer);
                    if (entry & H::kLiteral) {
                        bits.Drop(entry);
                        out = WriteLiteralEntry<kPairs>(out, entry);
                        entry = H::MainEntry(literals, kLiteralBits, bits.buffer);
                        if (out >= end || bits.in > inLimit)
                            break;
                        bits.Refill();
                        continue;
                    }
                }
                bits.Refill();
            }
            if (entry & (H::kSubtable | H::kSpecial)) {
                // Rare: a long code, the end of the block or a bad code.
                if (entry & H::kSubtable)
                    entry = H::SubtableEntry(literals, kLiteralBits, entry, bits.buffer);
                if (entry & H::kLiteral) {
                    bits.Drop(entry);
                    out = H::WriteLiterals(out, entry);
                    entry = H::MainEntry(literals, kLiteralBits, bits.buffer);
                    if (out >= end || bits.in > inLimit)
                        break;
                    bits.Refill();
                    continue;
                }
                if (H::Is(entry, H::kEndOfBlock)) {
                    bits.Drop(entry);
                    blockEnded = true;
                    break;
                }
                if (entry & H::kSpecial)
                    Fail(H::Value(entry) == H::kNoCode ? "Invalid Huffman Code"
                                                       : "Invalid Huffman Literal Value");
            }
            // A length and a distance take 15 + 5 + 15 + 13 = 48 bits at most.
            const uint32_t length = BaseAndExtra<kBmi2>(bits.Drop(entry), entry);
            entry = H::MainEntry(distances, kDistanceBits, bits.buffer);
            if (entry & (H::kSubtable | H::kSpecial)) {
                if (entry & H::kSubtable)
                    entry = H::SubtableEntry(distances, kDistanceBits, entry, bits.buffer);
                if (entry & H::kSpecial)
                    Fail(H::Value(entry) == H::kNoCode ? "Invalid Huffman Code"
                                                       : "Invalid Huffman Distance Value");
            }
            const uint32_t distance = BaseAndExtra<kBmi2>(bits.Drop(entry), entry);
            // The next lookup and the refill go before the copy, so that
            // they need not wait behind its stores.
            entry = H::MainEntry(literals, kLiteralBits, bits.buffer);
            uint8_t* const copy = out;
            out += length;
            if (out >= end || bits.in > inLimit) {
                CopyMatch(copy, out, distance);
                break;
            }
            bits.Refill();
            if constexpr (!kPairs) // with pairs it moves the spills elsewhere
                KeepInRegister(bits.buffer);
            CopyMatch(copy, out, distance);
        }
    }
    turns.bits = bits;
    turns.out = out;
    turns.blockEnded = blockEnded;
}

// One copy of the loop per table kind: single literals, or literal pairs.
template <bool kPairs> void DecodeTurnsPortable(FastTurns& turns) {
    DecodeTurns<kPairs, false>(turns);
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// The same loop with the BMI2 shifts where the processor has them (one
// instruction for a variable shift or a low-bits mask).
template <bool kPairs> __attribute__((target("bmi2"))) void DecodeTurnsBmi2(FastTurns& turns) {
    DecodeTurns<kPairs, true>(turns);
}

void RunFastTurns(FastTurns& turns, bool pairs) {
    static const bool bmi2 = __builtin_cpu_supports("bmi2");
    if (bmi2)
        pairs ? DecodeTurnsBmi2<true>(turns) : DecodeTurnsBmi2<false>(turns);
    else
        pairs ? DecodeTurnsPortable<true>(turns) : DecodeTurnsPortable<false>(turns);
}
#else
void RunFastTurns(FastTurns& turns, bool pairs) {
    pairs ? DecodeTurnsPortable<true>(turns) : DecodeTurnsPortable<false>(turns);
}
#endif

} // namespace

// ---------------------------------------------------------------------------
// InflateHuffmanDecoder

InflateHuffmanDecoder::InflateHuffmanDecoder(unsigned maxLength, Alphabet alphabet)
    : maxLength_(maxLength), mainBits_(MainBits(alphabet)),
      meanings_(alphabet == Alphabet::kCodeLength      ? kMeanings.codeLength
                : alphabet == Alphabet::kLiteralLength ? kMeanings.literalLength
                                                       : kMeanings.distance),
      mayPairLiterals_(alphabet == Alphabet::kLiteralLength) {
    std::fill(std::begin(maxCode_), std::end(maxCode_), -1);
    std::fill(table_, table_ + (1u << mainBits_), kNoCodeEntry);
}

uint32_t InflateHuffmanDecoder::EntryForSymbol(unsigned symbol, unsigned length) const {
    // The meaning has the extra bits in its low byte; the code length adds
    // to them and goes into its own field.
    return meanings_[symbol] + length * 0x101;
}

void InflateHuffmanDecoder::MakeTable(const uint8_t* lengths, unsigned count) {
    count = std::min(count, kMaxSymbols);
    // The symbols in two halves, counted and placed side by side: with one
    // counter per length each symbol would wait for the previous one's
    // increment whenever neighbours share a length, as they mostly do.
    const unsigned half = (count + 1) / 2;
    const unsigned pairs = count - half;
    unsigned inFirstHalf[16] = {};
    unsigned perLength[16] = {};
    for (unsigned s = 0; s < pairs; ++s) {
        ++inFirstHalf[std::min<unsigned>(lengths[s], 15)];
        ++perLength[std::min<unsigned>(lengths[half + s], 15)];
    }
    if (count % 2)
        ++inFirstHalf[std::min<unsigned>(lengths[half - 1], 15)];
    for (unsigned length = 0; length <= 15; ++length)
        perLength[length] += inFirstHalf[length];

    // Symbols ordered by (code length, value); codes assigned canonically.
    unsigned nextOfFirstHalf[16] = {};
    unsigned nextOfSecondHalf[16] = {};
    int code = 0;
    unsigned position = 0;
    unsigned longest = 0;
    for (unsigned length = 1; length <= 15; ++length) {
        valPtr_[length] = int(position);
        minCode_[length] = code;
        maxCode_[length] = perLength[length] ? code + int(perLength[length]) - 1 : -1;
        nextOfFirstHalf[length] = position;
        nextOfSecondHalf[length] = position + inFirstHalf[length];
        position += perLength[length];
        code = (code + int(perLength[length])) << 1;
        if (perLength[length] && length <= maxLength_)
            longest = length;
    }
    const auto place = [&](unsigned* next, unsigned s) {
        const unsigned length = lengths[s];
        if (length != 0 && length <= 15)
            symbols_[next[length]++] = uint16_t(s);
    };
    for (unsigned s = 0; s < pairs; ++s) {
        place(nextOfFirstHalf, s);
        place(nextOfSecondHalf, half + s);
    }
    if (count % 2)
        place(nextOfFirstHalf, half - 1);
    FillMainTable();
    if (mayPairLiterals_) {
        // The literals' lengths: those of all symbols less the few above the
        // bytes, rather than a second count over all of them.
        for (unsigned s = 256; s < count; ++s)
            --perLength[std::min<unsigned>(lengths[s], 15)];
        holdsPairs_ = LiteralPairsPay(perLength);
        if (holdsPairs_)
            PairLiterals(ShortestLength(perLength));
    }
    if (longest > mainBits_)
        FillSubtables(longest);
}

// The share of the input that two literal codes fitting the main index
// together would cover, at the lengths' own probabilities (a code of L bits
// starts 2^-L of all bit patterns): pairing the table costs about as much as
// decoding a few thousand symbols, so it pays only where pairs are common.
bool InflateHuffmanDecoder::LiteralPairsPay(const unsigned* literalsAtLength) const {
    // In units of 2^-mainBits, as integers: this runs for every block.
    uint64_t pairs = 0;
    for (unsigned first = 1; first < mainBits_; ++first)
        for (unsigned second = 1; first + second <= mainBits_; ++second)
            pairs += uint64_t(literalsAtLength[first]) * literalsAtLength[second]
                     << (mainBits_ - first - second);
    return double(pairs) >= kPairsWorthwhile * double(1u << mainBits_);
}

// Visits every code that the reference walk can reach: one that fits its
// length (over-full length sets leave the surplus unreachable, exactly as the
// walk does), with its bits reversed into the order the input delivers them.
template <typename Visit>
static void ForEachReachableCode(const int* minCode, const int* maxCode, const int* valPtr,
                                 const uint16_t* symbols, unsigned fromLength, unsigned toLength,
                                 Visit visit) {
    for (unsigned length = fromLength; length <= toLength; ++length) {
        if (maxCode[length] < 0)
            continue;
        for (int c = minCode[length]; c <= maxCode[length] && c < (1 << length); ++c)
            visit(symbols[valPtr[length] + c - minCode[length]], length,
                  ReverseBits(unsigned(c), length));
    }
}

// Two literal codes that fit the main index together share one entry, so one
// lookup yields both. The entries of a first code of L bits lie at its
// reversed code plus every multiple of 2^L, and the bits above it, the index
// shifted by L, start the second code: so each first code walks the entries
// of the second codes in order, from a copy of the table's low end taken
// before any pair is written. The copy holds what a second literal adds to
// a pair entry, or a code length too long to fit beside any first code.
void InflateHuffmanDecoder::PairLiterals(unsigned shortestLiteral) {
    constexpr uint32_t kNeverFits = 0xF00;
    uint32_t seconds[1u << (kMaxMainBits - 1)];
    const unsigned secondCount = 1u << (mainBits_ - shortestLiteral);
    for (unsigned k = 0; k < secondCount; ++k) {
        const uint32_t entry = table_[k];
        seconds[k] = entry & kLiteral ? (entry & 0xFF0000) << 8 | (entry & 0xFFF) : kNeverFits;
    }
    ForEachReachableCode(minCode_, maxCode_, valPtr_, symbols_, shortestLiteral, mainBits_ - 1,
                         [&](unsigned symbol, unsigned length, unsigned reversed) {
                             if (symbol > 255)
                                 return;
                             const uint32_t single = EntryForSymbol(symbol, length);
                             const uint32_t pair = MakeEntry(symbol, kLiteral | kPair, length, 0);
                             const uint32_t room = (mainBits_ - length) << 8;
                             for (unsigned k = 0; k < 1u << (mainBits_ - length); ++k) {
                                 const uint32_t second = seconds[k];
                                 table_[reversed | k << length] =
                                     (second & 0xF00) <= room ? pair + second : single;
                             }
                         });
}

// By doubling: while the table is 2^L entries long it holds every code of L
// bits or fewer once, each code of L bits at its own index; doubling the
// table repeats them for the next bit, which they do not look at.
void InflateHuffmanDecoder::FillMainTable() {
    table_[0] = kNoCodeEntry;
    for (unsigned length = 1, size = 1; length <= mainBits_; ++length, size *= 2) {
        std::memcpy(table_ + size, table_, size * sizeof table_[0]);
        ForEachReachableCode(minCode_, maxCode_, valPtr_, symbols_, length, length,
                             [&](unsigned symbol, unsigned, unsigned reversed) {
                                 table_[reversed] = EntryForSymbol(symbol, length);
                             });
    }
}

// Codes longer than the main index: each main entry they start from points
// to a subtable indexed by the following (longest - main) bits.
void InflateHuffmanDecoder::FillSubtables(unsigned longest) {
    const unsigned subBits = longest - mainBits_;
    const unsigned subSize = 1u << subBits;
    unsigned used = 1u << mainBits_;
    ForEachReachableCode(minCode_, maxCode_, valPtr_, symbols_, mainBits_ + 1, longest,
                         [&](unsigned symbol, unsigned length, unsigned reversed) {
                             uint32_t& main = table_[reversed & ((1u << mainBits_) - 1)];
                             if (!(main & kSubtable)) {
                                 main = MakeEntry(used, kSubtable, subBits, 0);
                                 std::fill(table_ + used, table_ + used + subSize, kNoCodeEntry);
                                 used += subSize;
                             }
                             uint32_t entry = EntryForSymbol(symbol, length);
                             uint32_t* sub = table_ + Value(main);
                             for (unsigned i = reversed >> mainBits_; i < subSize;
                                  i += 1u << (length - mainBits_))
                                 sub[i] = entry;
                         });
}

unsigned InflateHuffmanDecoder::Decode(InputByteStream& input, unsigned& length) const {
    int code = 0;
    for (length = 1; length <= maxLength_; ++length) {
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
    return kNoSymbol;
}

// ---------------------------------------------------------------------------
// InflateDecoder

InflateDecoder::InflateDecoder()
    : buffer_(new uint8_t[kBufferSize]()), literalCode_(15, H::Alphabet::kLiteralLength),
      distanceCode_(15, H::Alphabet::kDistance) {}

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
    literals_ = &Fixed().literal;
    distances_ = &Fixed().distance;
}

void InflateDecoder::ReadDynamicCodes(InputByteStream& input) {
    unsigned literalCount = 257 + input.GetBits(5);
    unsigned distanceCount = 1 + input.GetBits(5);
    unsigned lengthCount = 4 + input.GetBits(4);

    uint8_t codeLengths[19] = {};
    for (unsigned i = 0; i < lengthCount; ++i)
        codeLengths[kCodeLengthOrder[i]] = uint8_t(input.GetBits(3));
    InflateHuffmanDecoder lengthCode(7, H::Alphabet::kCodeLength);
    lengthCode.MakeTable(codeLengths, 19);

    // Literal/length and distance lengths form one sequence: a repeat may run
    // on from the one into the other.
    uint8_t lengths[288 + 32] = {};
    unsigned total = literalCount + distanceCount;
    unsigned i = 0;
    while (i < total) {
        unsigned symbol = H::Value(NextEntry(input, lengthCode));
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
    literals_ = &literalCode_;
    distances_ = &distanceCode_;
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
        if (CanDecodeDirect(input, done, count)) {
            done = DecodeDirect(input, output, done, count);
            continue;
        }
        if (position_ + kMaxMatch > kDecodeLimit)
            SlideWindow();
        // A large request takes a window's worth through the buffer, then
        // the rest straight into itself.
        uint32_t want = count - done;
        if (done < kWindowSize && want >= 3 * kWindowSize)
            want = kWindowSize - done;
        uint32_t target = uint32_t(std::min<uint64_t>(uint64_t(position_) + want, kDecodeLimit));
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
        else if (input.end_ - input.next_ >= kFastInputMargin)
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

// The careful path: the table answers when the buffered bits hold the whole
// code; otherwise (near the end of the input, or no code matches) the
// reference walk reads bit by bit and raises the stream's own errors.
uint32_t InflateDecoder::NextEntry(InputByteStream& input,
                                   const InflateHuffmanDecoder& code) const {
    input.PullAvailableBytes();
    uint32_t entry = code.Entry(input.bitBuffer_);
    unsigned length = H::CodeLength(entry);
    if (H::Is(entry, H::kNoCode) || length > input.bitCount_) {
        unsigned symbol = code.Decode(input, length);
        return code.EntryForSymbol(symbol, length);
    }
    input.bitBuffer_ >>= length;
    input.bitCount_ -= length;
    return entry;
}

void InflateDecoder::DecodeSymbol(InputByteStream& input) {
    uint32_t entry = NextEntry(input, *literals_);
    if (entry & H::kLiteral) {
        position_ = uint32_t(H::WriteLiterals(buffer_.get() + position_, entry) - buffer_.get());
        return;
    }
    if (H::Is(entry, H::kEndOfBlock)) {
        EndBlock(input);
        return;
    }
    if (entry & H::kSpecial)
        Fail("Invalid Huffman Literal Value");
    uint32_t length = H::Value(entry) + input.GetBits(H::ExtraBits(entry));
    entry = NextEntry(input, *distances_);
    if (entry & H::kSpecial)
        Fail("Invalid Huffman Distance Value");
    uint32_t distance = H::Value(entry) + input.GetBits(H::ExtraBits(entry));
    uint8_t* out = buffer_.get() + position_;
    CopyMatch(out, out + length, distance);
    position_ += length;
}

void InflateDecoder::DecodeFast(InputByteStream& input, uint32_t target) {
    uint8_t* const buffer = buffer_.get();
    position_ = uint32_t(DecodeFastInto(input, buffer + position_, buffer + target) - buffer);
}

uint8_t* InflateDecoder::DecodeFastInto(InputByteStream& input, uint8_t* out, uint8_t* end) {
    FastTurns turns{{input.next_, input.bitBuffer_, input.bitCount_},
                    input.end_ - kFastInputMargin,
                    out,
                    end,
                    literals_->Table(),
                    distances_->Table()};
    RunFastTurns(turns, literals_->HoldsLiteralPairs());
    input.next_ = turns.bits.in;
    input.bitBuffer_ = turns.bits.Owned();
    input.bitCount_ = turns.bits.Count();
    if (turns.blockEnded)
        EndBlock(input);
    return turns.out;
}

// A large request that already holds a whole window of its own output is
// decoded straight into it: every match then reaches back only into the
// request's bytes, and nothing is copied twice. The window copy afterwards
// costs no more than the copying it saved.
bool InflateDecoder::CanDecodeDirect(const InputByteStream& input, uint32_t done,
                                     uint32_t count) const {
    return position_ == delivered_ && !inStoredBlock_ && done >= kWindowSize &&
           count - done >= 2 * kWindowSize && input.end_ - input.next_ >= kFastInputMargin;
}

uint32_t InflateDecoder::DecodeDirect(InputByteStream& input, uint8_t* output, uint32_t done,
                                      uint32_t count) {
    uint8_t* out = output + done;
    // The fast loop's writes stay inside the request; its last bytes go
    // through the buffer.
    uint8_t* const end = output + count - kMaxTurnOutput;
    while (out < end && !endOfStream_ && !inStoredBlock_ &&
           input.end_ - input.next_ >= kFastInputMargin)
        out = DecodeFastInto(input, out, end);
    std::memcpy(buffer_.get(), out - kWindowSize, kWindowSize);
    position_ = delivered_ = kWindowSize;
    return uint32_t(out - output);
}

} // namespace Pictor

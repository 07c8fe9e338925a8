// The inflater against zlib as the oracle, and its own error cases.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "imaging/inflate_decoder.h"

using Pictor::InflateDecoder;
using Pictor::InflateHuffmanDecoder;
using Pictor::InputByteStream;
using Pictor::InputMemoryStream;
using Bytes = std::vector<uint8_t>;

namespace {

Bytes Compress(const Bytes& data, int level, int strategy, int windowBits, size_t flushEvery = 0,
               int flush = Z_SYNC_FLUSH) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, level, Z_DEFLATED, windowBits, 8, strategy), Z_OK);
    // Each flush adds an empty stored block of up to 6 bytes.
    size_t flushes = flushEvery ? data.size() / flushEvery + 1 : 0;
    Bytes out(deflateBound(&z, data.size()) + 64 + 6 * flushes);
    z.next_out = out.data();
    z.avail_out = unsigned(out.size());
    size_t offset = 0;
    while (offset < data.size()) {
        size_t piece = flushEvery ? std::min(flushEvery, data.size() - offset) : data.size();
        bool last = offset + piece == data.size();
        z.next_in = const_cast<uint8_t*>(data.data() + offset);
        z.avail_in = unsigned(piece);
        offset += piece;
        EXPECT_EQ(deflate(&z, last ? Z_FINISH : flush), last ? Z_STREAM_END : Z_OK);
    }
    if (data.empty()) {
        EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    }
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// Decodes a whole stream asking for the sizes in `requests` in turn (cycling).
Bytes Inflate(const Bytes& stream, size_t expected, const std::vector<uint32_t>& requests) {
    InputMemoryStream input(stream.data(), stream.size());
    InflateDecoder decoder;
    decoder.OpenStream(input);
    Bytes out(expected + 1000);
    size_t done = 0;
    for (size_t i = 0; !decoder.EndOfStream(); ++i) {
        // Never more than one byte beyond the expected end.
        uint32_t want =
            uint32_t(std::min<size_t>(requests[i % requests.size()], expected + 1 - done));
        uint32_t got = decoder.Decode(input, want, out.data() + done);
        done += got;
        if (got < want) {
            EXPECT_TRUE(decoder.EndOfStream());
            break;
        }
        if (done > expected)
            break;
    }
    out.resize(done);
    return out;
}

Bytes RandomBytes(size_t n, unsigned seed, unsigned alphabet = 256) {
    std::mt19937 rng(seed);
    Bytes data(n);
    for (auto& b : data)
        b = uint8_t(rng() % alphabet);
    return data;
}

// Text-like data with repeats near and far, runs, and picture-like rows.
Bytes MixedBytes(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    static const char* words[] = {"inflate ", "window ",  "the ",   "length ",  "distance ",
                                  "a ",       "stored\n", "block ", "huffman ", "zlib "};
    Bytes data;
    while (data.size() < n) {
        switch (rng() % 4) {
        case 0:
            for (int i = 0; i < 20; ++i) {
                const char* w = words[rng() % 10];
                data.insert(data.end(), w, w + std::strlen(w));
            }
            break;
        case 1:
            data.insert(data.end(), 1 + rng() % 300, uint8_t(rng()));
            break;
        case 2: {
            size_t back = 1 + rng() % std::min<size_t>(data.size() + 1, 40000);
            size_t length = 3 + rng() % 600;
            for (size_t i = 0; i < length && back <= data.size(); ++i)
                data.push_back(data[data.size() - back]);
            break;
        }
        default:
            for (int i = 0; i < 256; ++i)
                data.push_back(uint8_t(i * 3 + (rng() % 4)));
        }
    }
    data.resize(n);
    return data;
}

std::string Error(const Bytes& stream, size_t request = 1 << 20) {
    try {
        InputMemoryStream input(stream.data(), stream.size());
        InflateDecoder decoder;
        decoder.OpenStream(input);
        Bytes out(request);
        while (!decoder.EndOfStream() &&
               decoder.Decode(input, uint32_t(request), out.data()) == request) {
        }
    } catch (const InflateDecoder::StreamError& e) {
        return std::string("inflate: ") + e.what();
    } catch (const InputByteStream::StreamError& e) {
        return std::string("input: ") + e.what();
    }
    return "ok";
}

// Writes deflate bit fields, least significant bit first; Huffman codes are
// written most significant bit first.
struct BitWriter {
    Bytes bytes;
    unsigned used = 8;
    BitWriter() {
        bytes.push_back(0x78);
        bytes.push_back(0x9C);
    }
    void Bits(uint32_t value, unsigned count) {
        for (unsigned i = 0; i < count; ++i) {
            if (used == 8) {
                bytes.push_back(0);
                used = 0;
            }
            bytes.back() |= uint8_t(((value >> i) & 1) << used++);
        }
    }
    void Code(uint32_t code, unsigned length) {
        for (unsigned i = length; i-- > 0;)
            Bits((code >> i) & 1, 1);
    }
    // Fixed-code literal/length symbol.
    void Fixed(unsigned symbol) {
        if (symbol < 144)
            Code(0x30 + symbol, 8);
        else if (symbol < 256)
            Code(0x190 + symbol - 144, 9);
        else if (symbol < 280)
            Code(symbol - 256, 7);
        else
            Code(0xC0 + symbol - 280, 8);
    }
};

const std::vector<uint32_t> kWhole = {1u << 24};

// Delivers its input in small pieces, as IDAT chunks do, so that codes and
// stored blocks straddle refills and the bit-at-a-time path runs often.
class PiecewiseStream : public InputByteStream {
public:
    PiecewiseStream(const Bytes& data, unsigned seed) : data_(data), rng_(seed) {}

protected:
    bool FillBuffer() override {
        if (offset_ == data_.size())
            return false;
        size_t piece = std::min<size_t>(1 + rng_() % 13, data_.size() - offset_);
        SetBuffer(data_.data() + offset_, data_.data() + offset_ + piece);
        offset_ += piece;
        return true;
    }

private:
    const Bytes& data_;
    std::mt19937 rng_;
    size_t offset_ = 0;
};

} // namespace

TEST(Inflate, MatchesZlibForEveryLevelStrategyAndWindow) {
    const Bytes inputs[] = {MixedBytes(12000, 1), RandomBytes(2000, 2), RandomBytes(6000, 3, 4),
                            Bytes(3000, 7)};
    const int strategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED};
    for (const Bytes& data : inputs)
        for (int level = 0; level <= 9; ++level)
            for (int strategy : strategies)
                // Every window size at a few levels, the extremes elsewhere.
                for (int windowBits = 9; windowBits <= 15; windowBits += (level % 4 == 1 ? 1 : 6)) {
                    Bytes stream = Compress(data, level, strategy, windowBits);
                    ASSERT_EQ(Inflate(stream, data.size(), kWhole), data)
                        << "level " << level << " strategy " << strategy << " window "
                        << windowBits;
                }
}

// Large requests are decoded straight into the caller's buffer; stored
// blocks (incompressible stretches), block ends and the request's last bytes
// hand over to the buffered path and back.
TEST(Inflate, LargeMixedDataWithFarDistances) {
    Bytes data = MixedBytes(600000, 4);
    Bytes noise = RandomBytes(90000, 9);
    data.insert(data.begin() + 250000, noise.begin(), noise.end());
    for (int level : {1, 6, 9}) {
        Bytes stream = Compress(data, level, Z_DEFAULT_STRATEGY, 15);
        ASSERT_EQ(Inflate(stream, data.size(), kWhole), data) << "level " << level;
        ASSERT_EQ(Inflate(stream, data.size(), {100000, 1, 65536 * 3}), data) << "level " << level;
    }
    Bytes stream = Compress(data, 6, Z_DEFAULT_STRATEGY, 15);
    PiecewiseStream input(stream, 3);
    InflateDecoder decoder;
    decoder.OpenStream(input);
    Bytes out(data.size());
    ASSERT_EQ(decoder.Decode(input, uint32_t(out.size()), out.data()), out.size());
    EXPECT_EQ(out, data);
}

// Repeats of every period up to 70 bytes, each run long and short, so that
// matches of every distance a copy treats apart (below 8, 16 and 32, and
// beyond), of lengths below and above those steps, meet each other's
// overruns.
TEST(Inflate, RepeatsOfEveryShortPeriod) {
    std::mt19937 rng(11);
    Bytes data;
    for (int round = 0; round < 3; ++round)
        for (size_t period = 1; period <= 70; ++period) {
            Bytes pattern = RandomBytes(period, unsigned(rng()));
            size_t length = round == 1 ? 3 + rng() % 40 : period * (1 + rng() % 9) + rng() % 300;
            for (size_t i = 0; i < length; ++i)
                data.push_back(pattern[i % period]);
            data.push_back(uint8_t(rng()));
        }
    for (int level : {1, 9}) {
        Bytes stream = Compress(data, level, Z_DEFAULT_STRATEGY, 15);
        ASSERT_EQ(Inflate(stream, data.size(), kWhole), data) << "level " << level;
        ASSERT_EQ(Inflate(stream, data.size(), {1, 13, 700}), data) << "level " << level;
    }
}

// Bytes after the final block (the checksum, or more in a PNG's last IDAT)
// keep the fast path running up to the block's end, where a turn may decode
// past the request: the stream ends only once those bytes are handed out.
TEST(Inflate, EndsOnlyWhenTheLastBytesAreHandedOut) {
    for (unsigned seed = 0; seed < 4; ++seed) {
        Bytes data = MixedBytes(2000 + seed * 500, 20 + seed);
        Bytes stream = Compress(data, 6, Z_DEFAULT_STRATEGY, 15);
        stream.insert(stream.end(), 40, 0xA5);
        for (uint32_t request = 1; request <= 40; ++request)
            ASSERT_EQ(Inflate(stream, data.size(), {request}), data)
                << "seed " << seed << " request " << request;
    }
}

TEST(Inflate, FlushesInsideTheStreamEmitEmptyStoredBlocks) {
    Bytes data = MixedBytes(20000, 5);
    for (int flush : {Z_SYNC_FLUSH, Z_FULL_FLUSH})
        for (size_t every : {1u, 17u, 1000u}) {
            Bytes stream = Compress(data, 6, Z_DEFAULT_STRATEGY, 15, every, flush);
            ASSERT_EQ(Inflate(stream, data.size(), kWhole), data) << flush << " every " << every;
            ASSERT_EQ(Inflate(stream, data.size(), {1, 7, 300}), data);
        }
}

TEST(Inflate, OddRequestSizesResumeInsideCopiesAndStoredBlocks) {
    Bytes data = MixedBytes(80000, 6);
    const std::vector<std::vector<uint32_t>> patterns = {
        {1}, {1, 1537}, {3, 258, 7, 65536, 1, 100000}, {257, 259}, {32768}, {2, 1, 40000}};
    for (int level : {0, 1, 9})
        for (const auto& requests : patterns) {
            Bytes stream = Compress(data, level, Z_DEFAULT_STRATEGY, 15);
            ASSERT_EQ(Inflate(stream, data.size(), requests), data)
                << "level " << level << " first request " << requests[0];
        }
}

TEST(Inflate, InputArrivingInSmallPieces) {
    Bytes data = MixedBytes(60000, 8);
    for (int level : {0, 1, 6, 9}) {
        Bytes stream = Compress(data, level, level == 1 ? Z_FIXED : Z_DEFAULT_STRATEGY, 15, 5000);
        PiecewiseStream input(stream, unsigned(level));
        InflateDecoder decoder;
        decoder.OpenStream(input);
        Bytes out(data.size());
        size_t done = 0;
        for (uint32_t want = 1; done < data.size(); want = want * 3 % 1001 + 1) {
            uint32_t take = uint32_t(std::min<size_t>(want, data.size() - done));
            ASSERT_EQ(decoder.Decode(input, take, out.data() + done), take);
            done += take;
        }
        EXPECT_EQ(out, data) << "level " << level;
    }
}

TEST(Inflate, ChecksTheStreamHeader) {
    Bytes good = Compress(Bytes(10, 'x'), 6, Z_DEFAULT_STRATEGY, 15);
    ASSERT_EQ(good[0], 0x78);
    ASSERT_EQ(good[1], 0x9C);
    EXPECT_EQ(Error(good), "ok");
    Bytes badCheck = good;
    badCheck[1] = 0x9D;
    EXPECT_EQ(Error(badCheck), "inflate: Corrupt Compression Header flags");
    Bytes badMethod = good;
    badMethod[0] = 0x79;
    EXPECT_EQ(Error(badMethod), "inflate: Invalid Compression Method - Not (8) Deflate");
    Bytes bigWindow = {0x88, 0x00};
    bigWindow[1] = uint8_t(31 - (0x88 * 256) % 31);
    EXPECT_EQ(Error(bigWindow), "inflate: Invalid Compression Window");
    Bytes dictionary = {0x78, 0x20};
    dictionary[1] = uint8_t(0x20 + (31 - (0x78 * 256 + 0x20) % 31));
    EXPECT_EQ(Error(dictionary), "inflate: Preset dictionary flag set");
}

TEST(Inflate, StoredBlocks) {
    // 300 bytes (LEN 0x2C 0x01), then an empty final stored block.
    Bytes stream = {0x78, 0x01, 0x00, 0x2C, 0x01, 0xD3, 0xFE};
    for (int i = 0; i < 300; ++i)
        stream.push_back(uint8_t(i * 7));
    Bytes withEmptyEnd = stream;
    withEmptyEnd.insert(withEmptyEnd.end(), {0x01, 0x00, 0x00, 0xFF, 0xFF});
    Bytes out = Inflate(withEmptyEnd, 300, {1, 100, 1000});
    ASSERT_EQ(out.size(), 300u);
    EXPECT_EQ(out[299], uint8_t(299 * 7));

    // A final stored block ends the stream: nothing after it is decoded.
    Bytes finalStored = {0x78, 0x01, 0x01, 0x03, 0x00, 0xFC, 0xFF, 'a', 'b', 'c', 0xFF, 0xFF};
    EXPECT_EQ(Inflate(finalStored, 3, {2, 5}), (Bytes{'a', 'b', 'c'}));

    Bytes badCount = {0x78, 0x01, 0x01, 0x03, 0x00, 0xFC, 0xFE, 'a', 'b', 'c'};
    EXPECT_EQ(Error(badCount), "inflate: Invalid Literal Count");
    Bytes truncated = {0x78, 0x01, 0x01, 0x03, 0x00, 0xFC, 0xFF, 'a'};
    EXPECT_EQ(Error(truncated), "input: Premature end of file");
}

TEST(Inflate, OverlappingCopyAndDistanceBeforeTheStart) {
    BitWriter w;
    w.Bits(1, 1); // final
    w.Bits(1, 2); // fixed codes
    w.Fixed('a');
    w.Fixed(264); // length 10
    w.Code(0, 5); // distance 1
    w.Fixed(257); // length 3
    w.Code(5, 5); // distance 7 + 1 extra bit: 7 or 8
    w.Bits(1, 1); // distance 8: two bytes before the start, which read as zeros
    w.Fixed(256);
    Bytes expected(11, 'a');
    expected.insert(expected.end(), {'a', 'a', 'a'});
    Bytes out = Inflate(w.bytes, 14, {1});
    EXPECT_EQ(out, expected);

    BitWriter early;
    early.Bits(1, 1);
    early.Bits(1, 2);
    early.Fixed('z');
    early.Fixed(258); // length 4
    early.Code(4, 5); // distance 5: reaches past the one byte produced
    early.Bits(0, 1);
    early.Fixed(256);
    EXPECT_EQ(Inflate(early.bytes, 5, kWhole), (Bytes{'z', 0, 0, 0, 0}));
}

namespace {

// A dynamic block header with HLIT 286, HDIST 2 and the code-length code
// 18 -> 0, 1 -> 10, 2 -> 11.
BitWriter DynamicHeader() {
    BitWriter w;
    w.Bits(1, 1);
    w.Bits(2, 2);
    w.Bits(286 - 257, 5);
    w.Bits(2 - 1, 5);
    w.Bits(18 - 4, 4);
    const unsigned order[18] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1};
    for (unsigned s : order)
        w.Bits(s == 18 ? 1 : (s == 1 || s == 2) ? 2 : 0, 3);
    return w;
}
void ZeroRun(BitWriter& w, unsigned count) {
    w.Code(0, 1);
    w.Bits(count - 11, 7);
}

} // namespace

TEST(Inflate, DynamicZeroRunCrossesIntoDistanceLengths) {
    // Literal code 'x' = 0, 256 = 10, 257 = 11; the last zero run covers
    // literal/length symbols 258..285 and distance symbol 0; distance 1 = 0.
    BitWriter w = DynamicHeader();
    ZeroRun(w, 120);
    w.Code(2, 2); // 'x': length 1
    ZeroRun(w, 135);
    w.Code(3, 2); // 256: length 2
    w.Code(3, 2); // 257: length 2
    ZeroRun(w, 29);
    w.Code(2, 2); // distance symbol 1: length 1
    w.Code(0, 1); // 'x'
    w.Code(0, 1); // 'x'
    w.Code(3, 2); // length 3
    w.Code(0, 1); // distance 2
    w.Code(2, 2); // end of block
    EXPECT_EQ(Inflate(w.bytes, 5, kWhole), Bytes(5, 'x'));
    EXPECT_EQ(Inflate(w.bytes, 5, {1}), Bytes(5, 'x'));

    BitWriter tooLong = DynamicHeader();
    ZeroRun(tooLong, 138);
    ZeroRun(tooLong, 138);
    ZeroRun(tooLong, 13); // 289 > 288
    EXPECT_EQ(Error(tooLong.bytes), "inflate: Length Command Out of Range");
}

TEST(Inflate, RejectsRepeatWithoutPreviousLengthAndUnmatchedCodes) {
    // Code-length code with only symbol 16 (one bit): the very first length
    // is a repeat of nothing.
    BitWriter repeat;
    repeat.Bits(1, 1);
    repeat.Bits(2, 2);
    repeat.Bits(0, 5);
    repeat.Bits(0, 5);
    repeat.Bits(0, 4); // HCLEN 4: 16, 17, 18, 0
    repeat.Bits(1, 3);
    repeat.Bits(0, 3);
    repeat.Bits(0, 3);
    repeat.Bits(1, 3); // 0 -> code 0, 16 -> code 1
    repeat.Code(1, 1);
    repeat.Bits(0, 2);
    EXPECT_EQ(Error(repeat.bytes), "inflate: Length Repeat Without Previous Length");

    // Distance code with a single one-bit code (0): the pattern 1 matches no
    // code within 15 bits.
    BitWriter w = DynamicHeader();
    ZeroRun(w, 120);
    w.Code(2, 2);
    ZeroRun(w, 135);
    w.Code(3, 2);
    w.Code(3, 2);
    ZeroRun(w, 29);
    w.Code(2, 2);
    w.Code(0, 1); // 'x'
    w.Code(3, 2); // length 3
    w.Code(0x7FFF, 15);
    w.Bits(0, 16);
    EXPECT_EQ(Error(w.bytes), "inflate: Invalid Huffman Code");
    // The same pattern cut short runs out of input first.
    Bytes cut(w.bytes.begin(), w.bytes.end() - 3);
    EXPECT_EQ(Error(cut), "input: Premature end of stream");
}

TEST(Inflate, RejectsReservedSymbolsAndBlockType) {
    BitWriter reserved;
    reserved.Bits(1, 1);
    reserved.Bits(1, 2);
    reserved.Fixed(286);
    reserved.Bits(0, 16);
    EXPECT_EQ(Error(reserved.bytes), "inflate: Invalid Huffman Literal Value");

    BitWriter distance;
    distance.Bits(1, 1);
    distance.Bits(1, 2);
    distance.Fixed('a');
    distance.Fixed(257);
    distance.Code(30, 5);
    distance.Bits(0, 16);
    EXPECT_EQ(Error(distance.bytes), "inflate: Invalid Huffman Distance Value");

    BitWriter type3;
    type3.Bits(1, 1);
    type3.Bits(3, 2);
    type3.Bits(0, 8);
    EXPECT_EQ(Error(type3.bytes), "inflate: Invalid Compression Type");
}

// The lookup table must agree with the reference walk for every bit pattern
// and every set of lengths: complete, incomplete and over-full.
TEST(InflateHuffman, LookupTableAgreesWithReferenceWalk) {
    std::mt19937 rng(11);
    for (int round = 0; round < 300; ++round) {
        using Alphabet = InflateHuffmanDecoder::Alphabet;
        const unsigned maxLength = round % 5 == 0 ? 7 : 15;
        const Alphabet alphabet = maxLength == 7 ? Alphabet::kCodeLength
                                  : round % 2    ? Alphabet::kLiteralLength
                                                 : Alphabet::kDistance;
        const unsigned symbols = alphabet == Alphabet::kCodeLength      ? 19
                                 : alphabet == Alphabet::kLiteralLength ? 288
                                                                        : 32;
        unsigned count = 2 + rng() % (symbols - 1);
        std::vector<uint8_t> lengths(count);
        for (auto& l : lengths)
            l = uint8_t(rng() % 3 == 0 ? 0 : 1 + rng() % (round % 3 == 0 ? 4 : maxLength));
        if (round % 4 == 1) {
            // A complete code built from a random Huffman-like shape.
            std::fill(lengths.begin(), lengths.end(), 0);
            unsigned n = std::min(count, 1u << (1 + rng() % 8));
            unsigned bits = 0;
            while ((1u << bits) < n)
                ++bits;
            for (unsigned i = 0; i < n; ++i)
                lengths[i] = uint8_t(bits);
        }
        InflateHuffmanDecoder code(maxLength, alphabet);
        code.MakeTable(lengths.data(), count);
        // Every pattern of the longest code now and then (the subtables),
        // random ones otherwise.
        const bool everyPattern = round % 10 == 3;
        const int trials = everyPattern ? 1 << maxLength : 200;
        for (int trial = 0; trial < trials; ++trial) {
            uint64_t bits = everyPattern ? uint64_t(trial) : (uint64_t(rng()) << 32) | rng();
            unsigned refLength = 0;
            int ref = code.DecodeBits(bits, 64, refLength);
            uint32_t entry = code.Entry(bits);
            if (ref >= 0 && (entry & InflateHuffmanDecoder::kPair)) {
                // Two literals in one entry: the second is the code after the first.
                unsigned secondLength = 0;
                int second = code.DecodeBits(bits >> refLength, 64 - refLength, secondLength);
                ASSERT_LT(ref, 256);
                ASSERT_TRUE(second >= 0 && second < 256);
                ASSERT_EQ(InflateHuffmanDecoder::Value(entry), unsigned(ref | second << 8));
                ASSERT_EQ(InflateHuffmanDecoder::CodeLength(entry), refLength + secondLength);
                ASSERT_LE(refLength + secondLength, 11u);
            } else if (ref >= 0) {
                ASSERT_EQ(entry, code.EntryForSymbol(unsigned(ref), refLength));
                // A paired table leaves no two fitting literals apart.
                unsigned secondLength = 0;
                int second = code.DecodeBits(bits >> refLength, 64 - refLength, secondLength);
                if (code.HoldsLiteralPairs() && ref < 256 && second >= 0 && second < 256) {
                    ASSERT_GT(refLength + secondLength, 11u);
                }
            } else
                ASSERT_TRUE(InflateHuffmanDecoder::Is(entry, InflateHuffmanDecoder::kNoCode));
            // And the bit-at-a-time walk over a stream agrees too.
            uint8_t raw[8];
            std::memcpy(raw, &bits, 8);
            InputMemoryStream stream(raw, 8);
            int walked;
            unsigned walkedLength = 0;
            try {
                walked = int(code.Decode(stream, walkedLength));
            } catch (const InflateDecoder::StreamError&) {
                walked = InflateHuffmanDecoder::kNoSymbol;
            }
            ASSERT_EQ(walked, ref);
        }
    }
}

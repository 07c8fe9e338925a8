// Fuzzes the inflater. Each input is decoded twice: from one buffer (the
// table-driven path) and from pieces of 1 to 8 bytes with odd request sizes
// (mostly the bit-at-a-time path). Both must give the same bytes and the
// same error. And every stream zlib decodes must give zlib's bytes: the
// inflater may be more lenient than zlib (it never reads the Adler-32
// checksum, and reads distances before the start as zeros), never different.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <zlib.h>

#include "imaging/inflate_decoder.h"

namespace {

using Pictor::InflateDecoder;
using Pictor::InputByteStream;

class PieceStream : public InputByteStream {
public:
    PieceStream(const uint8_t* data, size_t size, size_t piece)
        : data_(data), size_(size), piece_(piece) {}

protected:
    bool FillBuffer() override {
        if (offset_ == size_)
            return false;
        size_t take = std::min(piece_ + offset_ % 3, size_ - offset_);
        SetBuffer(data_ + offset_, data_ + offset_ + take);
        offset_ += take;
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_, piece_, offset_ = 0;
};

constexpr size_t kOutputLimit = 1 << 20;

struct Result {
    std::vector<uint8_t> output;
    std::string error;
};

Result Run(InputByteStream& input, uint32_t firstRequest, uint32_t step) {
    Result result;
    InflateDecoder decoder;
    try {
        decoder.OpenStream(input);
        std::vector<uint8_t> buffer(70000);
        uint32_t want = firstRequest;
        while (!decoder.EndOfStream() && result.output.size() < kOutputLimit) {
            uint32_t got = decoder.Decode(input, want, buffer.data());
            result.output.insert(result.output.end(), buffer.begin(), buffer.begin() + got);
            want = (want * step + 1) % 65537 + 1;
        }
    } catch (const InflateDecoder::StreamError& e) {
        result.error = std::string("inflate: ") + e.what();
    } catch (const InputByteStream::StreamError& e) {
        result.error = std::string("input: ") + e.what();
    }
    return result;
}

// zlib's reading of the stream: the header under the same rules the
// inflater checks, then the raw deflate data without the checksum.
struct Oracle {
    bool complete = false; // the final block ended
    std::vector<uint8_t> output;
};

Oracle RunZlib(const uint8_t* data, size_t size) {
    Oracle oracle;
    if (size < 2)
        return oracle;
    const unsigned cmf = data[0], flg = data[1];
    if ((cmf & 0x0F) != 8 || (cmf * 256 + flg) % 31 != 0 || (cmf >> 4) + 8 > 15 || (flg & 0x20))
        return oracle;
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK)
        std::abort();
    z.next_in = const_cast<uint8_t*>(data + 2);
    z.avail_in = unsigned(size - 2);
    std::vector<uint8_t> buffer(65536);
    int status = Z_OK;
    while (status == Z_OK && oracle.output.size() < kOutputLimit) {
        z.next_out = buffer.data();
        z.avail_out = unsigned(buffer.size());
        status = inflate(&z, Z_NO_FLUSH);
        oracle.output.insert(oracle.output.end(), buffer.data(), z.next_out);
        if (status == Z_BUF_ERROR || (status == Z_OK && z.avail_in == 0 && z.avail_out != 0))
            break; // the input ran out before the final block ended
    }
    oracle.complete = status == Z_STREAM_END;
    inflateEnd(&z);
    return oracle;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    // The first byte chooses the request pattern; the rest is the stream.
    uint32_t first = 1 + data[0] % 64;
    uint32_t step = 1 + data[0] / 64;
    Pictor::InputMemoryStream whole(data + 1, size - 1);
    Result a = Run(whole, first, step);
    PieceStream pieces(data + 1, size - 1, 1 + data[0] % 8);
    Result b = Run(pieces, 1 + (first * 7) % 300, step + 1);
    // Output is collected per completed request, so after an error or at the
    // limit the two runs may hold different lengths of the same bytes.
    size_t common = std::min(a.output.size(), b.output.size());
    bool limited = a.output.size() >= kOutputLimit || b.output.size() >= kOutputLimit;
    if (common && std::memcmp(a.output.data(), b.output.data(), common) != 0)
        std::abort();
    if (!limited && a.error != b.error)
        std::abort();
    if (!limited && a.error.empty() && a.output.size() != b.output.size())
        std::abort();

    const Oracle zlib = RunZlib(data + 1, size - 1);
    // Wherever zlib got, the inflater gives the same bytes up to there.
    common = std::min(a.output.size(), zlib.output.size());
    if (common && std::memcmp(a.output.data(), zlib.output.data(), common) != 0) {
        std::fprintf(stderr, "bytes differ from zlib's within the first %zu\n", common);
        std::abort();
    }
    // A stream zlib decodes whole the inflater decodes whole, to the same length.
    if (zlib.complete && zlib.output.size() < kOutputLimit && !limited) {
        if (!a.error.empty()) {
            std::fprintf(stderr, "zlib decodes %zu bytes; the inflater fails: %s\n",
                         zlib.output.size(), a.error.c_str());
            std::abort();
        }
        if (a.output.size() != zlib.output.size()) {
            std::fprintf(stderr, "%zu bytes, zlib %zu\n", a.output.size(), zlib.output.size());
            std::abort();
        }
    }
    return 0;
}

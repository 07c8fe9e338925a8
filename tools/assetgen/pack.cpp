#include "assetgen.h"

#include <fstream>
#include <stdexcept>

namespace assetgen {

Pack::Pack(std::filesystem::path dir) : dir_(std::move(dir)) {
    std::filesystem::create_directories(dir_);
}

void Pack::write(std::string_view name, const std::vector<std::uint8_t>& bytes) const {
    const auto path = dir_ / std::string(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

void Pack::write(std::string_view name, std::string_view text) const {
    write(name, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::uint64_t Random::next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return state_;
}

double Random::uniform() {
    return static_cast<double>(next() >> 11) * 0x1.0p-53;
}

double Random::uniform(double lo, double hi) {
    return lo + (hi - lo) * uniform();
}

} // namespace assetgen

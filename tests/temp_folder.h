// A fresh folder per run, removed afterwards, so that two test runs at once
// (two worktrees, ctest -j) never write to the same path.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

namespace hlv_test {

class TempFolder {
public:
    explicit TempFolder(const std::string& stem = "hlv-test") {
        std::string pattern =
            (std::filesystem::temp_directory_path() / (stem + "-XXXXXX")).string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make a temporary folder from " + pattern);
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

} // namespace hlv_test

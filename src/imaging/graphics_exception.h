// Errors of the image decoders. Each carries a fixed text returned by what().
#pragma once

#include <exception>
#include <string>

namespace Pictor {

class GraphicsException : public std::exception {
public:
    explicit GraphicsException(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

} // namespace Pictor

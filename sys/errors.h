// Errors the platform layer raises; each carries the text the error box shows.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

namespace ks {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An operating-system failure with its error code.
class OsError : public Error {
public:
    OsError(std::uint32_t code, const std::string& message) : Error(message), code_(code) {}
    std::uint32_t Code() const { return code_; }

private:
    std::uint32_t code_;
};

} // namespace ks

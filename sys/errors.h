// Errors the platform layer raises; each carries the text the error box shows.
#pragma once
#include <cstdint>
#include <exception>
#include <string>
#include <utility>

namespace ks {

// Holds its text in the program's own string type: the library's runtime_error family would
// bring a second string implementation into the setup program.
class Error : public std::exception {
public:
    explicit Error(std::string message) : message_(std::move(message)) {}
    explicit Error(const char* message) : message_(message) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
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

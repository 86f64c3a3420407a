// Version texts and numbers, and the platform facts the registry reads depend on.
#pragma once
#include <cstdint>
#include <string>

namespace ks {

// Four dotted parts packed into one byte each, the first in the top byte. Parts are taken
// modulo 256; reading stops at the first part that is not a number.
std::uint32_t VersionNumber(const std::string& text);

// "major.minor.release.build" from the two halves of a fixed file version.
std::string FormatFileVersion(std::uint32_t ms, std::uint32_t ls);

// Registry view flags (KEY_WOW64_64KEY, KEY_WOW64_32KEY).
constexpr std::uint16_t kRegistryView64 = 0x0100;
constexpr std::uint16_t kRegistryView32 = 0x0200;

// Windows build: the file version of an executable as text, "" without a version resource.
// ms and ls, when given, receive the fixed file version's halves on success.
std::string FileVersionString(const std::string& fileName, std::uint32_t* ms = nullptr,
                              std::uint32_t* ls = nullptr);
// Windows build: whether Windows runs on a 64-bit processor (AMD64 or IA64).
bool IsWindows64();
// Windows build: the registry view for machine-wide reads, fixed at program start.
std::uint16_t RegistryViewFlag();

} // namespace ks

// Member names: which of the stored forms counts (UTF-8 flag or detection, the two Unicode
// extra fields, OEM text, raw bytes) and its conversion into the system code page.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace ks::archive {

// Plain ASCII is not UTF-8 by this test, and neither is a truncated sequence.
bool DetectUtf8(std::string_view raw);

// Whether the high bytes of a name read as letters of the OEM code page rather than of its
// paired ANSI code page; false for code pages without a table.
bool LooksLikeOem(std::string_view raw, int oemCodePage);

enum class NameEncoding { Utf8, Utf16, Oem, Ansi };

struct NameChoice {
    NameEncoding encoding = NameEncoding::Ansi;
    std::string bytes;    // UTF-8, OEM or ANSI bytes
    std::u16string units; // UTF-16 units of the 0x554E field
};

// hostSystem: high byte of version-made-by (0 = MS-DOS).
NameChoice ChooseName(std::string_view raw, std::uint16_t flags, std::string_view extra,
                      int hostSystem, int ansiCodePage, int oemCodePage);

// The decoded name in the system's 8-bit code page.
std::string DecodeMemberName(std::string_view raw, std::uint16_t flags, std::string_view extra,
                             int hostSystem);

} // namespace ks::archive

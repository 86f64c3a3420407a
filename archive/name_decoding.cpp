#include "archive/name_decoding.h"

#include <zlib.h>

#include "archive/code_page.h"
#include "archive/zip_format.h"

namespace ks::archive {
namespace {

struct OemSets {
    int codePage;
    const char* ansiLetters; // set A, bytes 0x80 to 0xFF, hex
    const char* oemLetters;  // set B
};

constexpr OemSets kOemSets[] = {
    {437, "005400d400002000ffff7fffffff7fff", "ffffff073f00000000000000ff6f0000"},
    {720, "02f4019500042000ffff7fffffff109a", "ac1fe8efff3f000000000000ffff0000"},
    {737, "00000000040020d7fffffbffffffff7f", "ffffffffffff000000000000ffff3100"},
    {775, "0000000000850085ffff7fffffff7f7f", "ffffbf2f3f20e061c080ff01ff7f0000"},
    {850, "005400d400000000ffff7fffffff7fff", "ffffff2f3f00e000c000ff41ff3f0000"},
    {852, "00f400f4288408d6ffff7fffffff7f7f", "ffffffbfff3be061c000ff61ff7f0038"},
    {855, "0bf401f42e851cf5ffffffffffffffff", "ffffffffff3fe061c000ff61ff7ffe1f"},
    {857, "0014009400000000ffff7fffffff7fff", "ffffffefff00e000c000dc417f3e0000"},
    {862, "000000000000200000007000ffffff07", "ffffff073f00000000000000ff6f0000"},
    {866, "0bf401f42e853cf5ffffffffffffffff", "ffffffffffff000000000000ffffff00"},
};

int HexDigit(char c) {
    return c <= '9' ? c - '0' : c - 'a' + 10;
}

// Bit n of a set is bit n mod 8 of byte n div 8; the tables start at byte 16 (0x80).
bool InSet(const char* hex, unsigned char byte) {
    const int index = (byte >> 3) - 16;
    const int value = HexDigit(hex[index * 2]) * 16 + HexDigit(hex[index * 2 + 1]);
    return (value >> (byte & 7)) & 1;
}

std::uint32_t Crc32Of(std::string_view bytes) {
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

} // namespace

bool DetectUtf8(std::string_view raw) {
    bool highSeen = false;
    int pending = 0;
    for (const char c : raw) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80)
            highSeen = true;
        if (pending == 0) {
            if ((b >= 0x80 && b <= 0xC1) || b >= 0xF5)
                return false; // stops with "ANSI" (or ASCII), never UTF-8
            if (b >= 0xC2 && b <= 0xDF)
                pending = 1;
            else if (b >= 0xE0 && b <= 0xEF)
                pending = 2;
            else if (b >= 0xF0)
                pending = 3;
        } else {
            if (b < 0x80 || b > 0xBF)
                return false;
            --pending;
        }
    }
    return highSeen && pending == 0;
}

bool LooksLikeOem(std::string_view raw, int oemCodePage) {
    const OemSets* sets = nullptr;
    for (const OemSets& entry : kOemSets) {
        if (entry.codePage == oemCodePage)
            sets = &entry;
    }
    if (!sets)
        return false;
    bool outsideA = false;
    bool outsideB = false;
    bool examined = false;
    for (const char c : raw) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            continue;
        examined = true;
        outsideA = outsideA || !InSet(sets->ansiLetters, b);
        outsideB = outsideB || !InSet(sets->oemLetters, b);
        if (outsideA && outsideB)
            break;
    }
    return examined && outsideA && !outsideB;
}

NameChoice ChooseName(std::string_view raw, std::uint16_t flags, std::string_view extra,
                      int hostSystem, int ansiCodePage, int oemCodePage) {
    NameChoice choice;
    if ((flags & 0x0800) || DetectUtf8(raw)) {
        choice.encoding = NameEncoding::Utf8;
        choice.bytes = std::string(raw);
        return choice;
    }
    if (const auto path = FindExtraField(extra, kUnicodePathExtraId)) {
        const auto* p = reinterpret_cast<const std::uint8_t*>(path->data());
        if (path->size() > 6 && p[0] == 1 && Le32(p + 1) == Crc32Of(raw)) {
            choice.encoding = NameEncoding::Utf8;
            choice.bytes = std::string(path->substr(5));
            return choice;
        }
    }
    if (const auto name = FindExtraField(extra, kUnicodeNameExtraId)) {
        const auto* p = reinterpret_cast<const std::uint8_t*>(name->data());
        if (name->size() > 10 && Le32(p) == 0x5843554E) {
            const auto count = static_cast<std::int32_t>(Le32(p + 4));
            if (count >= 0 && name->size() == 2 * static_cast<std::size_t>(count) + 8) {
                choice.encoding = NameEncoding::Utf16;
                for (std::int32_t i = 0; i < count; ++i)
                    choice.units += static_cast<char16_t>(Le16(p + 8 + 2 * i));
                return choice;
            }
        }
    }
    choice.bytes = std::string(raw);
    if (ansiCodePage != oemCodePage && (hostSystem == 0 || LooksLikeOem(raw, oemCodePage)))
        choice.encoding = NameEncoding::Oem;
    return choice;
}

std::string DecodeMemberName(std::string_view raw, std::uint16_t flags, std::string_view extra,
                             int hostSystem) {
    const NameChoice choice =
        ChooseName(raw, flags, extra, hostSystem, SystemAnsiCodePage(), SystemOemCodePage());
    switch (choice.encoding) {
    case NameEncoding::Utf8:
        return Utf8ToSystem(choice.bytes);
    case NameEncoding::Utf16:
        return Utf16ToSystem(choice.units);
    case NameEncoding::Oem:
        return OemToSystem(choice.bytes);
    case NameEncoding::Ansi:
        break;
    }
    return choice.bytes;
}

} // namespace ks::archive

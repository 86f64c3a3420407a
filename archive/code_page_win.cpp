// Names on Windows: the system's ANSI and OEM code pages, converted through UTF-16.
#include "archive/code_page.h"

#include <windows.h>

#include <vector>

namespace ks::archive {
namespace {

std::string WideToAnsi(const wchar_t* text, int length) {
    if (length <= 0)
        return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, out.data(), size, nullptr, nullptr);
    return out;
}

std::string ToAnsi(UINT codePage, const std::string& raw) {
    if (raw.empty())
        return {};
    const int length = static_cast<int>(raw.size());
    const int size = MultiByteToWideChar(codePage, 0, raw.data(), length, nullptr, 0);
    if (size <= 0)
        return raw;
    // Not std::wstring: its library instantiation would add some 40 KB to the program.
    std::vector<wchar_t> wide(static_cast<std::size_t>(size));
    MultiByteToWideChar(codePage, 0, raw.data(), length, wide.data(), size);
    return WideToAnsi(wide.data(), size);
}

} // namespace

int SystemAnsiCodePage() {
    return static_cast<int>(GetACP());
}

int SystemOemCodePage() {
    return static_cast<int>(GetOEMCP());
}

std::string OemToSystem(const std::string& raw) {
    return ToAnsi(CP_OEMCP, raw);
}

std::string Utf8ToSystem(const std::string& utf8) {
    return ToAnsi(CP_UTF8, utf8);
}

std::string Utf16ToSystem(const std::u16string& text) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wide characters");
    return WideToAnsi(reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size()));
}

} // namespace ks::archive

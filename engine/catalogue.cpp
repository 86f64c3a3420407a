// Catalogue reading, size values, the update decision and the URL suffix.
#include "engine/catalogue.h"

#include <cstdint>

#include "engine/descrambler.h"
#include "sys/version.h"

namespace ks {
namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32)
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32)
        text.remove_suffix(1);
    return text;
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        x = x >= 'a' && x <= 'z' ? static_cast<char>(x - 'a' + 'A') : x;
        y = y >= 'a' && y <= 'z' ? static_cast<char>(y - 'a' + 'A') : y;
        if (x != y)
            return false;
    }
    return true;
}

int DigitValue(char c, int base) {
    int value = 99;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < base ? value : -1;
}

// The scrambled form of the suffix; kept unreadable in the executable like the lists.
constexpr char kScrambledUrlSuffix[] =
    "\xC3\x97\x67\x60\xF0\xF0\xE0\xD9\x31\x37\xA8\xE0\x9B\x5D\xE0\x6C";

} // namespace

Catalogue Catalogue::Read(const std::vector<std::string>& lines) {
    Catalogue catalogue;
    std::optional<std::string> section;
    bool first = true;
    for (const std::string& raw : lines) {
        std::string_view line = raw;
        // Editors that save UTF-8 put a byte-order mark before the first section.
        if (first && line.substr(0, 3) == "\xEF\xBB\xBF")
            line.remove_prefix(3);
        first = false;
        line = Trim(line);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            section = std::string(Trim(line.substr(1, line.size() - 2)));
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!section || equals == std::string_view::npos)
            continue;
        catalogue.entries_.push_back({*section, std::string(Trim(line.substr(0, equals))),
                                      std::string(Trim(line.substr(equals + 1)))});
    }
    return catalogue;
}

std::optional<std::string> Catalogue::Value(std::string_view section, std::string_view key) const {
    for (const Entry& entry : entries_) {
        if (SameText(entry.section, section) && SameText(entry.key, key))
            return entry.value;
    }
    return std::nullopt;
}

std::int32_t CatalogueInteger(std::string_view value) {
    bool negative = false;
    if (!value.empty() && (value.front() == '-' || value.front() == '+')) {
        negative = value.front() == '-';
        value.remove_prefix(1);
    }
    int base = 10;
    if (!value.empty() && value.front() == '$') {
        base = 16;
        value.remove_prefix(1);
    } else if (value.size() >= 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X')) {
        base = 16;
        value.remove_prefix(2);
    }
    if (value.empty())
        return 0;
    std::int64_t number = 0;
    for (char c : value) {
        const int digit = DigitValue(c, base);
        if (digit < 0)
            return 0;
        number = number * base + digit;
        if (number > INT32_MAX + std::int64_t{1})
            return 0;
    }
    if (negative)
        number = -number;
    return number >= INT32_MIN && number <= INT32_MAX ? static_cast<std::int32_t>(number) : 0;
}

void FillPackageFromCatalogue(const Catalogue& catalogue, const CatalogueKeys& keys,
                              TZipPackage& package) {
    package.FileName = catalogue.Value(package.Name, keys.fileName).value_or("?");
    package.RemoteVersion = catalogue.Value(package.Name, keys.version).value_or("?");
    const std::optional<std::string> size = catalogue.Value(package.Name, keys.size);
    package.Size = size ? CatalogueInteger(*size) : 0;
    const std::optional<std::string> sha256 = catalogue.Value(package.Name, keys.sha256);
    package.Sha256 = {};
    package.Sha256State = !sha256                                   ? DigestState::None
                          : ParseSha256Hex(*sha256, package.Sha256) ? DigestState::Valid
                                                                    : DigestState::Malformed;
    const bool complete = package.FileName.find('?') == std::string::npos &&
                          package.RemoteVersion.find('?') == std::string::npos && package.Size > 0;
    if (!complete)
        return;
    const std::uint32_t current =
        package.CurrentVersion.empty() ? 0 : VersionNumber(package.CurrentVersion);
    package.UpdateNeeded = current < VersionNumber(package.RemoteVersion);
}

std::string CataloguePath(std::string_view format, const std::string& name,
                          const std::string& extension) {
    const std::string* args[] = {&name, &extension};
    std::size_t next = 0;
    std::string path;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's') {
            if (next < 2)
                path += *args[next];
            ++next;
            ++i;
        } else if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == '%') {
            path += '%';
            ++i;
        } else {
            path += format[i];
        }
    }
    return path;
}

std::string CatalogueUrlSuffix() {
    return Descramble(std::string_view(kScrambledUrlSuffix, sizeof(kScrambledUrlSuffix) - 1));
}

} // namespace ks

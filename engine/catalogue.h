// The package server's catalogue: an INI text with one section per package, and the rules
// that fill a package record from it.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/zip_package.h"

namespace ks {

class Catalogue {
public:
    // Lines are trimmed of blanks and control characters; empty lines, lines starting with
    // ";" and lines before the first section are ignored. A UTF-8 byte-order mark at the very
    // start is skipped. Section names and keys match
    // without regard to ASCII letter case; the first occurrence of a key wins.
    static Catalogue Read(const std::vector<std::string>& lines);

    // The value of key in section; nothing when the section or the key is missing.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;

private:
    struct Entry {
        std::string section;
        std::string key;
        std::string value;
    };
    std::vector<Entry> entries_;
};

// A size value: decimal, or hexadecimal after "0x", "0X" or "$", optionally signed; anything
// else, or a number outside 32 bits, is 0.
std::int32_t CatalogueInteger(std::string_view value);

// The catalogue keys of a package section (word 3, library entries 9, 11 and 26).
struct CatalogueKeys {
    std::string fileName;
    std::string version;
    std::string size;
    std::string sha256;
};

// Fills FileName, RemoteVersion and Size from the section named package.Name ("?", "?" and 0
// when missing) and, when the offer is complete, decides UpdateNeeded. The SHA-256 key gives
// Sha256State: None when absent, Valid for 64 hexadecimal digits, Malformed for anything
// else (an empty value included).
void FillPackageFromCatalogue(const Catalogue& catalogue, const CatalogueKeys& keys,
                              TZipPackage& package);

// Fills "%s" placeholders in turn with name and extension ("%%" gives "%"); placeholders
// without an argument become empty.
std::string CataloguePath(std::string_view format, const std::string& name,
                          const std::string& extension);

// The decoded URL suffix the catalogue request carries when the marker file exists.
std::string CatalogueUrlSuffix();

} // namespace ks

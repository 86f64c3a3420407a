// Typed reads of registry values and removal of key trees (Windows build). The read errors
// name the value, as the error box shows them.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

namespace ks {

bool RegistryValueExists(HKEY key, const std::string& name);

// A string value (plain or expandable), cut at its first zero; "" when the value is missing.
// Raises "Invalid data type for '<name>'" for another type.
std::string ReadRegistryString(HKEY key, const std::string& name);

// A 32-bit number value. Raises "Failed to get data for '<name>'" when it is missing or its
// data is longer than four bytes, "Invalid data type for '<name>'" for another type.
std::int32_t ReadRegistryInteger(HKEY key, const std::string& name);

// Deletes `subkey` of `parent` with every key below it. An empty name deletes nothing (it
// would mean the parent's whole content). True when the subkey is gone afterwards.
bool DeleteRegistryTree(HKEY parent, const std::string& subkey);

} // namespace ks

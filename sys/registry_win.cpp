#include "sys/registry_win.h"

#include <vector>

#include "sys/errors.h"

namespace ks {
namespace {

[[noreturn]] void RaiseInvalidType(const std::string& name) {
    throw Error("Invalid data type for '" + name + "'");
}

[[noreturn]] void RaiseNoData(const std::string& name) {
    throw Error("Failed to get data for '" + name + "'");
}

} // namespace

bool RegistryValueExists(HKEY key, const std::string& name) {
    return RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::string ReadRegistryString(HKEY key, const std::string& name) {
    DWORD type = 0;
    DWORD size = 0;
    LONG status = RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND)
        return {};
    if (status != ERROR_SUCCESS)
        RaiseNoData(name);
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        RaiseInvalidType(name);
    // The value may grow between the two calls: read until it fits.
    std::vector<char> data;
    do {
        data.assign(size + 1, '\0');
        size = static_cast<DWORD>(data.size());
        status = RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(data.data()), &size);
    } while (status == ERROR_MORE_DATA);
    if (status != ERROR_SUCCESS)
        RaiseNoData(name);
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        RaiseInvalidType(name);
    data.resize(size);
    return std::string(data.data(), strnlen(data.data(), data.size()));
}

std::int32_t ReadRegistryInteger(HKEY key, const std::string& name) {
    DWORD type = 0;
    std::int32_t value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS)
        RaiseNoData(name);
    if (type != REG_DWORD)
        RaiseInvalidType(name);
    return value;
}

bool DeleteRegistryTree(HKEY parent, const std::string& subkey) {
    if (subkey.empty())
        return false;
    const LONG status = RegDeleteTreeA(parent, subkey.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

} // namespace ks

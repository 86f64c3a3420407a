#include "sys/version.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "sys/system_info_win.h"

namespace ks {

std::string FileVersionString(const std::string& fileName, std::uint32_t* ms, std::uint32_t* ls) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(fileName.c_str(), &ignored);
    if (size == 0)
        return {};
    std::vector<unsigned char> data(size);
    if (!GetFileVersionInfoA(fileName.c_str(), 0, size, data.data()))
        return {};
    void* block = nullptr;
    UINT length = 0;
    char root[] = "\\";
    if (!VerQueryValueA(data.data(), root, &block, &length) || !block ||
        length < sizeof(VS_FIXEDFILEINFO))
        return {};
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(block);
    if (ms)
        *ms = fixed->dwFileVersionMS;
    if (ls)
        *ls = fixed->dwFileVersionLS;
    return FormatFileVersion(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
}

bool ReadNativeSystemInfo(SYSTEM_INFO& info) {
    using NativeInfoFunction = void(WINAPI*)(LPSYSTEM_INFO);
    const FARPROC address = GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetNativeSystemInfo");
    if (!address) {
        GetSystemInfo(&info);
        return false;
    }
    NativeInfoFunction function = nullptr;
    static_assert(sizeof function == sizeof address);
    std::memcpy(&function, &address, sizeof function);
    function(&info);
    return true;
}

bool IsWindows64() {
    SYSTEM_INFO info{};
    ReadNativeSystemInfo(info);
    return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64 ||
           info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64;
}

std::uint16_t RegistryViewFlag() {
    static const std::uint16_t flag = IsWindows64() ? kRegistryView64 : kRegistryView32;
    return flag;
}

} // namespace ks

#include "demo/agent_record_win.h"

#include <windows.h>

#include "demo/agent_command.h"
#include "demo/demo_names.h"
#include "sys/unique_handle_win.h"

namespace ks::demo {
namespace {

constexpr char kFilesValue[] = "Files";

// The setup reads the record through the 64-bit view on 64-bit Windows, so it is written there.
REGSAM RegistryView() {
    SYSTEM_INFO info = {};
    GetNativeSystemInfo(&info);
    const WORD arch = info.wProcessorArchitecture;
    return arch == PROCESSOR_ARCHITECTURE_AMD64 || arch == PROCESSOR_ARCHITECTURE_IA64
               ? KEY_WOW64_64KEY
               : KEY_WOW64_32KEY;
}

std::string ProfileString(const std::string& path, const char* key) {
    std::string buffer(512, '\0');
    for (;;) {
        const DWORD length = GetPrivateProfileStringA(
            kProduct, key, "", buffer.data(), static_cast<DWORD>(buffer.size()), path.c_str());
        if (length + 1 < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool SetString(HKEY key, const char* name, const std::string& value) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

std::string GetString(HKEY key, const char* name) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    std::string value(size, '\0');
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value.data()),
                         &size) != ERROR_SUCCESS)
        return {};
    value.resize(size);
    while (!value.empty() && value.back() == '\0')
        value.pop_back();
    return value;
}

} // namespace

bool ReadSettingsFile(const std::string& path, InstallRecord& record) {
    record.appFolder = ProfileString(path, "AppFolder");
    record.pubData = ProfileString(path, "PubData");
    record.desktopIcon = ProfileString(path, "DesktopIcon");
    record.appMenu = ProfileString(path, "AppMenu");
    record.allUser = ProfileString(path, "AllUser") != "0";
    return !record.appFolder.empty() && record.appFolder != "\\";
}

bool WriteRecord(const InstallRecord& record) {
    UniqueRegKey key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRecordKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE | RegistryView(), nullptr, key.Put(), nullptr) != ERROR_SUCCESS)
        return false;
    const DWORD allUser = record.allUser ? 1 : 0;
    return SetString(key.Get(), "AppFolder", record.appFolder) &&
           SetString(key.Get(), "PubData", record.pubData) &&
           SetString(key.Get(), "DesktopIcon", record.desktopIcon) &&
           SetString(key.Get(), "AppMenu", record.appMenu) &&
           RegSetValueExA(key.Get(), "AllUser", 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&allUser),
                          sizeof(allUser)) == ERROR_SUCCESS &&
           SetString(key.Get(), kFilesValue, JoinFileList(record.files));
}

bool ReadRecord(InstallRecord& record) {
    UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRecordKey, 0, KEY_READ | RegistryView(), key.Put()) !=
        ERROR_SUCCESS)
        return false;
    record.appFolder = GetString(key.Get(), "AppFolder");
    record.pubData = GetString(key.Get(), "PubData");
    record.desktopIcon = GetString(key.Get(), "DesktopIcon");
    record.appMenu = GetString(key.Get(), "AppMenu");
    DWORD allUser = 1;
    DWORD size = sizeof(allUser);
    DWORD type = 0;
    if (RegQueryValueExA(key.Get(), "AllUser", nullptr, &type, reinterpret_cast<BYTE*>(&allUser),
                         &size) == ERROR_SUCCESS &&
        type == REG_DWORD)
        record.allUser = allUser != 0;
    record.files = SplitFileList(GetString(key.Get(), kFilesValue));
    return !record.appFolder.empty();
}

bool DeleteRecord() {
    const LSTATUS status = RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kRecordKey, RegistryView(), 0);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

} // namespace ks::demo

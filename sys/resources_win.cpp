#include "sys/resources_win.h"

#include "sys/errors.h"
#include "sys/files.h"
#include "sys/os_error_win.h"
#include "sys/paths.h"
#include "sys/unique_handle_win.h"

namespace ks {
namespace {

std::string AsciiUpperCase(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

[[noreturn]] void RaiseFileError(const std::string& path, DWORD code) {
    throw OsError(code, "Cannot create file \"" + path + "\". " + SystemErrorText(code));
}

} // namespace

void ExtractResourceToFile(const std::string& name, const std::string& target, HMODULE module) {
    const std::string upper = AsciiUpperCase(name);
    HMODULE source = module ? module : GetModuleHandleA(nullptr);
    HRSRC info = upper.empty() ? nullptr : FindResourceA(source, upper.c_str(), RT_RCDATA);
    HGLOBAL loaded = info ? LoadResource(source, info) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        throw Error("Resource " + upper + " not found");
    const DWORD size = SizeofResource(source, info);

    ForceFolders(FolderPart(target));
    if (FileExists(target) && !DeleteFileA(target.c_str()))
        RaiseFileError(target, GetLastError());
    UniqueFileHandle file(CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        RaiseFileError(target, GetLastError());
    DWORD written = 0;
    if (!WriteFile(file.Get(), bytes, size, &written, nullptr) || written != size) {
        const DWORD code = GetLastError();
        file.Reset();
        DeleteFileA(target.c_str());
        RaiseFileError(target, code);
    }
}

} // namespace ks

// The engine's access to its own executable: list resources and the marker file.
#include "engine/form_dm_base.h"

#include <windows.h>

#include "resources/list_names.h"
#include "sys/errors.h"
#include "sys/process_win.h"

namespace ks {

std::string TDMBase::ExecutablePath() const {
    return ProgramFilePath();
}

std::string TDMBase::OpenListResource(const std::string& name) const {
    const std::string upper = AsciiUpper(name);
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC info = upper.empty() ? nullptr : FindResourceA(self, upper.c_str(), RT_RCDATA);
    HGLOBAL data = info ? LoadResource(self, info) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes)
        throw Error("Fatal error: resources.dll not found");
    return std::string(static_cast<const char*>(bytes), SizeofResource(self, info));
}

bool TDMBase::MarkerFileExists() const {
    std::string path = ExecutablePath();
    const std::size_t slash = path.find_last_of("\\/:");
    const std::size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        path.resize(dot);
    path += DotWord(word::kUrlMarkerExt);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace ks

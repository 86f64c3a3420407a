// Raw-data resources written to files (Windows build).
#pragma once
#include <windows.h>

#include <string>

namespace ks {

// Writes the RT_RCDATA resource `name` (upper-cased) of the module (the program itself when
// null) into the file, creating its folders and replacing an existing file. Raises
// "Resource %s not found" or the file error.
void ExtractResourceToFile(const std::string& name, const std::string& target,
                           HMODULE module = nullptr);

} // namespace ks

// Files and folders on disk (Windows build).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ks {

// Creates the folder and every missing folder above it; true when it exists afterwards.
bool ForceFolders(const std::string& path);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

// Copies a file; an existing target is replaced unless failIfExists. Waits for a source or
// target that another program holds for a moment.
bool CopyFileTo(const std::string& source, const std::string& target, bool failIfExists);

// Names (without folder) matching a mask such as "C:\dir\*.*", every attribute admitted,
// names that begin with a full stop left out. A missing folder gives an empty list.
std::vector<std::string> ListFolder(const std::string& mask);
bool IsFolderEmpty(const std::string& folder);

// Creates a new folder base\prefixXXXXXXXX (eight upper-case hex digits) that did not exist
// before and returns it with a trailing backslash. The name is created atomically, so two
// callers never get the same folder. Returns the path even when creation failed (the caller's
// first file operation in it fails); raises OsError when every name tried already existed,
// rather than hand out a folder that someone else made.
std::string CreateUniqueFolder(const std::string& base, const std::string& prefix);
// The same with the numbers drawn from nextNumber instead of the random generator.
std::string CreateUniqueFolder(const std::string& base, const std::string& prefix,
                               const std::function<std::uint32_t()>& nextNumber);

} // namespace ks

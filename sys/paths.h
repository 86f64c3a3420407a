// Path texts: joining, splitting and trimming Windows paths. Pure text, no file system access.
#pragma once
#include <string>

namespace ks {

// The path with a trailing backslash added when it has none ("" gives "\").
std::string IncludeTrailingBackslash(const std::string& path);
// The path without its trailing backslashes.
std::string ExcludeTrailingBackslash(const std::string& path);

// A and B joined by exactly one backslash. An empty A or B gives A with a trailing backslash
// and drops B.
std::string JoinPath(const std::string& a, const std::string& b);
// JoinPath with a trailing backslash.
std::string JoinFolder(const std::string& a, const std::string& b);

// The folder part of a path including its trailing backslash (or colon); "" when none.
std::string FolderPart(const std::string& path);
// The part after the last backslash or colon.
std::string FileNamePart(const std::string& path);
// The last extension of the path's file name with its full stop; "" when none.
std::string LastExtension(const std::string& path);

// The file name without its folder and without its last extension.
std::string BaseFileName(const std::string& path);
// The path with every inner extension of its file name removed: pkg.beta.zip -> pkg.zip.
std::string DropInnerExtensions(const std::string& path);

// The text in double quotes when it contains a blank, else unchanged.
std::string QuoteIfSpaced(const std::string& text);

} // namespace ks

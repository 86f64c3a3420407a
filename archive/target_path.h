// Text rules that turn a member name and the base directory into a target path.
#pragma once
#include <string>
#include <vector>

namespace ks::archive {

// One trailing '\' is removed unless a ':' stands before it, so "C:\" stays a drive root.
std::string NormaliseBaseDirectory(const std::string& folder);

// The member name with '/' as '\' (one trailing '\' dropped for a directory); without
// restorePath only the part after the last '\' or ':'.
std::string MemberTargetName(const std::string& memberName, bool isDirectory, bool restorePath);

// Whether a restored member path would leave the base folder: a drive, a root, a share or a
// ".." part.
bool LeavesBaseFolder(const std::string& targetName);

// Absolute means it holds a ':' or a doubled '\'.
bool IsAbsoluteTarget(const std::string& path);
// The base directory, a '\' where one is missing, and the name.
std::string JoinBase(const std::string& baseDirectory, const std::string& name);

// Everything before the last '\' (empty when there is none).
std::string FolderOf(const std::string& path);

// The folders to create for a path, outermost first: before the second '\' (the fifth on a
// share, so the share itself is never created), then at each further '\', then the whole.
std::vector<std::string> FolderLevels(const std::string& folder);

} // namespace ks::archive

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

// Whether a restored member path would leave the base folder: a drive, a root, a share, a
// ".." part, or an empty part (a doubled '\' makes the rest a path of its own).
bool LeavesBaseFolder(const std::string& targetName);

// Whether a path part is a name Windows opens as a device (NUL, CON, COM1, LPT1, AUX, ...),
// in any case, with or without an extension, trailing dots or blanks.
bool IsDeviceName(const std::string& part);

// Why a member's target name (as MemberTargetName gives it) is not written, or nullptr: it
// leaves the base folder, holds a NUL byte (which would cut the name short), or names a
// device in one of its parts.
const char* RefusedTargetName(const std::string& targetName);

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

// Text rules of the folder fields: the product-folder suffix, the folders of each
// installation type and the safe configuration. Pure text; the folder lookup is passed in.
#pragma once
#include <functional>
#include <string>

#include "sys/folders.h"

namespace ks {

// The product folder name the default folders end in.
constexpr char kProductFolder[] = "Keltra";

// Whether the text names the product folder anywhere, in any letter case.
bool ContainsProductFolder(const std::string& text, const std::string& productFolder);

// The text joined with the product folder unless it already names it. An empty text stays
// empty: joining it would give a bare "\", the root of the current drive.
std::string WithProductFolder(const std::string& text, const std::string& productFolder);

// A folder the installation can use: a drive path ("C:\\x") or a UNC path ("\\\\host\\share").
// Empty and relative texts are not: the agent would resolve them in its own working folder.
bool IsAbsoluteFolder(const std::string& text);

// The install-state folders that one installation type gives.
struct ScopeFolders {
    std::string installFolder;
    std::string dataFolder;
    std::string menuFolder;
    std::string desktopFolder;
    bool allUsers = true;
};

using FolderLookup = std::function<std::string(FolderKind)>;

// Item 0 is every user of the machine, any other item the current user only. The install
// folder is kept unless empty; the menu folder ends in the product's menu group.
ScopeFolders FoldersForScope(int item, const std::string& installFolder,
                             const std::string& menuGroup, const FolderLookup& lookup);

struct SafeFolders {
    std::string installFolder;
    std::string dataFolder;
};

// The alternative place: drive + product name, with its data sub-folder.
SafeFolders SafeConfiguration(const std::string& drive, const std::string& productName,
                              const std::string& dataName);

} // namespace ks

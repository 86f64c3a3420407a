// Text rules of the folder fields.
#include "app/folder_rules.h"

#include "engine/word_lists.h"
#include "sys/paths.h"

namespace ks {

bool ContainsProductFolder(const std::string& text, const std::string& productFolder) {
    return AsciiUpper(text).find(AsciiUpper(productFolder)) != std::string::npos;
}

std::string WithProductFolder(const std::string& text, const std::string& productFolder) {
    if (text.empty() || ContainsProductFolder(text, productFolder))
        return text;
    return JoinPath(text, productFolder);
}

ScopeFolders FoldersForScope(int item, const std::string& installFolder,
                             const std::string& menuGroup, const FolderLookup& lookup) {
    ScopeFolders folders;
    folders.installFolder =
        installFolder.empty() ? JoinPath(lookup(fkProgramFiles), kProductFolder) : installFolder;
    folders.allUsers = item == 0;
    if (folders.allUsers) {
        folders.dataFolder = JoinPath(lookup(fkCommonDocuments), kProductFolder);
        folders.menuFolder = lookup(fkCommonPrograms);
        folders.desktopFolder = lookup(fkCommonDesktop);
    } else {
        folders.dataFolder = JoinPath(lookup(fkPersonal), kProductFolder);
        folders.menuFolder = lookup(fkPrograms);
        folders.desktopFolder = lookup(fkDesktop);
    }
    folders.menuFolder = JoinPath(folders.menuFolder, menuGroup);
    return folders;
}

SafeFolders SafeConfiguration(const std::string& drive, const std::string& productName,
                              const std::string& dataName) {
    SafeFolders folders;
    folders.installFolder = drive + productName;
    folders.dataFolder = JoinPath(folders.installFolder, dataName);
    return folders;
}

} // namespace ks

// Text rules of the folder fields.
#include "app/folder_rules.h"

#include <cctype>

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

bool IsAbsoluteFolder(const std::string& text) {
    const auto isSeparator = [](char c) { return c == '\\' || c == '/'; };
    const bool drive = text.size() >= 3 && std::isalpha(static_cast<unsigned char>(text[0])) &&
                       text[1] == ':' && isSeparator(text[2]);
    const bool unc =
        text.size() >= 3 && isSeparator(text[0]) && isSeparator(text[1]) && !isSeparator(text[2]);
    return drive || unc;
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

#include "archive/target_path.h"

namespace ks::archive {

std::string NormaliseBaseDirectory(const std::string& folder) {
    if (folder.size() >= 1 && folder.back() == '\\' &&
        !(folder.size() >= 2 && folder[folder.size() - 2] == ':'))
        return folder.substr(0, folder.size() - 1);
    return folder;
}

std::string MemberTargetName(const std::string& memberName, bool isDirectory, bool restorePath) {
    std::string name = memberName;
    for (char& c : name) {
        if (c == '/')
            c = '\\';
    }
    if (isDirectory && !name.empty() && name.back() == '\\')
        name.pop_back();
    if (!restorePath) {
        const std::size_t cut = name.find_last_of("\\:");
        if (cut != std::string::npos)
            name.erase(0, cut + 1);
    }
    return name;
}

bool LeavesBaseFolder(const std::string& targetName) {
    if (targetName.find(':') != std::string::npos || (!targetName.empty() && targetName[0] == '\\'))
        return true;
    std::size_t begin = 0;
    while (begin <= targetName.size()) {
        std::size_t end = targetName.find('\\', begin);
        if (end == std::string::npos)
            end = targetName.size();
        std::string part = targetName.substr(begin, end - begin);
        // Windows ignores trailing dots and blanks, so ".. " is ".." too.
        while (!part.empty() && (part.back() == ' ' || part.back() == '.') && part != "..")
            part.pop_back();
        if (part == "..")
            return true;
        begin = end + 1;
    }
    return false;
}

bool IsAbsoluteTarget(const std::string& path) {
    return path.find(':') != std::string::npos || path.find("\\\\") != std::string::npos;
}

std::string JoinBase(const std::string& baseDirectory, const std::string& name) {
    if (baseDirectory.empty())
        return name;
    const char last = baseDirectory.back();
    if (last == '\\' || last == ':' || last == '\0')
        return baseDirectory + name;
    return baseDirectory + '\\' + name;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::vector<std::string> FolderLevels(const std::string& folder) {
    std::vector<std::string> levels;
    const int firstCut = folder.find("\\\\") != std::string::npos ? 5 : 2;
    int seen = 0;
    for (std::size_t i = 0; i < folder.size(); ++i) {
        if (folder[i] != '\\')
            continue;
        if (++seen >= firstCut)
            levels.push_back(folder.substr(0, i));
    }
    levels.push_back(folder);
    return levels;
}

} // namespace ks::archive

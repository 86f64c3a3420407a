#include "archive/target_path.h"

namespace ks::archive {
namespace {

// Windows ignores trailing dots and blanks of a name, so ".. " is ".." and "nul." is "nul".
std::string AsOpened(std::string part) {
    while (!part.empty() && (part.back() == ' ' || part.back() == '.') && part != "..")
        part.pop_back();
    return part;
}

std::vector<std::string> PathParts(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t end = path.find('\\', begin);
        parts.push_back(path.substr(begin, end == std::string::npos ? end : end - begin));
        if (end == std::string::npos)
            return parts;
        begin = end + 1;
    }
}

} // namespace

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
    for (const std::string& part : PathParts(targetName)) {
        // Empty or all dots and blanks: Windows would not open a folder of that name.
        const std::string opened = AsOpened(part);
        if (opened.empty() || opened == "..")
            return true;
    }
    return false;
}

bool IsDeviceName(const std::string& part) {
    std::string stem = AsOpened(part);
    stem = stem.substr(0, stem.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    for (char& c : stem) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL" || stem == "CONIN$" ||
        stem == "CONOUT$")
        return true;
    if (stem.size() != 4 || (stem.compare(0, 3, "COM") != 0 && stem.compare(0, 3, "LPT") != 0))
        return false;
    // Digits, and the superscripts one to three of the ANSI code page.
    const auto number = static_cast<unsigned char>(stem[3]);
    return (number >= '0' && number <= '9') || number == 0xB9 || number == 0xB2 || number == 0xB3;
}

const char* RefusedTargetName(const std::string& targetName) {
    if (targetName.find('\0') != std::string::npos)
        return "Member name holds a NUL byte";
    if (LeavesBaseFolder(targetName))
        return "Member path leaves the base folder";
    for (const std::string& part : PathParts(targetName)) {
        if (IsDeviceName(part))
            return "Member name is a device name";
    }
    return nullptr;
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

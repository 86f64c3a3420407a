#include "archive/mask_match.h"

namespace ks::archive {
namespace {

std::string Prepared(std::string text) {
    for (char& c : text) {
        if (c == '/')
            c = '\\';
        else if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

std::string Trimmed(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ')
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ')
        --end;
    return text.substr(begin, end - begin);
}

// Everything up to and including the last '\'.
std::string FolderPart(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string DropDrive(const std::string& folder) {
    if (folder.find("\\\\") != std::string::npos) {
        std::size_t at = 0;
        for (int seen = 0; seen < 4 && at != std::string::npos; ++seen)
            at = folder.find('\\', seen == 0 ? 0 : at + 1);
        return at == std::string::npos ? std::string() : folder.substr(at + 1);
    }
    const std::size_t colon = folder.find(':');
    if (colon == std::string::npos)
        return folder;
    std::size_t rest = colon + 1;
    if (rest < folder.size() && folder[rest] == '\\')
        ++rest;
    return folder.substr(rest);
}

bool Wildcard(const std::string& text, const std::string& pattern) {
    std::size_t t = 0;
    std::size_t p = 0;
    std::size_t starAt = std::string::npos;
    std::size_t resumeAt = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
            ++t;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeAt = t;
        } else if (starAt != std::string::npos) {
            p = starAt + 1;
            t = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace

bool MatchesPattern(const std::string& text, const std::string& pattern) {
    if (text.empty())
        return pattern.empty();
    if (pattern == "*" || pattern == "*.*")
        return true;
    return Wildcard(text, pattern);
}

bool MatchesMaskEntry(const std::string& entry, const std::string& memberName, bool isDirectory) {
    const std::string mask = Prepared(entry);
    const std::string maskFolder = DropDrive(FolderPart(mask));
    const std::string maskName = mask.substr(FolderPart(mask).size());

    std::string member = Prepared(memberName);
    if (isDirectory && !member.empty() && member.back() == '\\')
        member.pop_back();
    const std::string memberFolder = FolderPart(member);
    const std::string memberFile = member.substr(memberFolder.size());

    if (!maskFolder.empty() && !MatchesPattern(memberFolder, maskFolder))
        return false;
    return MatchesPattern(memberFile, maskName);
}

bool MatchesMaskList(const std::string& maskList, const std::string& memberName, bool isDirectory) {
    std::size_t begin = 0;
    while (begin <= maskList.size()) {
        std::size_t end = maskList.find(';', begin);
        if (end == std::string::npos)
            end = maskList.size();
        const std::string entry = Trimmed(maskList.substr(begin, end - begin));
        if (!entry.empty() && MatchesMaskEntry(entry, memberName, isDirectory))
            return true;
        begin = end + 1;
    }
    return false;
}

} // namespace ks::archive

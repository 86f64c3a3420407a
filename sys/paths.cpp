#include "sys/paths.h"

namespace ks {
namespace {

bool EndsWithBackslash(const std::string& text) {
    return !text.empty() && text.back() == '\\';
}

bool StartsWithBackslash(const std::string& text) {
    return !text.empty() && text.front() == '\\';
}

// Index just past the folder part: after the last backslash or colon.
std::size_t NameStart(const std::string& path) {
    const std::size_t delimiter = path.find_last_of("\\:");
    return delimiter == std::string::npos ? 0 : delimiter + 1;
}

} // namespace

std::string IncludeTrailingBackslash(const std::string& path) {
    return EndsWithBackslash(path) ? path : path + '\\';
}

std::string ExcludeTrailingBackslash(const std::string& path) {
    std::string result = path;
    while (EndsWithBackslash(result))
        result.pop_back();
    return result;
}

std::string JoinPath(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty())
        return IncludeTrailingBackslash(a);
    if (EndsWithBackslash(a))
        return StartsWithBackslash(b) ? a.substr(0, a.size() - 1) + b : a + b;
    return StartsWithBackslash(b) ? a + b : a + '\\' + b;
}

std::string JoinFolder(const std::string& a, const std::string& b) {
    return IncludeTrailingBackslash(JoinPath(a, b));
}

std::string FolderPart(const std::string& path) {
    return path.substr(0, NameStart(path));
}

std::string FileNamePart(const std::string& path) {
    return path.substr(NameStart(path));
}

std::string LastExtension(const std::string& path) {
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < NameStart(path))
        return {};
    return path.substr(dot);
}

std::string BaseFileName(const std::string& path) {
    std::string name = FileNamePart(path);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.resize(dot);
    return name;
}

std::string DropInnerExtensions(const std::string& path) {
    const std::string base = BaseFileName(path);
    const std::size_t firstDot = base.find('.');
    if (firstDot == std::string::npos)
        return path;
    return FolderPart(path) + base.substr(0, firstDot) + LastExtension(path);
}

std::string QuoteIfSpaced(const std::string& text) {
    if (text.find(' ') == std::string::npos)
        return text;
    return '"' + text + '"';
}

} // namespace ks

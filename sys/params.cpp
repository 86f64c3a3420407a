#include "sys/params.h"

#include "sys/paths.h"

namespace ks {
namespace {

std::string AsciiUpperCase(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// Leading and trailing blanks and control characters removed.
std::string Trim(const std::string& text) {
    auto isSpace = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && isSpace(text[first]))
        ++first;
    while (last > first && isSpace(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

} // namespace

ParamPair ParseParam(std::string text) {
    if (!text.empty()) {
        const std::size_t originalLength = text.size();
        if (text.back() == '"')
            text.pop_back();
        if (originalLength > 1 && !text.empty() && text.front() == '"')
            text.erase(0, 1);
    }
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos)
        return {text, {}};
    return {AsciiUpperCase(text.substr(0, colon)), text.substr(colon + 1)};
}

std::string JoinParams(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments)
        line += ' ' + QuoteIfSpaced(argument);
    return Trim(line);
}

} // namespace ks

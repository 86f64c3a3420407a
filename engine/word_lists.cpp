#include "engine/word_lists.h"

#include "engine/descrambler.h"

namespace ks {
namespace {

bool IsBlank(unsigned char c) {
    return c >= 1 && c <= 32;
}

} // namespace

StringList SplitLines(std::string_view text) {
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos)
        text = text.substr(0, nul);
    StringList lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

StringList DecodeLines(const StringList& scrambled) {
    StringList decoded;
    decoded.reserve(scrambled.size());
    for (const std::string& line : scrambled)
        decoded.push_back(ExpandMarkers(Descramble(line)));
    return decoded;
}

StringList SplitWords(const StringList& decodedLines) {
    std::string joined;
    for (const std::string& line : decodedLines) {
        joined += line;
        joined += "\r\n";
    }
    std::size_t first = 0;
    std::size_t last = joined.size();
    while (first < last && static_cast<unsigned char>(joined[first]) <= 32)
        ++first;
    while (last > first && static_cast<unsigned char>(joined[last - 1]) <= 32)
        --last;
    const std::string_view text(joined.data() + first, last - first);

    StringList words;
    std::size_t p = 0;
    auto skipBlanks = [&] {
        while (p < text.size() && IsBlank(static_cast<unsigned char>(text[p])))
            ++p;
    };
    skipBlanks();
    while (p < text.size()) {
        const std::size_t start = p;
        while (p < text.size() && static_cast<unsigned char>(text[p]) > 32 && text[p] != '|')
            ++p;
        words.emplace_back(text.substr(start, p - start));
        skipBlanks();
        if (p < text.size() && text[p] == '|') {
            if (p + 1 == text.size())
                words.emplace_back();
            ++p;
            skipBlanks();
        } else if (p < text.size() && text[p] == '\0') {
            // A NUL byte cannot start a word; stop rather than loop on it.
            break;
        }
    }
    return words;
}

std::string EmbeddedLists::GetEntry(int index, int kind) const {
    const std::optional<StringList>* list = nullptr;
    switch (kind) {
    case kMessageList:
        list = &messages;
        break;
    case kWordList:
        list = &words;
        break;
    case kLibraryList:
        list = &library;
        break;
    default:
        return {};
    }
    if (!list->has_value() || index < 0 || static_cast<std::size_t>(index) >= (*list)->size())
        return {};
    return (**list)[static_cast<std::size_t>(index)];
}

std::string EmbeddedLists::UpperWord(int index) const {
    return AsciiUpper(Word(index));
}

std::string AsciiUpper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

} // namespace ks

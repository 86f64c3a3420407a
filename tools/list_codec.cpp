#include "tools/list_codec.h"

#include <algorithm>

#include "engine/descrambler.h"
#include "resources/list_names.h"

namespace ks {
namespace {

// Why a decoded entry has no stored form that reads back as the same entry; "" when it has.
std::string EntryProblem(std::string_view entry, ListKind kind) {
    if (kind == kWordList) {
        if (entry.empty())
            return "a word cannot be empty";
        for (unsigned char c : entry) {
            if (c <= 32)
                return "a word cannot hold a blank or a control byte";
            if (c == '|')
                return "a word cannot hold \"|\"";
        }
    }
    for (std::size_t i = 0; i < entry.size(); ++i) {
        const auto c = static_cast<unsigned char>(entry[i]);
        const bool lineBreak = c == '\r' && i + 1 < entry.size() && entry[i + 1] == '\n';
        if (lineBreak) {
            ++i;
        } else if (c == '\r' || c == '\n') {
            return "a line break must be CR LF";
        } else if (c < 32) {
            return "byte " + std::to_string(c) + " cannot be stored";
        }
    }
    if (entry.find('_') != std::string_view::npos)
        return "\"_\" would read back as a blank";
    if (entry.find("||") != std::string_view::npos)
        return "\"||\" would read back as a line break";
    return {};
}

const char* ListTitle(ListKind kind) {
    switch (kind) {
    case kWordList:
        return "word";
    case kMessageList:
        return "message";
    case kLibraryList:
        return "library entry";
    }
    return "entry";
}

} // namespace

bool PackList(std::string_view source, std::string& resource, std::string& error) {
    resource.clear();
    int lineNumber = 0;
    for (const std::string& line : SplitLines(source)) {
        ++lineNumber;
        for (unsigned char c : line) {
            if (c < 32) {
                error = "line " + std::to_string(lineNumber) + ": byte " + std::to_string(c) +
                        " cannot be stored; use || for a line break";
                return false;
            }
        }
        resource += Scramble(line);
        resource += "\r\n";
    }
    return true;
}

std::string EncodeMarkers(std::string_view entry) {
    std::string stored;
    for (std::size_t i = 0; i < entry.size(); ++i) {
        if (entry[i] == '\r' && i + 1 < entry.size() && entry[i + 1] == '\n') {
            stored += "||";
            ++i;
        } else if (entry[i] == ' ') {
            stored += '_';
        } else {
            stored += entry[i];
        }
    }
    return stored;
}

bool PackEntries(const StringList& entries, ListKind kind, std::string& resource,
                 std::string& error) {
    std::string source;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string problem = EntryProblem(entries[i], kind);
        if (!problem.empty()) {
            error = std::string(ListTitle(kind)) + " " + std::to_string(i) + ": " + problem;
            return false;
        }
        source += EncodeMarkers(entries[i]) + "\n";
    }
    if (!PackList(source, resource, error))
        return false;
    StringList readBack = DecodeLines(SplitLines(resource));
    if (kind == kWordList)
        readBack = SplitWords(readBack);
    for (std::size_t i = 0; i < std::max(entries.size(), readBack.size()); ++i) {
        if (i >= entries.size() || i >= readBack.size() || entries[i] != readBack[i]) {
            error = std::string(ListTitle(kind)) + " " + std::to_string(i) +
                    ": would not read back as given";
            return false;
        }
    }
    return true;
}

EmbeddedLists ReadLists(ResourceReader& reader, const std::string& executablePath) {
    EmbeddedLists lists;
    std::string bytes;
    const std::string wordsName =
        AsciiUpper(executablePath.size() >= 3 ? executablePath.substr(executablePath.size() - 3)
                                              : executablePath);
    if (!reader.Read(wordsName, bytes))
        return lists;
    lists.words = SplitWords(DecodeLines(SplitLines(bytes)));
    if (reader.Read(lists.UpperWord(word::kMessageResource), bytes))
        lists.messages = DecodeLines(SplitLines(bytes));
    if (reader.Read(lists.UpperWord(word::kLibraryResource), bytes))
        lists.library = DecodeLines(SplitLines(bytes));
    return lists;
}

} // namespace ks

#include "tools/list_codec.h"

#include "engine/descrambler.h"
#include "resources/list_names.h"

namespace ks {

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

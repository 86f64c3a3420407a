// The three embedded lists (words, messages, library entries) and the rules that build them.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ks {

using StringList = std::vector<std::string>;

// Splits a resource text into lines at CR, LF or CR LF; a NUL byte ends the text.
// A line end at the very end does not start another line.
StringList SplitLines(std::string_view text);

// Descrambles each line, then expands its markers. The number of lines never changes.
StringList DecodeLines(const StringList& scrambled);

// The word-list rule: the decoded lines joined with CR LF, trimmed, and split at "|"
// and at runs of bytes 1..32.
StringList SplitWords(const StringList& decodedLines);

enum ListKind { kMessageList = 0, kWordList = 1, kLibraryList = 2 };

// The lists as the engine holds them; a list that failed to load is absent and reads as empty.
class EmbeddedLists {
public:
    std::optional<StringList> words;
    std::optional<StringList> messages;
    std::optional<StringList> library;

    // Never fails: an index outside the list, or an absent list, gives "".
    std::string GetEntry(int index, int kind) const;

    std::string Word(int index) const { return GetEntry(index, kWordList); }
    std::string UpperWord(int index) const;
    std::string DotWord(int index) const { return "." + Word(index); }
    std::string WordDotWord(int first, int second) const {
        return Word(first) + "." + Word(second);
    }
    std::string Message(int index) const { return GetEntry(index, kMessageList); }
    std::string LibraryEntry(int index) const { return GetEntry(index, kLibraryList); }
};

// Letters a..z to A..Z; every other byte unchanged (no locale, no code page).
std::string AsciiUpper(std::string_view text);

} // namespace ks

// Which members a mask list such as "*.exe; sub\*.txt" selects.
#pragma once
#include <string>

namespace ks::archive {

// "*" runs (also empty), "?" one character, all else equal. "*" and "*.*" alone match any
// non-empty text, names without a dot included; an empty text matches only an empty pattern.
bool MatchesPattern(const std::string& text, const std::string& pattern);

// One mask entry against a member name; folders in the entry must match the member's.
bool MatchesMaskEntry(const std::string& entry, const std::string& memberName, bool isDirectory);

// A ";"-separated list; an empty list matches nothing.
bool MatchesMaskList(const std::string& maskList, const std::string& memberName, bool isDirectory);

} // namespace ks::archive

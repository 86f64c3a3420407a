// Turns plain list sources into the scrambled resource form and back (the build-side tool).
#pragma once
#include <string>
#include <string_view>

#include "engine/word_lists.h"

namespace ks {

// One resource text: every source line scrambled on its own, lines joined with CR LF.
// Returns false (with a reason) when a line holds a byte that has no scrambled form.
bool PackList(std::string_view source, std::string& resource, std::string& error);

// The stored form of one decoded entry: CR LF back to "||", spaces back to "_".
std::string EncodeMarkers(std::string_view entry);

// The resource text of a whole list of decoded entries (kind: kWordList, kMessageList or
// kLibraryList). It is read back before it is handed out: false, with a reason, when any entry
// cannot be stored or would not read back exactly as given, so no other entry ever shifts.
bool PackEntries(const StringList& entries, ListKind kind, std::string& resource,
                 std::string& error);

// The three lists of a set of resources. The word list is found by the executable's last
// three characters, the others through words 25 and 5, as the program finds them.
struct ResourceReader {
    virtual ~ResourceReader() = default;
    // False when there is no resource of that (upper-case) name.
    virtual bool Read(const std::string& name, std::string& bytes) = 0;
};

EmbeddedLists ReadLists(ResourceReader& reader, const std::string& executablePath);

} // namespace ks

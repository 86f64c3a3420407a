#include "tools/listtool_win.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/descrambler.h"
#include "resources/list_names.h"
#include "tools/list_codec.h"

namespace ks {
namespace {

// Spanish (modern sort), the language the product's list resources are stored under.
constexpr WORD kListLanguage = MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_MODERN);

class ModuleReader : public ResourceReader {
public:
    explicit ModuleReader(const char* path)
        : module_(LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~ModuleReader() override {
        if (module_)
            FreeLibrary(module_);
    }
    ModuleReader(const ModuleReader&) = delete;
    ModuleReader& operator=(const ModuleReader&) = delete;

    bool Loaded() const { return module_ != nullptr; }

    bool Read(const std::string& name, std::string& bytes) override {
        HRSRC info = FindResourceA(module_, name.c_str(), MAKEINTRESOURCEA(10));
        if (!info)
            return false;
        HGLOBAL data = LoadResource(module_, info);
        const void* view = data ? LockResource(data) : nullptr;
        if (!view)
            return false;
        bytes.assign(static_cast<const char*>(view), SizeofResource(module_, info));
        return true;
    }

private:
    HMODULE module_;
};

void PrintList(const char* title, const std::optional<StringList>& list) {
    if (!list) {
        std::printf("[%s] missing\n", title);
        return;
    }
    std::printf("[%s] %u\n", title, static_cast<unsigned>(list->size()));
    for (std::size_t i = 0; i < list->size(); ++i)
        std::printf("%u\t%s\n", static_cast<unsigned>(i), EncodeMarkers((*list)[i]).c_str());
}

} // namespace

int ShowLists(const char* exePath) {
    ModuleReader reader(exePath);
    if (!reader.Loaded()) {
        std::fprintf(stderr, "listtool: cannot open %s\n", exePath);
        return 1;
    }
    const EmbeddedLists lists = ReadLists(reader, exePath);
    PrintList("words", lists.words);
    PrintList("messages", lists.messages);
    PrintList("library", lists.library);
    return lists.words && lists.messages && lists.library ? 0 : 1;
}

int SetListEntry(const char* exePath, const char* listName, const char* indexText,
                 const char* text) {
    EmbeddedLists lists;
    {
        ModuleReader reader(exePath);
        if (!reader.Loaded()) {
            std::fprintf(stderr, "listtool: cannot open %s\n", exePath);
            return 1;
        }
        lists = ReadLists(reader, exePath);
    }
    const std::string list = listName;
    std::string resourceName;
    std::optional<StringList>* target = nullptr;
    ListKind kind = kWordList;
    if (list == "words") {
        std::string path = exePath;
        resourceName = AsciiUpper(path.substr(path.size() - 3));
        target = &lists.words;
    } else if (list == "messages") {
        resourceName = lists.UpperWord(word::kMessageResource);
        target = &lists.messages;
        kind = kMessageList;
    } else if (list == "library") {
        resourceName = lists.UpperWord(word::kLibraryResource);
        target = &lists.library;
        kind = kLibraryList;
    }
    char* end = nullptr;
    const long index = std::strtol(indexText, &end, 10);
    if (!target || !*target || *end != '\0' || index < 0 || index > 4096) {
        std::fprintf(stderr, "listtool: no list %s with an entry %s\n", listName, indexText);
        return 1;
    }
    // The entry is given as the program will show it: spaces, no markers.
    std::string entry = text;
    if ((*target)->size() <= static_cast<std::size_t>(index))
        (*target)->resize(static_cast<std::size_t>(index) + 1, list == "words" ? "-" : "");
    (**target)[static_cast<std::size_t>(index)] = entry;
    std::string resource;
    std::string error;
    if (!PackEntries(**target, kind, resource, error)) {
        std::fprintf(stderr, "listtool: %s unchanged: %s\n", exePath, error.c_str());
        return 1;
    }

    HANDLE update = BeginUpdateResourceA(exePath, FALSE);
    if (!update) {
        std::fprintf(stderr, "listtool: cannot update %s (error %lu)\n", exePath, GetLastError());
        return 1;
    }
    const BOOL written =
        UpdateResourceA(update, MAKEINTRESOURCEA(10), resourceName.c_str(), kListLanguage,
                        const_cast<char*>(resource.data()), static_cast<DWORD>(resource.size()));
    if (!EndUpdateResourceA(update, !written) || !written) {
        std::fprintf(stderr, "listtool: cannot write %s (error %lu)\n", exePath, GetLastError());
        return 1;
    }
    return 0;
}

} // namespace ks

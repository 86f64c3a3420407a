// The Windows half of listtool: reading and rewriting the list resources of a built exe.
#pragma once
#ifdef _WIN32
namespace ks {
int ShowLists(const char* exePath);
int SetListEntry(const char* exePath, const char* listName, const char* index, const char* text);
} // namespace ks
#endif

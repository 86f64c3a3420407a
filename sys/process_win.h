// Starting programs and documents, windows of other programs, atoms, shell deletion and the
// administrator check (Windows build).
#pragma once
#include <windows.h>

#include <string>

namespace ks {

// The full path of the running program's own executable ("" if Windows cannot say).
std::string ProgramFilePath();

// Starts a program through the shell, shown or hidden, and waits for its end when asked
// (without processing messages). Raises OsError "System Error.  Code: %d." plus the system
// text when the shell gives an error code; returns false when it fails without one. A waited
// program's exit code goes to exitCode when one is given.
bool StartProgram(const std::string& fileName, const std::string& params, bool show, bool wait,
                  unsigned long* exitCode = nullptr);

// Opens a document with its associated program; raises for the failing result codes and
// returns the ShellExecute result otherwise.
INT_PTR OpenDocument(const std::string& fileName, const std::string& params);

// True when the window is the foreground window afterwards. A minimised window is restored.
bool BringWindowToFront(HWND window);
// False when no top-level window of the class exists, else BringWindowToFront on the first.
bool ActivateWindowOfClass(const std::string& className);

// Deletes a file or a folder tree without dialogs and without the recycle bin. True when
// nothing was there or the deletion succeeded.
bool DeletePathSilently(const std::string& path);

// Whether the global atom "App<name>IsLoaded" exists; deletes it once when `remove`.
// A name too long for an atom reads as not loaded.
bool IsProgramLoaded(const std::string& name, bool remove);
std::string LoadedAtomName(const std::string& name);

// Membership of the local Administrators group (S-1-5-32-544) by the thread or process token.
bool IsUserAdministrator();

// Tells the shell that file associations changed.
void NotifyShellAssociations();

} // namespace ks

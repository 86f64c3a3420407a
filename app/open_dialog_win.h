// The platform's file-open dialog, used to pick a folder by name.
#pragma once
#include <windows.h>

#include <string>

namespace ks {

class TOpenDialog {
public:
    std::string Title;
    std::string InitialDir;
    // The full path the user confirmed.
    std::string FileName;

    // Shows the dialog modally; true when the user confirmed a name.
    bool Execute(HWND owner);

    // The dialog's option flags: no read-only box, no validation of the name, no test file,
    // resizable, kept out of the recent-documents list.
    static DWORD Options();
};

} // namespace ks

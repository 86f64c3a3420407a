// The file-open dialog. The name buffer is large enough for any ANSI path; a name that does
// not fit is refused instead of cut.
#include "app/open_dialog_win.h"

#include <commdlg.h>

#include <vector>

namespace ks {
namespace {

constexpr DWORD kNameBufferSize = 32768;

} // namespace

DWORD TOpenDialog::Options() {
    return OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOVALIDATE | OFN_NOTESTFILECREATE |
           OFN_ENABLESIZING | OFN_DONTADDTORECENT;
}

bool TOpenDialog::Execute(HWND owner) {
    std::vector<char> name(kNameBufferSize, '\0');
    FileName.copy(name.data(), name.size() - 1);

    OPENFILENAMEA request = {};
    request.lStructSize = sizeof(request);
    request.hwndOwner = owner;
    request.lpstrFile = name.data();
    request.nMaxFile = kNameBufferSize;
    request.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    request.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
    request.Flags = Options();
    if (!GetOpenFileNameA(&request))
        return false;
    FileName.assign(name.data());
    return true;
}

} // namespace ks

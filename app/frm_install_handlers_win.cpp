// The installation type, the terms document and box, and the close button.
#include "app/folder_rules.h"
#include "app/frm_install.h"
#include "engine/installed_state.h"
#include "resources/list_names.h"
#include "sys/folders.h"
#include "sys/paths.h"
#include "sys/process_win.h"
#include "sys/resources_win.h"

namespace ks {

void TFrmInstall::cbUserChange(TSkinControl* sender) {
    ShowScopeFolders();
    // The form explains a failed test only to a user who just changed the type.
    if (!TestFolders(true) && sender && Visible())
        ShowFolderError();
}

void TFrmInstall::ShowScopeFolders() {
    const ScopeFolders folders =
        FoldersForScope(cbUser.ItemIndex(), folders_.installFolder,
                        engine_ ? engine_->LibraryEntry(lib::kMenuGroup) : "",
                        [](FolderKind kind) { return GetSystemFolder(kind); });
    folders_.installFolder = folders.installFolder;
    folders_.dataFolder = folders.dataFolder;
    folders_.menuFolder = folders.menuFolder;
    folders_.desktopFolder = folders.desktopFolder;
    folders_.allUsers = folders.allUsers;
    if (InsFolder.Text() != folders_.installFolder)
        SetFolderText(InsFolder, folders_.installFolder);
    SetFolderText(DatFolder, folders_.dataFolder);
}

void TFrmInstall::chTermsClick(TSkinControl*) {
    BtInstall.SetEnabled(chTerms.Checked());
}

void TFrmInstall::BtTermsClick(TSkinControl*) {
    const std::string document = JoinPath(TempFolder(), engine_->LibraryEntry(lib::kTermsFile));
    ExtractResourceToFile(engine_->Word(word::kTermsResource), document);
    OpenDocument(document, "");
}

void TFrmInstall::BtCloseClick(TSkinControl*) {
    Close();
}

} // namespace ks

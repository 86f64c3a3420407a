// The folder fields: the picker, the change handler with the product-folder suffix, the write
// test with its icons, the folder-error form and the safe configuration.
#include <windows.h>

#include "app/folder_rules.h"
#include "app/frm_install.h"
#include "engine/folder_error_form.h"
#include "resources/list_names.h"
#include "skin/picture_win.h"
#include "sys/errors.h"
#include "sys/files.h"
#include "sys/paths.h"
#include "sys/unique_handle_win.h"

namespace ks {
namespace {

// Creates the folder (missing parents too) and a probe file in it; true when the file could
// be created. The probe is deleted again.
bool CanWriteFolder(const std::string& folder, const std::string& probeName) {
    ForceFolders(folder);
    const std::string probe = JoinPath(folder, probeName);
    UniqueFileHandle file(CreateFileA(probe.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    const bool created = file.Valid();
    file.Reset();
    if (created)
        DeleteFileA(probe.c_str());
    return created;
}

// Only the last folder of the path goes; parents made by the test stay.
void RemoveIfEmpty(const std::string& folder) {
    if (IsFolderEmpty(folder))
        RemoveDirectoryA(folder.c_str());
}

// Clears a busy flag on every way out of a change handler.
class BusyScope {
public:
    explicit BusyScope(int& flag) : flag_(flag) { flag_ = 1; }
    ~BusyScope() { flag_ = 0; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    int& flag_;
};

} // namespace

TComboEdit* TFrmInstall::FieldOf(TSkinControl* sender) {
    if (sender == &InsFolder)
        return &InsFolder;
    if (sender == &DatFolder)
        return &DatFolder;
    return nullptr;
}

int& TFrmInstall::BusyFlag(const TComboEdit& field) {
    return &field == &InsFolder ? insFolderBusy_ : datFolderBusy_;
}

void TFrmInstall::SetFolderText(TComboEdit& field, const std::string& text) {
    field.SetText(text);
}

std::string& TFrmInstall::FolderOf(const TComboEdit& field) {
    return &field == &InsFolder ? folders_.installFolder : folders_.dataFolder;
}

void TFrmInstall::ShowFolderAsIs(TComboEdit& field, const std::string& text) {
    BusyScope scope(BusyFlag(field));
    field.SetText(text);
}

void TFrmInstall::FieldChanged(TComboEdit& field) {
    // A change made inside a change handler is taken up by that handler once it is done.
    if (BusyFlag(field))
        return;
    if (!IsAbsoluteFolder(field.Text())) {
        // Nothing is made or tested for a relative or empty text: the folder in use stays.
        ShowFolderAsIs(field, FolderOf(field));
        return;
    }
    XFolderChange(&field);
    FolderOf(field) = field.Text();
}

void TFrmInstall::InsFolderButtonClick(TSkinControl* sender) {
    TComboEdit* field = FieldOf(sender);
    if (!field)
        return;
    SelFolder.Title = "Please select ";
    SelFolder.InitialDir = field->Text();
    SelFolder.Title += (field == &InsFolder ? lbInstall : lbData).Caption();
    if (!SelFolder.Execute(window_))
        return;
    SetFolderText(*field, SelFolder.FileName);
}

void TFrmInstall::XFolderChange(TSkinControl* sender) {
    TComboEdit* field = FieldOf(sender);
    if (!field)
        return;
    int& busy = BusyFlag(*field);
    if (busy)
        return;
    const std::string text = field->Text();
    BusyScope scope(busy);
    const std::string extended = WithProductFolder(text, kProductFolder);
    if (extended != text)
        SetFolderText(*field, extended);
    TestFolders(true);
}

void TFrmInstall::ShowFolderState(TImage& icon, bool passed) {
    const char* name = passed ? "OKICON" : "KOICON";
    TPicture doubled;
    try {
        doubled = LoadPictureResource(std::string(name) + "2X");
    } catch (const Error&) {
        // without the double-size drawing the single one is resampled
    }
    icon.SetArt(LoadBitmapResource(name), std::move(doubled));
    RepaintArea(icon);
}

bool TFrmInstall::TestFolders(bool removeEmpty) {
    const std::string probeName = engine_ ? engine_->WordDotWord(word::kProbe, word::kProbe) : "";
    const std::string installText = InsFolder.Text();
    const std::string dataText = DatFolder.Text();
    bool installPassed = true;
    bool dataPassed = true;
    if (!installText.empty()) {
        // A user who is no administrator cannot change the folder: nothing to test.
        if (InsFolder.Enabled())
            installPassed = CanWriteFolder(installText, probeName);
        ShowFolderState(IcoBin, installPassed);
    }
    if (!dataText.empty()) {
        dataPassed = CanWriteFolder(dataText, probeName);
        ShowFolderState(IcoData, dataPassed);
    }
    if (removeEmpty) {
        if (!dataText.empty())
            RemoveIfEmpty(dataText);
        if (!installText.empty())
            RemoveIfEmpty(installText);
    }
    return installPassed && dataPassed;
}

void TFrmInstall::ShowFolderError() {
    {
        TFrmFolderError form;
        form.ShowModal();
    }
    btSafe.SetVisible(true);
}

void TFrmInstall::btSafeClick(TSkinControl*) {
    const SafeFolders safe =
        SafeConfiguration(engine_->Word(word::kSafeDrive), engine_->Word(word::kProduct),
                          engine_->Word(word::kSafeDataFolder));
    SetFolderText(InsFolder, safe.installFolder);
    SetFolderText(DatFolder, safe.dataFolder);
}

} // namespace ks

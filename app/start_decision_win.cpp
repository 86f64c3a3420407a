// The start-up decision: which run this is, from the command line and the installed state.
#include "app/frm_install.h"
#include "app/run_state.h"
#include "engine/installed_state.h"
#include "resources/list_names.h"
#include "sys/application.h"
#include "sys/files.h"
#include "sys/params.h"
#include "sys/process_win.h"

namespace ks {

bool SilentRun = false;
bool ReinstallConfirmed = false;
bool InstallDone = false;

void TFrmInstall::TakeRunDecision() {
    TDMBase& engine = *engine_;
    SilentRun = false;
    ReinstallConfirmed = false;
    silentDataFolder_.clear();
    SetVisible(false);
    const ParamPair first = SplitParam(1);
    CommandWord = first.key;
    CommandValue = first.value;
    ReadInstalledState();

    bool proceed = false;
    if (FolderExists(InstallFolder)) {
        if (CommandWord == engine.LibraryEntry(lib::kRemoveCommand)) {
            if (StartProgram(InstallFolder + engine.LibraryEntry(lib::kAgent), CommandWord, true,
                             true))
                engine.RemoveUserKey();
            else
                RequestTermination();
        } else {
            if (CheckSetupUpdate() && RunSetupUpdate())
                RequestTermination();
            // A newer setup took over, or the catalogue could not be read: this program
            // ends, and must not install alongside its successor.
            if (TerminationRequested())
                return;
            if (CommandWord == engine.LibraryEntry(lib::kInstallCommand))
                SilentRun = CheckSilentMode();
            if (!SilentRun) {
                if (CommandWord == engine.LibraryEntry(lib::kPackageCommand))
                    InstallGivenPackage();
                else
                    ReinstallConfirmed = engine.AskMessage(msg::kReinstall, true);
            }
        }
    } else {
        if (CheckSetupUpdate() && RunSetupUpdate())
            RequestTermination();
        if (TerminationRequested())
            return;
        proceed = true;
    }

    bool ok = proceed;
    if (proceed || SilentRun || ReinstallConfirmed) {
        ok = engine.CloseRunningProduct();
        if (!ok)
            engine.AskMessage(msg::kProductStillRunning, false);
        if (ok) {
            SetVisible(!SilentRun);
            cbUserChange(nullptr);
            // A silent run installs with the data folder its second argument named.
            if (SilentRun && !silentDataFolder_.empty()) {
                DataFolder = silentDataFolder_;
                SetFolderText(DatFolder, silentDataFolder_);
            }
            if (SilentRun || ReinstallConfirmed)
                BtInstallClick(nullptr);
        }
    }
    if (!ok || InstallDone)
        RequestTermination();
}

bool TFrmInstall::CheckSilentMode() {
    if (ProgramArguments().size() < 2)
        return false;
    const ParamPair second = SplitParam(2);
    CommandWord = second.key;
    CommandValue = second.value;
    if (CommandWord != engine_->LibraryEntry(lib::kDataCommand))
        return false;
    if (ForceFolders(CommandValue)) {
        SetFolderText(DatFolder, CommandValue);
        silentDataFolder_ = CommandValue;
    }
    return true;
}

} // namespace ks

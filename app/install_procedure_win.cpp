// The install and update procedures of the window: each hands its work to the Installation
// and acts on the result.
#include <windows.h>

#include "app/frm_install.h"
#include "sys/application.h"
#include "sys/params.h"
#include "sys/process_win.h"
#include "sys/version.h"

namespace ks {

InstallOutcome TFrmInstall::Install() {
    try {
        const InstallOutcome outcome = installation_->Install(folders_, silentRun_);
        log_.Write(std::string("installation: ") + OutcomeName(outcome));
        if (outcome == InstallOutcome::Done)
            Close();
        return outcome;
    } catch (const std::exception& error) {
        log_.Write(std::string("installation failed: ") + error.what());
        throw;
    }
}

void TFrmInstall::BtInstallClick(TSkinControl*) {
    Install();
}

bool TFrmInstall::ObtainPackage(const std::string& target) {
    return installation_->ObtainPackage(target, folders_.dataFolder) == ObtainResult::Ready;
}

void TFrmInstall::InstallGivenPackage(const std::string& package) {
    const InstallOutcome outcome = installation_->InstallGivenPackage(package, folders_);
    log_.Write(std::string("given package: ") + OutcomeName(outcome));
    Close();
}

bool TFrmInstall::CheckSetupUpdate() {
    const UpdateCheck check = installation_->CheckSetupUpdate(FileVersionString(ProgramFilePath()));
    if (check == UpdateCheck::CatalogueUnreachable)
        RequestTermination();
    return check == UpdateCheck::UpdateOffered;
}

bool TFrmInstall::RunSetupUpdate() {
    const bool started = installation_->RunSetupUpdate(folders_.dataFolder, ParamsLine());
    log_.Write(started ? "handed over to the new setup program"
                       : "the new setup program was not started; this one goes on");
    return started;
}

bool TFrmInstall::Ask(const std::string& text, bool twoButtons) {
    return engine_->AskText(text, twoButtons);
}

void TFrmInstall::Repaint() {
    if (window_)
        RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

} // namespace ks

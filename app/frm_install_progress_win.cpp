// The progress display (gauge and task label) and the enabling of the inputs.
#include "app/frm_install.h"
#include "app/frm_install_layout.h"
#include "skin/accessible_win.h"
#include "sys/folders.h"

namespace ks {

void TFrmInstall::ShowTransferProgress(int total, int current) {
    const bool firstReport = ActivateGauge();
    const install_form::GaugeReading reading =
        install_form::TransferReading(total, current, static_cast<int>(Barra.MaxValue()));
    // The gauge repaints itself when its percent changes; a download reports every 1,024
    // bytes, so painting on each report would cost more than the transfer.
    if (Barra.MaxValue() != reading.maximum)
        Barra.SetMaxValue(reading.maximum);
    Barra.SetProgress(reading.progress);
    if (firstReport)
        Barra.Repaint();
}

void TFrmInstall::ShowArchiveProgress(const void*, std::uint8_t progress, bool&) {
    const bool firstReport = ActivateGauge();
    Barra.SetProgress(progress);
    if (firstReport)
        Barra.Repaint();
}

bool TFrmInstall::ActivateGauge() {
    if (Barra.BackColor() == install_form::kGaugeActiveBack)
        return false;
    Barra.SetBackColor(install_form::kGaugeActiveBack);
    return true;
}

void TFrmInstall::ShowTask(const std::string& text) {
    lbTask.SetCaption(text);
    RepaintArea(lbTask);
    const std::vector<const TLabel*> spoken = VisibleTexts(SpokenTexts());
    for (std::size_t i = 0; i < spoken.size(); ++i)
        if (spoken[i] == &lbTask && window_)
            NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window_, OBJID_CLIENT,
                           static_cast<LONG>(i + 1));
}

void TFrmInstall::SetControlsEnabled(bool enabled) {
    TSkinControl* const inputs[] = {&InsFolder, &DatFolder, &cbUser, &BtInstall,
                                    &BtTerms,   &BtClose,   &chTerms};
    for (TSkinControl* control : inputs)
        control->SetEnabled(enabled);
}

void TFrmInstall::BindArchiveReader() {
    engine_->UnZipper.OnArchiveProgress = [this](archive::ZipExtractor& sender, int progress,
                                                 bool& abort) {
        ShowArchiveProgress(&sender, static_cast<std::uint8_t>(progress), abort);
    };
    engine_->UnZipper.SetTempDirectory(TempFolder());
}

} // namespace ks

// The progress display (gauge and task label) and the enabling of the inputs.
#include "app/frm_install.h"
#include "app/frm_install_layout.h"
#include "sys/folders.h"

namespace ks {

void TFrmInstall::ShowTransferProgress(int total, int current) {
    Barra.SetBackColor(install_form::kGaugeActiveBack);
    const install_form::GaugeReading reading =
        install_form::TransferReading(total, current, static_cast<int>(Barra.MaxValue()));
    if (Barra.MaxValue() != reading.maximum)
        Barra.SetMaxValue(reading.maximum);
    Barra.SetProgress(reading.progress);
    Barra.Repaint();
}

void TFrmInstall::ShowArchiveProgress(const void*, std::uint8_t progress, bool&) {
    Barra.SetBackColor(install_form::kGaugeActiveBack);
    Barra.SetProgress(progress);
    Barra.Repaint();
}

void TFrmInstall::ShowTask(const std::string& text) {
    lbTask.SetCaption(text);
    RepaintArea(lbTask);
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

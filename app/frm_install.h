// The setup program's one window: a borderless, picture-backed panel with the installation
// type, the two folder fields, the terms, the Install button and the progress gauge.
//
// The class is implemented across several files, one job each:
//   frm_install_win.cpp           window, controls, messages, painting, dragging
//   frm_install_handlers_win.cpp  installation type, terms, close
//   frm_install_progress_win.cpp  progress display and enabling of the inputs
//   folder_choice_win.cpp         folder picker, field changes, folder tests, safe setup
//   start_decision_win.cpp        FormCreate's run decision (DecideRun) carried out
//   install_procedure_win.cpp     Install and the install and update procedures, handed to
//                                 the Installation (installation.h)
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/image_win.h"
#include "app/install_services_win.h"
#include "app/install_view.h"
#include "app/installation.h"
#include "app/open_dialog_win.h"
#include "app/setup_log.h"
#include "app/start_phases.h"
#include "engine/form_dm_base.h"
#include "engine/installed_state.h"
#include "skin/combo_edit.h"
#include "skin/flat_check_box.h"
#include "skin/flat_combo_box.h"
#include "skin/flat_speed_button.h"
#include "skin/gauge.h"
#include "skin/label.h"
#include "skin/pending_picture_win.h"

namespace ks {

class TFrmInstall : public InstallView {
public:
    static constexpr int kClientWidth = 595;
    static constexpr int kClientHeight = 360;

    TFrmInstall();
    ~TFrmInstall() override;
    TFrmInstall(const TFrmInstall&) = delete;
    TFrmInstall& operator=(const TFrmInstall&) = delete;

    // Creates the window and its controls and runs FormCreate; false when the window could not
    // be made. Without the run decision (tests) FormCreate stops after binding the engine.
    bool Create(HINSTANCE instance, bool takeRunDecision = true);
    HWND Handle() const { return window_; }
    TDMBase* Engine() const { return engine_.get(); }
    // The folders the next installation uses: always what the folder fields show.
    const InstallFolders& Folders() const { return folders_; }
    InstallFolders& Folders() { return folders_; }
    const SetupLog& Log() const { return log_; }

    void FormCreate();
    void FormDestroy();
    // Steps of FormCreate after the engine exists: the start-up decision.
    void TakeRunDecision();

    bool Visible() const;
    void SetVisible(bool visible);
    // Before the window is the program's main window (during FormCreate) this only hides it;
    // afterwards it destroys the window, which ends the program.
    void Close();
    bool IsMainForm() const { return isMainForm_; }

    // Event handlers; the sender is the control, or null when the program calls them.
    void cbUserChange(TSkinControl* sender);
    // The folders of the installation type in the fields, untested.
    void ShowScopeFolders();
    void chTermsClick(TSkinControl* sender);
    void BtTermsClick(TSkinControl* sender);
    void BtCloseClick(TSkinControl* sender);
    void BtInstallClick(TSkinControl* sender);
    // The update and install procedures (install_procedure_win.cpp).
    bool CheckSetupUpdate();
    bool RunSetupUpdate();
    bool ObtainPackage(const std::string& target);
    void InstallGivenPackage(const std::string& package);
    // A silent run's data folder, shown and used as the argument names it.
    void UseSilentDataFolder(const std::string& folder);
    void InsFolderButtonClick(TSkinControl* sender);
    void XFolderChange(TSkinControl* sender);
    void btSafeClick(TSkinControl* sender);
    // The answer to WM_NCHITTEST for a screen point.
    LRESULT HandleHitTest(int screenX, int screenY) const;

    // Progress: the HTTP transfer's callback and the archive reader's event. The gauge is
    // repainted at once when what it shows changes (the thread processes no messages while
    // they run).
    void ShowTransferProgress(std::int32_t total, std::int32_t current) override;
    void ShowArchiveProgress(const void* sender, std::uint8_t progress, bool& abort);
    // Shows the current task in lbTask and repaints it at once.
    void ShowTask(const std::string& text) override;
    bool Ask(const std::string& text, bool twoButtons) override;
    void SetInputsEnabled(bool enabled) override { SetControlsEnabled(enabled); }
    void Repaint() override;
    void Hide() override { SetVisible(false); }
    // InsFolder, DatFolder, cbUser, BtInstall, BtTerms, BtClose and chTerms; not btSafe.
    void SetControlsEnabled(bool enabled);

    // Folder checks: tests both folders, draws the icons, optionally removes folders it left
    // empty; true when both passed.
    bool TestFolders(bool removeEmpty);
    void ShowFolderError();
    // Program changes of a folder field go through here. Every change, typed, picked or set,
    // becomes the install or data folder once the product folder is added; a text that is
    // no absolute folder brings the folder in use back into the field.
    void SetFolderText(TComboEdit& field, const std::string& text);

    // Controls in creation order (later ones lie above earlier ones).
    TImage Mask;
    TFlatSpeedButton BtTerms;
    TFlatSpeedButton BtInstall;
    TFlatSpeedButton BtClose;
    TLabel lbInstall;
    TLabel lbInsType;
    TLabel lbData;
    TImage IcoBin;
    TImage IcoData;
    TFlatSpeedButton btSafe;
    TGauge Barra;
    TLabel lbProgress;
    TLabel lbTask;
    TFlatCheckBox chTerms;
    TFlatComboBox cbUser;
    TComboEdit InsFolder;
    TComboEdit DatFolder;
    TOpenDialog SelFolder;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls(PendingPicture& background);
    void BindEvents();
    // Archive progress goes to the gauge; the reader works below TempFolder.
    void BindArchiveReader();
    // Turns the gauge from grey to its active colour; true on the first report.
    bool ActivateGauge();
    void PaintGraphicControls(HDC dc);
    // Lays the window and its controls out for a DPI: bounds, fonts, lines and art; the
    // window takes `suggested` (screen coordinates) when given, else keeps its centre.
    void ApplyDpi(int dpi, const RECT* suggested);
    void PlaceAll();
    void LoadArt();
    // The painted texts assistive tools read, in the order they read them.
    std::vector<const TLabel*> SpokenTexts() const;
    LRESULT AnswerDialogButton(WPARAM which);
    void RepaintArea(const TGraphicControl& control);

    // Folder fields (folder_choice_win.cpp).
    TComboEdit* FieldOf(TSkinControl* sender);
    int& BusyFlag(const TComboEdit& field);
    void FieldChanged(TComboEdit& field);
    std::string& FolderOf(const TComboEdit& field);
    // Sets the field's text without the product-folder rule.
    void ShowFolderAsIs(TComboEdit& field, const std::string& text);
    // Runs the installation and closes the window when it is done.
    InstallOutcome Install();
    void ShowFolderState(TImage& icon, bool passed);

    HWND window_ = nullptr;
    int dpi_ = kBaseDpi;
    std::unique_ptr<TDMBase> engine_;
    bool isMainForm_ = false;
    bool takeRunDecision_ = true;
    int insFolderBusy_ = 0;
    int datFolderBusy_ = 0;
    InstallFolders folders_;
    SetupLog log_;
    // A plain start tests the folders after its first paint, so the window comes sooner
    // with the same result; an installation started earlier runs them first.
    void RunPendingFolderChecks();
    void LogStartOnce();
    StartPhases startPhases_;
    bool painted_ = false;
    bool startLogged_ = false;
    bool folderChecksPending_ = false;
    std::unique_ptr<WinInstallServices> services_;
    std::unique_ptr<Installation> installation_;
    // A silent run starts the product at the end without asking, also on a second try.
    bool silentRun_ = false;
};

} // namespace ks

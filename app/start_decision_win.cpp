// The start-up decision carried out: DecideRun says which run this is, this file does it.
#include "app/frm_install.h"
#include "app/run_decision.h"
#include "resources/list_names.h"
#include "sys/application.h"
#include "sys/files.h"
#include "sys/params.h"
#include "sys/paths.h"
#include "sys/process_win.h"
#include "sys/version.h"

namespace ks {
namespace {

CommandWords CommandWordsOf(const TDMBase& engine) {
    return {engine.LibraryEntry(lib::kRemoveCommand), engine.LibraryEntry(lib::kInstallCommand),
            engine.LibraryEntry(lib::kDataCommand), engine.LibraryEntry(lib::kPackageCommand)};
}

std::string ArgumentsForLog(const std::vector<std::string>& arguments) {
    std::string text;
    for (const std::string& argument : arguments)
        text += (text.empty() ? "" : " ") + QuoteIfSpaced(RedactUrl(argument));
    return text;
}

} // namespace

void TFrmInstall::TakeRunDecision() {
    TDMBase& engine = *engine_;
    silentRun_ = false;
    SetVisible(false);
    ReadInstalledState(folders_);
    const std::vector<std::string> arguments = ProgramArguments();
    const RunDecision run =
        DecideRun(FolderExists(folders_.installFolder), arguments, CommandWordsOf(engine));
    log_.Write("keltrasetup " + FileVersionString(ProgramFilePath()) + " started, arguments [" +
               ArgumentsForLog(arguments) + "], installed in \"" + folders_.installFolder +
               "\": " + RunKindName(run.kind));

    if (run.kind == RunKind::Removal) {
        const std::string agent = folders_.installFolder + engine.LibraryEntry(lib::kAgent);
        log_.Write("removal: \"" + agent + "\" " + run.removalWord);
        if (StartProgram(agent, run.removalWord, true, true))
            engine.RemoveUserKey();
        RequestTermination();
        return;
    }
    // A newer setup took over, or the catalogue could not be read: this program ends, and
    // must not install alongside its successor.
    startPhases_.End("run decision");
    const bool updateOffered = CheckSetupUpdate();
    startPhases_.End("catalogue");
    if (updateOffered && RunSetupUpdate())
        RequestTermination();
    if (TerminationRequested())
        return;

    bool install = false;
    switch (run.kind) {
    case RunKind::GivenPackage:
        InstallGivenPackage(run.packagePath);
        RequestTermination();
        return;
    case RunKind::AskReinstall:
        install = engine.AskMessage(msg::kReinstall, true);
        if (!install) {
            RequestTermination();
            return;
        }
        break;
    case RunKind::SilentReinstall:
        silentRun_ = true;
        install = true;
        break;
    default:
        break;
    }
    if (!engine.CloseRunningProduct()) {
        log_.Write("the running product did not close");
        engine.AskMessage(msg::kProductStillRunning, false);
        RequestTermination();
        return;
    }
    // Set before the window shows: a paint on the way already hands the checks on.
    folderChecksPending_ = !silentRun_ && !install;
    SetVisible(!silentRun_);
    if (folderChecksPending_) {
        ShowScopeFolders();
    } else {
        cbUserChange(nullptr);
        startPhases_.End("folder checks");
    }
    if (silentRun_)
        UseSilentDataFolder(run.silentDataFolder);
    if (install && Install() == InstallOutcome::Done)
        RequestTermination();
}

void TFrmInstall::UseSilentDataFolder(const std::string& folder) {
    if (folder.empty() || !ForceFolders(folder))
        return;
    ShowFolderAsIs(DatFolder, folder);
    folders_.dataFolder = folder;
    TestFolders(false);
}

} // namespace ks

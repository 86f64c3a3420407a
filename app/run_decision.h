// Which run a start is, from the installed state and the command line alone: no window, no
// files, no registry.
#pragma once
#include <string>
#include <vector>

namespace ks {

enum class RunKind {
    FirstInstall,    // no product: the window, the user installs
    Removal,         // the installed agent removes the product; no update check
    SilentReinstall, // hidden window, install at once, start the product
    GivenPackage,    // install the package file named on the command line
    AskReinstall,    // ask whether to install again
};

struct RunDecision {
    RunKind kind = RunKind::FirstInstall;
    // Every run but a removal asks the catalogue for a newer setup first.
    bool checkForUpdate = true;
    // Removal: the word handed to the agent, exactly as received.
    std::string removalWord;
    // GivenPackage: the package's full path.
    std::string packagePath;
    // SilentReinstall: the data folder the second argument names ("" when none).
    std::string silentDataFolder;
};

// The command words, as the library list spells them.
struct CommandWords {
    std::string remove;
    std::string install;
    std::string data;
    std::string package;
};

// arguments: the program's arguments without its own name.
RunDecision DecideRun(bool productInstalled, const std::vector<std::string>& arguments,
                      const CommandWords& words);

const char* RunKindName(RunKind kind);

} // namespace ks

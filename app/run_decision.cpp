#include "app/run_decision.h"

#include "sys/params.h"

namespace ks {
namespace {

// Without its list a command word is empty, and an empty argument must not match it.
bool Is(const ParamPair& command, const std::string& word) {
    return !word.empty() && command.key == word;
}

} // namespace

RunDecision DecideRun(bool productInstalled, const std::vector<std::string>& arguments,
                      const CommandWords& words) {
    RunDecision run;
    if (!productInstalled)
        return run;
    ParamPair command = ParseParam(arguments.empty() ? std::string() : arguments[0]);
    if (Is(command, words.remove)) {
        run.kind = RunKind::Removal;
        run.checkForUpdate = false;
        run.removalWord = command.key;
        return run;
    }
    // The silent word needs the data word in the second argument; any other second word
    // takes the first one's place.
    if (Is(command, words.install) && arguments.size() >= 2) {
        command = ParseParam(arguments[1]);
        if (Is(command, words.data)) {
            run.kind = RunKind::SilentReinstall;
            run.silentDataFolder = command.value;
            return run;
        }
    }
    if (Is(command, words.package)) {
        run.kind = RunKind::GivenPackage;
        run.packagePath = command.value;
        return run;
    }
    run.kind = RunKind::AskReinstall;
    return run;
}

const char* RunKindName(RunKind kind) {
    switch (kind) {
    case RunKind::FirstInstall:
        return "first installation";
    case RunKind::Removal:
        return "removal";
    case RunKind::SilentReinstall:
        return "silent reinstallation";
    case RunKind::GivenPackage:
        return "given package";
    case RunKind::AskReinstall:
        return "reinstall question";
    }
    return "";
}

} // namespace ks

#include "demo/agent_command.h"

#include <cctype>

#include "demo/demo_names.h"

namespace ks::demo {
namespace {

bool SameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

} // namespace

AgentCommand ParseAgentCommand(const std::vector<std::string>& args) {
    AgentCommand command;
    if (args.empty())
        return command;
    const std::string& first = args[0];
    const std::size_t colon = first.find(':');
    const std::string word = first.substr(0, colon);
    const std::string value = colon == std::string::npos ? "" : first.substr(colon + 1);
    if (word == kWordRemove && colon == std::string::npos) {
        command.run = AgentRun::kRemove;
        return command;
    }
    if (value.empty())
        return command;
    if (word == kWordInstall) {
        command.run = AgentRun::kInstall;
        if (args.size() > 1)
            command.setup = args[1];
    } else if (word == kWordPackage) {
        command.run = AgentRun::kInstallGiven;
    } else {
        return command;
    }
    command.package = value;
    return command;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string WithBackslash(const std::string& folder) {
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/'))
        return folder;
    return folder + "\\";
}

bool IsProductMember(const std::string& name) {
    if (name.empty() || name.back() == '/' || name.back() == '\\')
        return false;
    for (const char* excluded : {kInnerArchive, kAgentExe, kSettingsFile, kMarkerFile}) {
        if (SameText(name, excluded))
            return false;
    }
    return true;
}

std::string JoinFileList(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        if (!text.empty())
            text += '|';
        text += name;
    }
    return text;
}

std::vector<std::string> SplitFileList(const std::string& text) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t bar = text.find('|', start);
        const std::size_t end = bar == std::string::npos ? text.size() : bar;
        if (end > start)
            names.push_back(text.substr(start, end - start));
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    return names;
}

} // namespace ks::demo

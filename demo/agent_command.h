// The demo install agent's command line and the text rules around it (portable).
#pragma once
#include <string>
#include <vector>

namespace ks::demo {

enum class AgentRun { kInvalid, kInstall, kInstallGiven, kRemove };

struct AgentCommand {
    AgentRun run = AgentRun::kInvalid;
    std::string package; // full path of the package the agent was given
    std::string setup;   // the setup program that started an installation, if named
};

// Arguments as the C runtime split them (quotes already removed), without the program name.
AgentCommand ParseAgentCommand(const std::vector<std::string>& args);

// The folder part of a path with its trailing backslash; "" for a bare name.
std::string FolderOf(const std::string& path);
std::string WithBackslash(const std::string& folder);

// True for package members that belong in the install folder: everything except the inner
// archive that carries the agent and the files the setup and the agent exchange.
bool IsProductMember(const std::string& name);

// The installed file names, kept in the machine-wide record so removal can undo them.
std::string JoinFileList(const std::vector<std::string>& names);
std::vector<std::string> SplitFileList(const std::string& text);

} // namespace ks::demo

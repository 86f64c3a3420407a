// The demo agent's two jobs: placing the product from a package, and removing it again.
#pragma once
#include <string>

#include "demo/agent_command.h"

namespace ks::demo {

// Exit codes of the agent; the setup does not read them, people and tests do.
enum AgentExit {
    kAgentOk = 0,
    kAgentUsage = 1,
    kAgentNoSettings = 2,
    kAgentCopyFailed = 3,
    kAgentRecordFailed = 4,
    kAgentMarkerFailed = 5,
    kAgentNotInstalled = 6,
};

int RunInstall(const AgentCommand& command);
int RunRemove();

} // namespace ks::demo

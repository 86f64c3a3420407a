// The demo install agent: INSTALL:<package> <setup>, PACKAGE:<package> or REMOVE.
#include <objbase.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "demo/agent_command.h"
#include "demo/agent_install_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::vector<std::string> args;
    for (int i = 1; i < __argc; ++i)
        args.emplace_back(__argv[i]);
    const ks::demo::AgentCommand command = ks::demo::ParseAgentCommand(args);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int result = ks::demo::kAgentUsage;
    switch (command.run) {
    case ks::demo::AgentRun::kInstall:
    case ks::demo::AgentRun::kInstallGiven:
        result = ks::demo::RunInstall(command);
        break;
    case ks::demo::AgentRun::kRemove:
        result = ks::demo::RunRemove();
        break;
    case ks::demo::AgentRun::kInvalid:
        break;
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return result;
}

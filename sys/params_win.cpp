#include "sys/params.h"

#include <cstdlib>

namespace ks {

std::vector<std::string> ProgramArguments() {
    // The C runtime splits the command line by the platform's rules before main runs.
    std::vector<std::string> arguments;
    for (int i = 1; i < __argc; ++i)
        arguments.emplace_back(__argv[i] ? __argv[i] : "");
    return arguments;
}

ParamPair SplitParam(int index) {
    const std::vector<std::string> arguments = ProgramArguments();
    if (index < 1 || static_cast<std::size_t>(index) > arguments.size())
        return ParseParam({});
    return ParseParam(arguments[index - 1]);
}

std::string ParamsLine() {
    return JoinParams(ProgramArguments());
}

} // namespace ks

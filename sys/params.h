// The program's own command-line arguments: split into word and value, and re-joined to be
// handed on to another program.
#pragma once
#include <string>
#include <vector>

namespace ks {

struct ParamPair {
    std::string key;
    std::string value;
};

// Splits one argument text: outer double quotes dropped, then KEY (upper-cased) and value at
// the first colon; without a colon the whole text is the key, case kept. The value is kept
// whole: a cut path would name another file.
ParamPair ParseParam(std::string text);

// The arguments as one parameter text, each passed through QuoteIfSpaced.
std::string JoinParams(const std::vector<std::string>& arguments);

// Windows build: the arguments after the program name, as the runtime split the command line.
std::vector<std::string> ProgramArguments();
// Windows build: ParseParam of argument `index` (1 is the first; a missing one reads as "").
ParamPair SplitParam(int index);
// Windows build: JoinParams of ProgramArguments.
std::string ParamsLine();

} // namespace ks

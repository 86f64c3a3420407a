// The error texts of ShellExecute result codes.
#pragma once
#include <string>

namespace ks {

// The text for a failing ShellExecute result code; "" for codes that raise nothing.
std::string ShellExecuteErrorText(long long code);
// Raises ks::Error with ShellExecuteErrorText when there is one; otherwise returns.
void CheckShellExecuteResult(long long code);

} // namespace ks

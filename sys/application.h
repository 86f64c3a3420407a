// The application object's share of program-wide state: its title, the standard error box
// and the pending quit request.
#pragma once
#include <string>

namespace ks {

void SetApplicationTitle(const std::string& title);
const std::string& ApplicationTitle();

// The message as the standard error box shows it: a full stop appended when it has none.
std::string ErrorBoxText(const std::string& message);

// Shows the standard error box (error icon, OK, application title as caption).
void ShowErrorBox(const std::string& message);

// Posts a quit request. The running handler completes; modal forms opened meanwhile answer
// no at once; the program ends when control returns to the message loop.
void RequestTermination();
bool TerminationRequested();

} // namespace ks

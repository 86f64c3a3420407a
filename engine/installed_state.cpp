#include "engine/installed_state.h"

namespace ks {

std::string InstallFolder;
std::string DataFolder;
std::string DesktopFolder;
std::string MenuFolder;
bool AllUsers = false;

} // namespace ks

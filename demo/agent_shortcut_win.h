// Shell links for the desktop and the start menu.
#pragma once
#include <string>

namespace ks::demo {

// Writes a shell link at linkPath pointing at target; false when the shell refuses.
bool CreateShortcut(const std::string& linkPath, const std::string& target,
                    const std::string& workingFolder, const std::string& description);

} // namespace ks::demo

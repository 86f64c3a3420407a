// The run-state globals of the start-up decision and the setup program's own catalogue record.
#pragma once
#include <string>

#include "engine/zip_package.h"

namespace ks {

// A silent reinstallation was requested and accepted (reset by every decision).
extern bool SilentRun;
// The user answered yes to the reinstall question (reset by every decision).
extern bool ReinstallConfirmed;
// The last install procedure ended with the product in place.
extern bool InstallDone;
// The catalogue record of this setup program.
extern TZipPackage SetupPackage;

} // namespace ks

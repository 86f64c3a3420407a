// File operations that meet a file another program holds for a moment (a virus scanner
// reading what was just written, an indexer): they wait for it, within a bound, instead of
// failing at once.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace ks {

constexpr DWORD kDefaultLockWaitMs = 10000;

// True for the errors of a file that another program holds open.
bool IsLockError(DWORD error);

// How long an operation waits for a locked file: KS_LOCK_WAIT_MS from the environment, read
// once (tests shorten it there), otherwise kDefaultLockWaitMs.
DWORD LockWaitMs();

// Runs attempt until it succeeds, fails with an error that is no lock, or LockWaitMs() has
// passed, with short and growing pauses between tries. Returns the last attempt's result and
// leaves its error as the last error. An access denial on a read-only file or a folder at
// path is final: no program holds those.
bool RetryWhileLocked(const std::string& path, const std::function<bool()>& attempt);
bool RetryWhileLocked(const std::string& path, const std::function<bool()>& attempt, DWORD waitMs);

// The programs that hold path open, as the Restart Manager names them ("a.exe, b.exe"); ""
// when it cannot tell.
std::string ProgramsHolding(const std::string& path);

// For a failure with error: " (in use by NAMES)" when it is a lock and the holders are known,
// otherwise "".
std::string HolderNote(const std::string& path, DWORD error);

} // namespace ks

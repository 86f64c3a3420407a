// The one retry policy of every transfer: which failures are worth another attempt, and the
// attempts with their pauses.
#pragma once
#include <functional>

#include "net/net_utils.h"
#include "net/open_url_win.h"

namespace ks {

enum class AttemptEnd {
    Done,
    Passing, // the connection was cut, reset or timed out, or the server was busy: try again
    Final,   // another attempt would meet the same answer
};

// How a URL that could not be opened ended: passing for a 503 or 504 answer and for a
// connection cut, reset or timed out on the way; final for any other status and for a
// connection that was refused or never made.
AttemptEnd OpenFailureEnd(const OpenedUrl& failed);

// Runs attempt until it is done or final, or has ended in passing schedule.retries + 1 times;
// before retry number n it calls schedule.onRetry(n) and pauses RetryDelayMs(n). True when
// an attempt was done.
bool RunWithRetries(const RetrySchedule& schedule, const std::function<AttemptEnd()>& attempt);

} // namespace ks

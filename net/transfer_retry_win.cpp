#include "net/transfer_retry_win.h"

namespace ks {

AttemptEnd OpenFailureEnd(const OpenedUrl& failed) {
    if (failed.status != 0)
        return IsRetryableStatus(failed.status) ? AttemptEnd::Passing : AttemptEnd::Final;
    const DWORD error = failed.error;
    const bool passing =
        error == ERROR_INTERNET_TIMEOUT || error == ERROR_INTERNET_CONNECTION_ABORTED ||
        error == ERROR_INTERNET_CONNECTION_RESET || error == ERROR_HTTP_INVALID_SERVER_RESPONSE;
    return passing ? AttemptEnd::Passing : AttemptEnd::Final;
}

bool RunWithRetries(const RetrySchedule& schedule, const std::function<AttemptEnd()>& attempt) {
    for (int retry = 0;; ++retry) {
        if (retry > 0) {
            if (schedule.onRetry)
                schedule.onRetry(retry);
            Sleep(RetryDelayMs(retry, schedule.firstRetryDelayMs));
        }
        const AttemptEnd end = attempt();
        if (end != AttemptEnd::Passing)
            return end == AttemptEnd::Done;
        if (retry >= schedule.retries)
            return false;
    }
}

} // namespace ks

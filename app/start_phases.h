// The phases of the start up to the window's first paint, timed inside the program and
// written to the setup log as one line, so a slow start can be pinned on its phase.
#pragma once
#include <chrono>
#include <string>

namespace ks {

class StartPhases {
public:
    using Clock = std::chrono::steady_clock;

    // `sinceLaunch`: what passed between the process's creation and `begin`.
    explicit StartPhases(Clock::duration sinceLaunch = {}, Clock::time_point begin = Clock::now());

    // Ends the running phase under `name`; the next one starts now.
    void End(const char* name) { End(name, Clock::now()); }
    void End(const char* name, Clock::time_point now);
    // "start: process 12.0 ms, window 3.1 ms, ..., total 95.3 ms" with the phases ended.
    std::string Line() const;

private:
    Clock::duration total_;
    Clock::time_point last_;
    std::string phases_;
};

} // namespace ks

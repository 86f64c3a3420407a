#include "app/start_phases.h"

namespace ks {
namespace {

std::string Milliseconds(StartPhases::Clock::duration duration) {
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(duration).count();
    return std::to_string(us / 1000) + "." + std::to_string(us / 100 % 10) + " ms";
}

} // namespace

StartPhases::StartPhases(Clock::duration sinceLaunch, Clock::time_point begin)
    : total_(sinceLaunch), last_(begin), phases_("process " + Milliseconds(sinceLaunch)) {}

void StartPhases::End(const char* name, Clock::time_point now) {
    total_ += now - last_;
    phases_ += std::string(", ") + name + " " + Milliseconds(now - last_);
    last_ = now;
}

std::string StartPhases::Line() const {
    return "start: " + phases_ + ", total " + Milliseconds(total_);
}

} // namespace ks
